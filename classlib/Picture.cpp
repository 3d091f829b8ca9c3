#include "Picture.h"

#include "AnsiString.h"
#include "Bitmap.h"
#include "Exceptions.h"
#include "JpegImage.h"

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Take(std::unique_ptr<TGraphic> Graphic)
{
    FGraphic = std::move(Graphic);
    if (FOnChange)
        FOnChange();
}

void TPicture::SetGraphic(const TGraphic *Graphic) { Take(Graphic ? Graphic->Copy() : nullptr); }

int TPicture::Width() const { return FGraphic ? FGraphic->Width() : 0; }
int TPicture::Height() const { return FGraphic ? FGraphic->Height() : 0; }

void TPicture::Assign(const TPicture *Source)
{
    if (Source == this)
        return;
    SetGraphic(Source ? Source->Graphic() : nullptr);
}

void TPicture::LoadFromFile(const AnsiString &FileName)
{
    const int dot = FileName.LastDelimiter(".\\/:");
    const AnsiString extension =
        dot > 0 && FileName[dot] == '.' ? FileName.SubString(dot + 1, FileName.Length() - dot) : AnsiString();
    const AnsiString kind = extension.LowerCase();
    std::unique_ptr<TGraphic> graphic;
    if (kind == "bmp")
        graphic = std::make_unique<TBitmap>();
    else if (kind == "jpg" || kind == "jpeg")
        graphic = std::make_unique<TJPEGImage>();
    else
        throw EInvalidGraphic("Unknown picture file extension (." + extension + ")");
    graphic->LoadFromFile(FileName);
    Take(std::move(graphic));
}
