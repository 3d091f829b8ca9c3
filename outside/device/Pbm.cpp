#include "Pbm.h"

#include "ZeroRun.h"

#include <cstring>

namespace standin {

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
