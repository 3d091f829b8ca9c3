// Bilevel images as PBM files, binary (P4) or plain (P1): one bit a dot, the
// first dot of a row in the most significant bit of its first byte, a set
// bit black. Comments may stand in the header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pbm {

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rows; // height rows of RowBytes() bytes, top row first

    size_t RowBytes() const { return (static_cast<size_t>(width) + 7) / 8; }
    const uint8_t *Row(int y) const { return rows.data() + RowBytes() * static_cast<size_t>(y); }
    uint8_t *Row(int y) { return rows.data() + RowBytes() * static_cast<size_t>(y); }
};

// Which forms a reader takes.
enum class Forms { BinaryOnly, BinaryOrPlain };

// Reads the bytes of a PBM file. False when they are not a PBM image of at
// least one dot's width, in a form taken, whole; `error` (when given) then
// says why.
bool Parse(const std::string &bytes, Image *image, std::string *error = nullptr,
           Forms forms = Forms::BinaryOrPlain);
// The same from a file; the error names the file.
bool ReadFile(const std::string &path, Image *image, std::string *error = nullptr,
              Forms forms = Forms::BinaryOrPlain);

// The image of `height` rows of `width` dots at `rows` as binary PBM.
std::string Format(int width, int height, const uint8_t *rows);
// Writes it; false when the file cannot be written or there is no width.
bool WriteFile(const std::string &path, int width, int height, const uint8_t *rows);
// The same for an image; false too when its rows do not match its size.
bool WriteFile(const std::string &path, const Image &image);

// The first row where two images `width` dots wide differ, a row that only
// one of them has counting as blank in the other; -1 when they agree.
int FirstDifferentRow(int width, const uint8_t *a, int aRows, const uint8_t *b, int bRows);

} // namespace pbm
