// Decodes any bytes as a JPEG picture. A bad or too large file raises
// EJPEG; nothing else may come out of it.
#include <cstddef>
#include <cstdint>

#include <QByteArray>

#include "Exceptions.h"
#include "JpegImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TJPEGImage jpeg;
    try {
        jpeg.LoadFromData(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    } catch (const EJPEG &) {
    }
    return 0;
}
