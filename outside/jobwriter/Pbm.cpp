#include "PageImage.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace jobwriter {

namespace {

// Walks the header fields of a PBM file: white space and comments (from
// '#' to the end of the line) separate them.
class PbmCursor {
public:
    explicit PbmCursor(const std::string &bytes) : FBytes(bytes) {}

    void SkipSpace()
    {
        while (FAt < FBytes.size()) {
            char c = FBytes[FAt];
            if (c == '#') {
                while (FAt < FBytes.size() && FBytes[FAt] != '\n' && FBytes[FAt] != '\r')
                    ++FAt;
            } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
                ++FAt;
            } else {
                return;
            }
        }
    }

    bool Number(long &value)
    {
        SkipSpace();
        size_t start = FAt;
        value = 0;
        while (FAt < FBytes.size() && FBytes[FAt] >= '0' && FBytes[FAt] <= '9') {
            if (value > 10000000)
                return false;
            value = value * 10 + (FBytes[FAt] - '0');
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

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

bool ParsePbm(const std::string &bytes, PageImage &page, std::string &error)
{
    if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != '4' && bytes[1] != '1')) {
        error = "not a PBM image (P4 or P1)";
        return false;
    }
    const bool binary = bytes[1] == '4';
    PbmCursor cursor(bytes);
    cursor.Skip(2);
    long width = 0;
    long height = 0;
    if (!cursor.Number(width) || !cursor.Number(height)) {
        error = "bad PBM header";
        return false;
    }
    if (width != kPageDots) {
        error = "the page must be 1728 dots wide";
        return false;
    }
    if (height < 1) {
        error = "the page has no rows";
        return false;
    }

    if (binary) {
        // Exactly one white-space byte ends the header.
        if (cursor.AtEnd() || !IsSpace(cursor.Peek())) {
            error = "bad PBM header";
            return false;
        }
        cursor.Skip(1);
        size_t need = static_cast<size_t>(height) * kRowBytes;
        if (bytes.size() - cursor.At() < need) {
            error = "the image data is short";
            return false;
        }
        page = PageImage(static_cast<int>(height));
        page.Bits.assign(bytes.begin() + static_cast<std::ptrdiff_t>(cursor.At()),
                         bytes.begin() + static_cast<std::ptrdiff_t>(cursor.At() + need));
        return true;
    }

    // Plain: one character '0' or '1' a dot, white space anywhere between.
    size_t dots = static_cast<size_t>(height) * kPageDots;
    if (bytes.size() - cursor.At() < dots) {
        error = "the image data is short";
        return false;
    }
    page = PageImage(static_cast<int>(height));
    size_t dot = 0;
    for (size_t i = cursor.At(); i < bytes.size() && dot < dots; ++i) {
        char c = bytes[i];
        if (c == '0' || c == '1') {
            if (c == '1')
                page.SetDot(static_cast<int>(dot % kPageDots), static_cast<int>(dot / kPageDots));
            ++dot;
        } else if (c == '#') {
            while (i < bytes.size() && bytes[i] != '\n')
                ++i;
        } else if (!IsSpace(c)) {
            error = "bad character in the image data";
            return false;
        }
    }
    if (dot < dots) {
        error = "the image data is short";
        return false;
    }
    return true;
}

bool ReadPbmFile(const std::string &path, PageImage &page, std::string &error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!ParsePbm(bytes, page, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

std::string FormatPbm(const PageImage &page)
{
    std::ostringstream out;
    out << "P4\n" << kPageDots << ' ' << page.Height << '\n';
    out.write(reinterpret_cast<const char *>(page.Bits.data()), static_cast<std::streamsize>(page.Bits.size()));
    return out.str();
}

bool WritePbmFile(const std::string &path, const PageImage &page)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string bytes = FormatPbm(page);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace jobwriter
