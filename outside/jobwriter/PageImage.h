// A page image as the printer driver renders it: rows of 1728 dots, 216
// bytes a row, the first dot in the most significant bit of the row's first
// byte, a set bit a black dot.
#pragma once

#include <string>
#include <vector>

namespace jobwriter {

constexpr int kPageDots = 1728;
constexpr int kRowBytes = kPageDots / 8;

struct PageImage {
    int Height = 0;
    std::vector<unsigned char> Bits; // Height rows of kRowBytes, top row first

    explicit PageImage(int height = 0)
        : Height(height), Bits(static_cast<size_t>(height) * kRowBytes, 0) {}

    unsigned char *Row(int y) { return Bits.data() + static_cast<size_t>(y) * kRowBytes; }
    const unsigned char *Row(int y) const { return Bits.data() + static_cast<size_t>(y) * kRowBytes; }
    void SetDot(int x, int y) { Row(y)[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8)); }
    bool Dot(int x, int y) const { return (Row(y)[x / 8] & (0x80 >> (x % 8))) != 0; }
};

// Reads a PBM image (binary P4 or plain P1) that is exactly 1728 dots wide.
// On failure returns false and says why in `error`.
bool ParsePbm(const std::string &bytes, PageImage &page, std::string &error);
bool ReadPbmFile(const std::string &path, PageImage &page, std::string &error);

// Writes the image as binary PBM (P4).
std::string FormatPbm(const PageImage &page);
bool WritePbmFile(const std::string &path, const PageImage &page);

} // namespace jobwriter
