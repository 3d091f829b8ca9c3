#include "Bitmap.h"

#include <cstdint>
#include <cstdlib>

#include "Exceptions.h"

namespace {

uint32_t Little(const QByteArray &data, int at, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(data[at + i]);
    return value;
}

// Whether an uncompressed file holds all the rows its header announces.
// Qt's reader takes a file cut short and leaves the missing rows blank; the
// class library refuses it.
bool RowsComplete(const QByteArray &data)
{
    if (data.size() < 26)
        return false;
    const uint32_t offset = Little(data, 10, 4);
    const uint32_t header = Little(data, 14, 4);
    int64_t width, height, bits, compression = 0;
    if (header == 12) {
        width = Little(data, 18, 2);
        height = Little(data, 20, 2);
        bits = Little(data, 24, 2);
    } else {
        if (data.size() < 34)
            return false;
        width = static_cast<int32_t>(Little(data, 18, 4));
        height = static_cast<int32_t>(Little(data, 22, 4));
        bits = Little(data, 28, 2);
        compression = Little(data, 30, 4);
    }
    const bool plain = compression == 0 || compression == 3; // rows as they are, or bit fields
    if (!plain)
        return true;
    const int64_t stride = (std::llabs(width) * bits + 31) / 32 * 4;
    return static_cast<int64_t>(offset) + stride * std::llabs(height) <= static_cast<int64_t>(data.size());
}

} // namespace

void TBitmap::LoadFromData(const QByteArray &Data)
{
    QImage image;
    if (!Data.startsWith("BM") || !RowsComplete(Data) || !image.loadFromData(Data, "BMP") || image.isNull())
        throw EInvalidGraphic("Bitmap image is not valid");
    SetDecoded(image.convertToFormat(QImage::Format_RGB32));
}

std::unique_ptr<TGraphic> TBitmap::Copy() const { return std::make_unique<TBitmap>(*this); }

unsigned TBitmap::TransparentColor() const
{
    if (Empty())
        return 0;
    return Decoded().pixel(0, Height() - 1) & 0xFFFFFFu;
}

QImage TBitmap::Image() const
{
    if (!Transparent() || Empty())
        return Decoded();
    const QRgb clear = TransparentColor();
    QImage image = Decoded().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & 0xFFFFFFu) == clear)
                line[x] = 0;
    }
    return image;
}
