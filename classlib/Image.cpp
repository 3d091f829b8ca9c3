#include "Image.h"

#include <QPainter>

#include "AnsiText.h"
#include "ControlWidget.h"
#include "FormReader.h"
#include "Graphic.h"
#include "Picture.h"

TImage::TImage(TComponent *AOwner) : TGraphicControl(AOwner), FPicture(std::make_unique<TPicture>())
{
    SetWidget(new TControlWidget(this));
    SetBounds(0, 0, 105, 105);
    FPicture->SetOnChange([this] { PictureChanged(); });
}

TImage::~TImage() { FPicture->SetOnChange(nullptr); }

void TImage::SetPicture(const TPicture *Value) { FPicture->Assign(Value); }

void TImage::SetPictureFileName(const AnsiString &FileName)
{
    if (FileName.IsEmpty())
        FPicture->SetGraphic(nullptr);
    else
        FPicture->LoadFromFile(TextToAnsi(FormFilePath(FileName)));
    FPictureFileName = FileName;
}

void TImage::SetStretch(bool Stretch)
{
    FStretch = Stretch;
    Invalidate();
}

void TImage::SetProportional(bool Proportional)
{
    FProportional = Proportional;
    Invalidate();
}

void TImage::SetCenter(bool Center)
{
    FCenter = Center;
    Invalidate();
}

void TImage::SetTransparent(bool Transparent)
{
    FTransparent = Transparent;
    if (TGraphic *graphic = FPicture->Graphic())
        graphic->SetTransparent(Transparent);
    Invalidate();
}

void TImage::SetAutoSize(bool AutoSize)
{
    FAutoSize = AutoSize;
    AdjustSize();
}

void TImage::PictureChanged()
{
    if (TGraphic *graphic = FPicture->Graphic())
        graphic->SetTransparent(FTransparent);
    AdjustSize();
    Invalidate();
}

void TImage::AdjustSize()
{
    if (FAutoSize && !Loading() && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
}

void TImage::Loaded()
{
    TGraphicControl::Loaded();
    AdjustSize();
}

QRect TImage::DestRect() const
{
    int width = FPicture->Width();
    int height = FPicture->Height();
    const int clientWidth = ClientWidth();
    const int clientHeight = ClientHeight();
    if (FStretch || (FProportional && (width > clientWidth || height > clientHeight))) {
        if (FProportional && width > 0 && height > 0) {
            const double aspect = static_cast<double>(width) / height;
            if (width > height) {
                width = clientWidth;
                height = static_cast<int>(clientWidth / aspect);
                if (height > clientHeight) {
                    height = clientHeight;
                    width = static_cast<int>(clientHeight * aspect);
                }
            } else {
                height = clientHeight;
                width = static_cast<int>(clientHeight * aspect);
                if (width > clientWidth) {
                    width = clientWidth;
                    height = static_cast<int>(clientWidth / aspect);
                }
            }
        } else {
            width = clientWidth;
            height = clientHeight;
        }
    }
    QRect rect(0, 0, width, height);
    if (FCenter)
        rect.translate((clientWidth - width) / 2, (clientHeight - height) / 2);
    return rect;
}

void TImage::Paint(QPainter &painter)
{
    if (const TGraphic *graphic = FPicture->Graphic())
        graphic->Draw(painter, DestRect());
}
