#include "TiffPages.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

extern char **environ;

namespace tiffpages {
namespace {

constexpr int kTagWidth = 256;
constexpr int kTagLength = 257;
constexpr int kTagBitsPerSample = 258;
constexpr int kTagCompression = 259;
constexpr int kTagPhotometric = 262;
constexpr int kTagFillOrder = 266;
constexpr int kTagStripOffsets = 273;
constexpr int kTagStripByteCounts = 279;
constexpr int kTagXResolution = 282;
constexpr int kTagYResolution = 283;
constexpr int kTagT4Options = 292;

// A TIFF file image, read IFD by IFD in its byte order.
class TiffFile {
public:
    explicit TiffFile(std::string bytes) : FBytes(std::move(bytes)) {}

    bool Header(uint32_t *firstIfd)
    {
        if (FBytes.size() < 8)
            return false;
        if (FBytes.compare(0, 2, "II") == 0)
            FBig = false;
        else if (FBytes.compare(0, 2, "MM") == 0)
            FBig = true;
        else
            return false;
        if (U16(2) != 42)
            return false;
        *firstIfd = U32(4);
        return true;
    }

    struct Entry {
        int tag, type;
        uint32_t count, at; // `at`: where the value lies
    };

    // The entries of the IFD at `at` and the next IFD's offset.
    bool Ifd(uint32_t at, std::vector<Entry> *entries, uint32_t *next)
    {
        if (!Fits(at, 2))
            return false;
        const int count = U16(at);
        if (!Fits(at + 2, 12u * count + 4))
            return false;
        entries->clear();
        for (int i = 0; i < count; ++i) {
            const uint32_t e = at + 2 + 12u * static_cast<uint32_t>(i);
            Entry entry{U16(e), U16(e + 2), U32(e + 4), e + 8};
            if (Size(entry.type) * entry.count > 4)
                entry.at = U32(e + 8);
            entries->push_back(entry);
        }
        *next = U32(at + 2 + 12u * static_cast<uint32_t>(count));
        return true;
    }

    // Value `index` of an entry: SHORT, LONG, or a RATIONAL's whole part.
    long long Value(const Entry &entry, uint32_t index = 0)
    {
        const uint32_t size = Size(entry.type);
        if (index >= entry.count || !Fits(entry.at + index * size, size))
            return -1;
        const uint32_t at = entry.at + index * size;
        switch (entry.type) {
        case 3:
            return U16(at);
        case 4:
            return U32(at);
        case 5: {
            const uint32_t denominator = U32(at + 4);
            return denominator ? U32(at) / denominator : -1;
        }
        default:
            return -1;
        }
    }

    bool Fits(uint64_t at, uint64_t count) const { return at + count <= FBytes.size(); }
    const std::string &Bytes() const { return FBytes; }

private:
    static uint32_t Size(int type) { return type == 3 ? 2 : type == 4 ? 4 : type == 5 ? 8 : 1; }
    int U16(uint32_t at) const
    {
        const auto *b = reinterpret_cast<const unsigned char *>(FBytes.data()) + at;
        return FBig ? b[0] << 8 | b[1] : b[1] << 8 | b[0];
    }
    uint32_t U32(uint32_t at) const
    {
        const auto *b = reinterpret_cast<const unsigned char *>(FBytes.data()) + at;
        return FBig ? static_cast<uint32_t>(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3]
                    : static_cast<uint32_t>(b[3]) << 24 | b[2] << 16 | b[1] << 8 | b[0];
    }

