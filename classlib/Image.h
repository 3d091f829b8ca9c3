// TImage: a picture on its parent, as the class library shows it. The
// picture comes from a bitmap or JPEG file: in a form resource by file name
// (Picture = 'background.jpg', beside the resource), in code through
// Picture() (LoadFromFile, Assign).
//
// Where it is drawn (DestRect): at the picture's own size from the top left
// corner; with Stretch, scaled to the whole client area; with Proportional,
// scaled keeping its proportions to fit the client area (with Stretch, or
// when it is larger than the area, never enlarged otherwise); with Center,
// that rectangle is centred. Transparent makes a bitmap leave its
// transparent colour (its bottom-left pixel's) undrawn. AutoSize gives the
// image its picture's size. Outside the picture the parent shows through.
#pragma once

#include <memory>

#include <QRect>

#include "Control.h"

class TPicture;

class TImage : public TGraphicControl {
    Q_OBJECT
    Q_PROPERTY(AnsiString Picture READ PictureFileName WRITE SetPictureFileName)
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
    Q_PROPERTY(bool Proportional READ Proportional WRITE SetProportional)
    Q_PROPERTY(bool Center READ Center WRITE SetCenter)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
public:
    explicit TImage(TComponent *AOwner);
    ~TImage() override;

    // The picture shown; changing it redraws the image.
    TPicture *Picture() const { return FPicture.get(); }
    // Shows a copy of `Value`'s picture.
    void SetPicture(const TPicture *Value);
    // The file the picture was last loaded from by name (a form resource's
    // Picture), as given; loading raises as TPicture::LoadFromFile does.
    AnsiString PictureFileName() const { return FPictureFileName; }
    void SetPictureFileName(const AnsiString &FileName);

    bool Stretch() const { return FStretch; }
    void SetStretch(bool Stretch);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Proportional);
    bool Center() const { return FCenter; }
    void SetCenter(bool Center);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Transparent);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool AutoSize);

    // Where the picture lies in the client area.
    QRect DestRect() const;

    void Paint(QPainter &painter) override;
    void Loaded() override;

private:
    void PictureChanged();
    void AdjustSize();

    std::unique_ptr<TPicture> FPicture;
    AnsiString FPictureFileName;
    bool FStretch = false;
    bool FProportional = false;
    bool FCenter = false;
    bool FTransparent = false;
    bool FAutoSize = false;
};
