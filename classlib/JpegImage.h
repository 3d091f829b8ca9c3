// TJPEGImage: the class library's JPEG picture, decoded by libjpeg.
//
// A file that libjpeg refuses, or whose data is damaged or ends early (which
// libjpeg itself only warns about), raises EJPEG ("JPEG error #<libjpeg's
// message number>") and leaves the picture as it was. So does a picture
// whose decoded pixels, or libjpeg's own memory for decoding it, would take
// more than 256 MB ("JPEG image is too large"). JPEG pictures have no
// transparent colour.
#pragma once

#include "Graphic.h"

class TJPEGImage : public TGraphic {
public:
    TJPEGImage() = default;

    void LoadFromData(const QByteArray &Data) override;
    std::unique_ptr<TGraphic> Copy() const override;
};