    std::string FBytes;
    bool FBig = false;
};

bool ReadWhole(const std::string &path, std::string *bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Runs tiffcp with `args` and waits for it; true when it exits with 0.
bool RunTiffcp(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    std::string program = ARV_TIFFCP_TOOL;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string &arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = -1;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

unsigned char Reversed(unsigned char b)
{
    b = static_cast<unsigned char>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<unsigned char>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<unsigned char>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

} // namespace

bool ReadPages(const std::string &path, const std::string &scratch, std::vector<Page> *pages, std::string *why)
{
    pages->clear();
    std::string bytes;
    if (!ReadWhole(path, &bytes)) {
        *why = "cannot read " + path;
        return false;
    }

    // What the file itself states, page by page.
    TiffFile original(bytes);
    uint32_t at = 0;
    if (!original.Header(&at)) {
        *why = path + " is not a TIFF file";
        return false;
    }
    std::vector<TiffFile::Entry> entries;
    while (at != 0 && pages->size() < 1000) {
        uint32_t next = 0;
        if (!original.Ifd(at, &entries, &next)) {
            *why = "an IFD of " + path + " lies outside the file";
            return false;
        }
        Page page;
        for (const TiffFile::Entry &entry : entries) {
            const long long value = original.Value(entry);
            switch (entry.tag) {
            case kTagCompression: page.compression = static_cast<int>(value); break;
            case kTagT4Options: page.t4Options = value; break;
            case kTagXResolution: page.xResolution = static_cast<int>(value); break;
            case kTagYResolution: page.yResolution = static_cast<int>(value); break;
            default: break;
            }
        }
        pages->push_back(page);
        at = next;
    }

    // The dots, as libtiff decodes them.
    const std::string plainPath = scratch + "/plain-copy.tif";
    if (!RunTiffcp({"-c", "none", "-r", "65535", path, plainPath})) {
        *why = "tiffcp cannot decode " + path;
        return false;
    }
    std::string plainBytes;
    if (!ReadWhole(plainPath, &plainBytes)) {
        *why = "tiffcp wrote nothing for " + path;
        return false;
    }
    std::remove(plainPath.c_str());
    TiffFile plain(plainBytes);
    if (!plain.Header(&at)) {
        *why = "tiffcp's copy of " + path + " is not a TIFF file";
        return false;
    }
    size_t index = 0;
    for (; at != 0 && index < pages->size(); ++index) {
        uint32_t next = 0;
        if (!plain.Ifd(at, &entries, &next)) {
            *why = "tiffcp's copy of " + path + " is broken";
            return false;
        }
        long long width = 0, length = 0, bits = 1, photometric = 0, fillOrder = 1;
        const TiffFile::Entry *offsets = nullptr, *counts = nullptr;
        for (const TiffFile::Entry &entry : entries) {
            switch (entry.tag) {
            case kTagWidth: width = plain.Value(entry); break;
            case kTagLength: length = plain.Value(entry); break;
            case kTagBitsPerSample: bits = plain.Value(entry); break;
            case kTagPhotometric: photometric = plain.Value(entry); break;
            case kTagFillOrder: fillOrder = plain.Value(entry); break;
            case kTagStripOffsets: offsets = &entry; break;
            case kTagStripByteCounts: counts = &entry; break;
            default: break;
            }
        }
        if (bits != 1 || width <= 0 || length <= 0 || !offsets || !counts || offsets->count != counts->count) {
            *why = "page " + std::to_string(index + 1) + " of " + path + " is not a bilevel image";
            return false;
        }
        pbm::Image &image = (*pages)[index].image;
        image.width = static_cast<int>(width);
        image.height = static_cast<int>(length);
        std::string data;
        for (uint32_t strip = 0; strip < offsets->count; ++strip) {
            const long long from = plain.Value(*offsets, strip), count = plain.Value(*counts, strip);
            if (from < 0 || count < 0 || !plain.Fits(static_cast<uint64_t>(from), static_cast<uint64_t>(count))) {
                *why = "a strip of page " + std::to_string(index + 1) + " lies outside tiffcp's copy";
                return false;
            }
            data.append(plain.Bytes(), static_cast<size_t>(from), static_cast<size_t>(count));
        }
        if (data.size() < image.RowBytes() * static_cast<size_t>(image.height)) {
            *why = "page " + std::to_string(index + 1) + " of " + path + " is short of dots";
            return false;
        }
        image.rows.assign(data.begin(), data.begin() + static_cast<long>(image.RowBytes() * image.height));
        for (uint8_t &b : image.rows) {
            if (fillOrder == 2)
                b = Reversed(b);
            if (photometric == 1) // black is zero
                b = static_cast<uint8_t>(~b);
        }
        at = next;
    }
    if (index != pages->size() || at != 0) {
        *why = "tiffcp's copy of " + path + " has another number of pages";
        return false;
    }
    return true;
}

std::string CompareWithDocument(const pbm::Image &scanned, const pbm::Image &document)
{
    std::ostringstream problems;
    if (scanned.width != document.width) {
        problems << "the scan is " << scanned.width << " dots wide, the document " << document.width;
        return problems.str();
    }
    if (document.height > scanned.height) {
        problems << "the scan has " << scanned.height << " rows, the document " << document.height;
        return problems.str();
    }
    const int row = pbm::FirstDifferentRow(scanned.width, scanned.rows.data(), scanned.height, document.rows.data(),
                                           document.height);
    if (row >= 0)
        problems << "row " << row << " differs";
    return problems.str();
}

} // namespace tiffpages
