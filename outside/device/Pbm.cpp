#include "Pbm.h"

#include "ZeroRun.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace standin {
namespace {

constexpr long kMaxDimension = 1 << 20;

bool ReadWhole(const std::string &path, std::vector<uint8_t> *bytes)
{
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    uint8_t chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes->insert(bytes->end(), chunk, chunk + got);
    bool ok = !ferror(file);
    fclose(file);
    return ok;
}

// Skips white space and comments of a PBM header.
void SkipSpace(const std::vector<uint8_t> &bytes, size_t *at)
{
    while (*at < bytes.size()) {
        if (bytes[*at] == '#') {
            while (*at < bytes.size() && bytes[*at] != '\n')
                ++*at;
        } else if (isspace(bytes[*at])) {
            ++*at;
        } else {
            return;
        }
    }
}

bool ReadNumber(const std::vector<uint8_t> &bytes, size_t *at, long *value)
{
    SkipSpace(bytes, at);
    if (*at >= bytes.size() || !isdigit(bytes[*at]))
        return false;
    long number = 0;
    while (*at < bytes.size() && isdigit(bytes[*at])) {
        number = number * 10 + (bytes[*at] - '0');
        if (number > kMaxDimension)
            return false;
        ++*at;
    }
    *value = number;
    return true;
}

} // namespace

bool ReadPbm(const std::string &path, Bitmap *bitmap)
{
    std::vector<uint8_t> bytes;
    if (!ReadWhole(path, &bytes))
        return false;
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '4')
        return false;
    size_t at = 2;
    long width = 0, height = 0;
    if (!ReadNumber(bytes, &at, &width) || !ReadNumber(bytes, &at, &height) || width <= 0)
        return false;
    // Exactly one white-space byte separates the header from the raster.
    if (at >= bytes.size() || !isspace(bytes[at]))
        return false;
    ++at;
    Bitmap result;
    result.width = static_cast<int>(width);
    result.height = static_cast<int>(height);
    size_t size = result.RowBytes() * static_cast<size_t>(height);
    if (bytes.size() - at < size)
        return false;
    result.rows.assign(bytes.begin() + static_cast<long>(at), bytes.begin() + static_cast<long>(at + size));
    *bitmap = std::move(result);
    return true;
}

bool WritePbm(const std::string &path, const Bitmap &bitmap)
{
    if (bitmap.width <= 0 || bitmap.height < 0 ||
        bitmap.rows.size() != bitmap.RowBytes() * static_cast<size_t>(bitmap.height))
        return false;
    FILE *file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool ok = fprintf(file, "P4\n%d %d\n", bitmap.width, bitmap.height) > 0;
    if (ok && !bitmap.rows.empty())
        ok = fwrite(bitmap.rows.data(), 1, bitmap.rows.size(), file) == bitmap.rows.size();
    ok = fclose(file) == 0 && ok;
    return ok;
}

Bitmap BitmapFromLines(const uint8_t *bytes, size_t count)
{
    Bitmap bitmap;
    bitmap.width = kLineDots;
    size_t lines = (count + kLineBytes - 1) / kLineBytes;
    bitmap.height = static_cast<int>(lines);
    bitmap.rows.assign(lines * kLineBytes, 0);
    if (count)
        memcpy(bitmap.rows.data(), bytes, count);
    return bitmap;
}

} // namespace standin
