// Bilevel images as binary PBM (P4): one bit a dot, the first dot of a row in
// the most significant bit of its first byte, a set bit black. The device
// prints and scans rows of 1728 dots (216 bytes).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

struct Bitmap {
    int width = 1728, height = 0;
    std::vector<uint8_t> rows; // height rows of (width + 7) / 8 bytes, top row first

    size_t RowBytes() const { return (static_cast<size_t>(width) + 7) / 8; }
    const uint8_t *Row(int y) const { return rows.data() + RowBytes() * static_cast<size_t>(y); }
    uint8_t *Row(int y) { return rows.data() + RowBytes() * static_cast<size_t>(y); }
};

// Reads a P4 file (comments in the header are allowed). False when the file
// cannot be read, is not P4, or is shorter than its header says.
bool ReadPbm(const std::string &path, Bitmap *bitmap);

// Writes `bitmap` as P4; false when the file cannot be written or the rows
// do not match width and height.
bool WritePbm(const std::string &path, const Bitmap &bitmap);

// `lines` bytes of 216-byte lines (the last one may be partial and is padded
// with zero bytes) as a 1728-dot-wide bitmap.
Bitmap BitmapFromLines(const uint8_t *bytes, size_t count);

} // namespace standin
