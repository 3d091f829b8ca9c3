// TGraphic: the class library's base of pictures that can be loaded from a
// file and drawn (TBitmap, TJPEGImage). A picture here is decoded whole when
// it is loaded, so a file that cannot be read or decoded raises at once,
// and drawing never fails.
//
// File names are Windows paths in the machine root ("C:\res\x.bmp") or
// paths of Qt's resource system (":/installer/background.jpg"), through
// which the programs carry their pictures.
#pragma once

#include <memory>

#include <QByteArray>
#include <QImage>

class AnsiString;
class QPainter;
class QRect;

class TGraphic {
public:
    virtual ~TGraphic();

    int Width() const { return FImage.width(); }
    int Height() const { return FImage.height(); }
    bool Empty() const { return FImage.isNull(); }

    // A transparent picture leaves the pixels of its transparent colour
    // undrawn; the kinds that have no such colour ignore it.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; }

    // Loads the whole file. A file that cannot be opened raises EFOpenError,
    // one whose content is no valid picture of this kind EInvalidGraphic;
    // then the picture stays as it was.
    void LoadFromFile(const AnsiString &FileName);
    // The same from the file's bytes.
    virtual void LoadFromData(const QByteArray &Data) = 0;

    // A new picture of the same kind with the same content.
    virtual std::unique_ptr<TGraphic> Copy() const = 0;

    // The picture as it is drawn: transparent pixels have alpha 0.
    virtual QImage Image() const { return FImage; }
    // Draws it scaled into `target`.
    void Draw(QPainter &Painter, const QRect &Target) const;

protected:
    TGraphic() = default;
    TGraphic(const TGraphic &) = default;
    TGraphic &operator=(const TGraphic &) = default;

    const QImage &Decoded() const { return FImage; }
    void SetDecoded(const QImage &Image) { FImage = Image; }

private:
    QImage FImage;
    bool FTransparent = false;
};

// The bytes of a picture file, by Windows path or resource path; raises
// EFOpenError when the file cannot be opened or read.
QByteArray ReadGraphicFile(const AnsiString &FileName);
