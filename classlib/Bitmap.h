// TBitmap: the class library's bitmap picture, read from Windows BMP files
// (24-bit ones above all; Qt's BMP reader takes the other depths too).
// Transparent, it leaves undrawn every pixel of its transparent colour,
// which is the colour of its bottom-left pixel, as the class library takes
// it.
#pragma once

#include "Graphic.h"

class TBitmap : public TGraphic {
public:
    TBitmap() = default;

    // Raises EInvalidGraphic ("Bitmap image is not valid") for bytes that
    // are no BMP file.
    void LoadFromData(const QByteArray &Data) override;
    std::unique_ptr<TGraphic> Copy() const override;
    QImage Image() const override;

    // The colour that a transparent bitmap leaves undrawn, as 0xRRGGBB.
    unsigned TransparentColor() const;
};
