// The device's pages as PBM files: it prints and scans rows of 1728 dots
// (216 bytes), and reads and writes binary PBM (P4) only.
#pragma once

#include <cstdint>
#include <string>

#include "PbmImage.h"

namespace standin {

struct Bitmap : pbm::Image {
    Bitmap() { width = 1728; }
};

// Reads a P4 file. False when the file cannot be read, is not P4, or is
// shorter than its header says.
inline bool ReadPbm(const std::string &path, Bitmap *bitmap)
{
    return pbm::ReadFile(path, bitmap, nullptr, pbm::Forms::BinaryOnly);
}

// Writes `bitmap` as P4; false when the file cannot be written or the rows
// do not match width and height.
inline bool WritePbm(const std::string &path, const Bitmap &bitmap) { return pbm::WriteFile(path, bitmap); }

// `count` bytes of 216-byte lines (the last one may be partial and is padded
// with zero bytes) as a 1728-dot-wide bitmap.
Bitmap BitmapFromLines(const uint8_t *bytes, size_t count);

} // namespace standin
