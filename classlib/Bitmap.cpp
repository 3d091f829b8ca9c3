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

// Whether the file's header is one the class library reads and, for an
// uncompressed one, the file holds all the rows it announces. Qt's reader
// takes a file cut short and leaves the missing rows blank; the class
// library refuses it. The header sizes are the core header (12 bytes, 16-bit
// sizes) and the Windows info headers (40 bytes, 32-bit sizes, and their
// later forms of 52, 56, 108 and 124 bytes, which add to its end).
bool RowsComplete(const QByteArray &data)
{
    const int kFileHeader = 14;
    if (data.size() < kFileHeader + 4)
        return false;
    const uint32_t offset = Little(data, 10, 4);
    const uint32_t header = Little(data, 14, 4);
    if (header != 12 && header != 40 && header != 52 && header != 56 && header != 108 && header != 124)
        return false;
    if (data.size() < kFileHeader + static_cast<int>(header))
        return false;
    uint64_t width, height, bits;
    uint32_t compression = 0;
    if (header == 12) {
        width = Little(data, 18, 2);
        height = Little(data, 20, 2);
        bits = Little(data, 24, 2);
    } else {
        // Negative heights run top-down; the size is the same.
        const int64_t signedWidth = static_cast<int32_t>(Little(data, 18, 4));
        const int64_t signedHeight = static_cast<int32_t>(Little(data, 22, 4));
        width = static_cast<uint64_t>(signedWidth < 0 ? -signedWidth : signedWidth);
        height = static_cast<uint64_t>(signedHeight < 0 ? -signedHeight : signedHeight);
        bits = Little(data, 28, 2);
        compression = Little(data, 30, 4);
    }
    const bool plain = compression == 0 || compression == 3; // rows as they are, or bit fields
    if (!plain)
        return true;
    if (offset > static_cast<uint64_t>(data.size()))
        return false;
    // At most 2^31 x 65535 bits a row: the stride fits in 64 bits; the rows'
    // total is compared by division, which cannot overflow.
    const uint64_t stride = (width * bits + 31) / 32 * 4;
    const uint64_t available = static_cast<uint64_t>(data.size()) - offset;
    return stride == 0 || height <= available / stride;
}

void PutLittle(QByteArray *data, int at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        (*data)[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// The file as Qt's reader takes it: Qt does not read the headers of 52 and
// 56 bytes (the info header and its colour masks, with or without the
// alpha mask), so it gets the 108-byte header that holds the same masks and
// nothing in its fields past them, with the offsets moved to match.
QByteArray ForQt(const QByteArray &data)
{
    const uint32_t header = Little(data, 14, 4);
    if (header != 52 && header != 56)
        return data;
    const int added = 108 - static_cast<int>(header);
    QByteArray wider = data;
    wider.insert(14 + static_cast<int>(header), added, '\0');
    PutLittle(&wider, 14, 108);
    PutLittle(&wider, 2, Little(data, 2, 4) + static_cast<uint32_t>(added));
    const uint32_t offset = Little(data, 10, 4);
    if (offset >= 14 + header)
        PutLittle(&wider, 10, offset + static_cast<uint32_t>(added));
    return wider;
}

} // namespace

void TBitmap::LoadFromData(const QByteArray &Data)
{
    QImage image;
    if (!Data.startsWith("BM") || !RowsComplete(Data) || !image.loadFromData(ForQt(Data), "BMP") || image.isNull())
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
