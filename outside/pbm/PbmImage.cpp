#include "PbmImage.h"

#include <cstdio>

namespace pbm {
namespace {

constexpr long kMaxDimension = 1L << 24;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

bool Fail(std::string *error, const std::string &why)
{
    if (error)
        *error = why;
    return false;
}

// Walks the header fields of a PBM file: white space and comments (from
// '#' to the end of the line) separate them.
class Cursor {
public:
    explicit Cursor(const std::string &bytes) : FBytes(bytes) {}

    void SkipSpace()
    {
        while (FAt < FBytes.size()) {
            if (FBytes[FAt] == '#') {
                while (FAt < FBytes.size() && FBytes[FAt] != '\n' && FBytes[FAt] != '\r')
                    ++FAt;
            } else if (IsSpace(FBytes[FAt])) {
                ++FAt;
            } else {
                return;
            }
        }
    }

    bool Number(long *value)
    {
        SkipSpace();
        const size_t start = FAt;
        *value = 0;
        while (FAt < FBytes.size() && FBytes[FAt] >= '0' && FBytes[FAt] <= '9') {
            *value = *value * 10 + (FBytes[FAt] - '0');
            if (*value > kMaxDimension)
                return false;
            ++FAt;
        }
        return FAt > start;
    }

    size_t At() const { return FAt; }
    void Skip(size_t count) { FAt += count; }
    bool AtEnd() const { return FAt >= FBytes.size(); }
    char Peek() const { return FBytes[FAt]; }

private:
    const std::string &FBytes;
    size_t FAt = 0;
};

// Plain: one character '0' or '1' a dot, white space and comments anywhere
// between.
bool ParsePlain(const std::string &bytes, size_t at, Image *image, std::string *error)
{
    const size_t width = static_cast<size_t>(image->width);
    const size_t dots = static_cast<size_t>(image->height) * width;
    if (bytes.size() - at < dots)
        return Fail(error, "the image data is short");
    image->rows.assign(image->RowBytes() * static_cast<size_t>(image->height), 0);
    size_t dot = 0;
    for (size_t i = at; i < bytes.size() && dot < dots; ++i) {
        const char c = bytes[i];
        if (c == '0' || c == '1') {
            const size_t x = dot % width;
            if (c == '1')
                image->Row(static_cast<int>(dot / width))[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            ++dot;
        } else if (c == '#') {
            while (i < bytes.size() && bytes[i] != '\n')
                ++i;
        } else if (!IsSpace(c)) {
            return Fail(error, "bad character in the image data");
        }
    }
    if (dot < dots)
        return Fail(error, "the image data is short");
    return true;
}

} // namespace

bool Parse(const std::string &bytes, Image *image, std::string *error, Forms forms)
{
    const bool plainTaken = forms == Forms::BinaryOrPlain;
    if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != '4' && (bytes[1] != '1' || !plainTaken)))
        return Fail(error, plainTaken ? "not a PBM image (P4 or P1)" : "not a binary PBM image (P4)");
    Cursor cursor(bytes);
    cursor.Skip(2);
    long width = 0, height = 0;
    if (!cursor.Number(&width) || !cursor.Number(&height))
        return Fail(error, "bad PBM header");
    if (width < 1)
        return Fail(error, "the image has no width");
    Image result;
    result.width = static_cast<int>(width);
    result.height = static_cast<int>(height);
    if (bytes[1] == '1') {
        if (!ParsePlain(bytes, cursor.At(), &result, error))
            return false;
    } else {
        // Exactly one white-space byte ends the header.
        if (cursor.AtEnd() || !IsSpace(cursor.Peek()))
            return Fail(error, "bad PBM header");
        cursor.Skip(1);
        const size_t size = result.RowBytes() * static_cast<size_t>(height);
        if (bytes.size() - cursor.At() < size)
            return Fail(error, "the image data is short");
        result.rows.assign(bytes.begin() + static_cast<std::ptrdiff_t>(cursor.At()),
                           bytes.begin() + static_cast<std::ptrdiff_t>(cursor.At() + size));
    }
    *image = std::move(result);
    return true;
}

bool ReadFile(const std::string &path, Image *image, std::string *error, Forms forms)
{
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        return Fail(error, "cannot open " + path);
    std::string bytes;
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    const bool read = !ferror(file);
    fclose(file);
    if (!read)
        return Fail(error, "cannot read " + path);
    if (!Parse(bytes, image, error, forms)) {
        if (error)
            *error = path + ": " + *error;
        return false;
    }
    return true;
}

std::string Format(int width, int height, const uint8_t *rows)
{
    std::string bytes = "P4\n" + std::to_string(width) + " " + std::to_string(height) + "\n";
    const size_t size = (static_cast<size_t>(width) + 7) / 8 * static_cast<size_t>(height);
    if (size)
        bytes.append(reinterpret_cast<const char *>(rows), size);
    return bytes;
}

bool WriteFile(const std::string &path, int width, int height, const uint8_t *rows)
{
    if (width < 1 || height < 0)
        return false;
    const std::string bytes = Format(width, height, rows);
    FILE *file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && written;
}

bool WriteFile(const std::string &path, const Image &image)
{
    if (image.height < 0 || image.rows.size() != image.RowBytes() * static_cast<size_t>(image.height))
        return false;
    return WriteFile(path, image.width, image.height, image.rows.data());
}

int FirstDifferentRow(int width, const uint8_t *a, int aRows, const uint8_t *b, int bRows)
{
    const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
    const int rows = aRows > bRows ? aRows : bRows;
    for (int y = 0; y < rows; ++y) {
        const uint8_t *first = y < aRows ? a + rowBytes * static_cast<size_t>(y) : nullptr;
        const uint8_t *second = y < bRows ? b + rowBytes * static_cast<size_t>(y) : nullptr;
        for (size_t i = 0; i < rowBytes; ++i) {
            const uint8_t one = first ? first[i] : 0;
            const uint8_t other = second ? second[i] : 0;
            if (one != other)
                return y;
        }
    }
    return -1;
}

} // namespace pbm
