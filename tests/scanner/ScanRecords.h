// Scan record streams built record by record, TIFF file images read back
// IFD by IFD, and the two inputs of the TIFF builder that the scanner
// program never sets.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "MemoryStream.h"
#include "Tiff.h"

class TPCL_file;

// The TIFF builder's records file and page source, which its constructor
// leaves empty; and how far its block is filled.
class TTiffInputs {
public:
    static void SetFileName(TTiff &tiff, const char *name) { tiff.FFileName = name; }
    static void SetSource(TTiff &tiff, TPCL_file *source) { tiff.FSource = source; }
    static int Used(const TTiff &tiff) { return tiff.FUsed; }
};

namespace scanner_test {

using Bytes = std::vector<unsigned char>;

constexpr int kRowBytes = 216;
constexpr int kPageRows = 2200;
constexpr int kPageData = kRowBytes * kPageRows; // 475,200
constexpr int kPageStride = 475378;

// The records that the device link stores, as they come off the wire.
class ScanRecords {
public:
    // Payload byte 1 (the second) switches line doubling: 0 on, 1 off.
    ScanRecords &PageHeader(int doubling = 1) { return Record(0xF2, {0x11, doubling, 0x33, 0x44}); }
    ScanRecords &Line(const Bytes &code)
    {
        Raw({0xFE, 0xF3, static_cast<int>(code.size())});
        FBytes.insert(FBytes.end(), code.begin(), code.end());
        return *this;
    }
    ScanRecords &NextPage() { return Record(0xF8, {0, 0, 0, 0}); }
    ScanRecords &End() { return Record(0xF6, {0, 0, 0, 0}); }
    ScanRecords &Raw(std::initializer_list<int> bytes)
    {
        for (int b : bytes)
            FBytes.push_back(static_cast<unsigned char>(b));
        return *this;
    }

    const Bytes &Get() const { return FBytes; }

    // The records in a memory stream, positioned at its end as the device
    // link leaves it.
    void Into(TMemoryStream &stream) const
    {
        stream.Clear();
        if (!FBytes.empty())
            stream.Write(FBytes.data(), static_cast<int>(FBytes.size()));
    }

private:
    ScanRecords &Record(int kind, std::initializer_list<int> payload)
    {
        Raw({0xFE, kind});
        return Raw(payload);
    }

    Bytes FBytes;
};

// A line whose row starts with two bytes that tell line `index` apart
// (never zero), coded with a zero run that fills the rest of the row.
inline Bytes NumberedLine(int index)
{
    return {static_cast<unsigned char>(index % 255 + 1), static_cast<unsigned char>(index / 255 + 1), 0x00, 214};
}

// The row that NumberedLine(index) decodes to.
inline Bytes NumberedRow(int index)
{
    Bytes row(kRowBytes, 0);
    row[0] = static_cast<unsigned char>(index % 255 + 1);
    row[1] = static_cast<unsigned char>(index / 255 + 1);
    return row;
}

// One IFD entry as written: type, count and the 32-bit value field (a
// SHORT stands in its low two bytes).
struct IfdEntry {
    int Tag = 0;
    int Type = 0;
    uint32_t Count = 0;
    uint32_t Value = 0;
};

struct IfdPage {
    uint32_t At = 0;   // offset of the IFD
    std::vector<IfdEntry> Entries;
    uint32_t Next = 0; // the next IFD's offset

    // The value of a tag, or -1 when the IFD has no such entry.
    long long Value(int tag) const
    {
        for (const IfdEntry &e : Entries)
            if (e.Tag == tag)
                return e.Type == 3 ? (e.Value & 0xFFFF) : e.Value;
        return -1;
    }
};

// A little-endian TIFF file image read IFD by IFD from its header on.
// Broken is set, and the walk stops, at an offset that leaves the image.
struct TiffImage {
    std::vector<IfdPage> Pages;
    bool Broken = false;

    TiffImage(const unsigned char *image, size_t size);

    static uint32_t Read32(const unsigned char *at)
    {
        return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24;
    }
    static int Read16(const unsigned char *at) { return at[0] | at[1] << 8; }
};

inline TiffImage::TiffImage(const unsigned char *image, size_t size)
{
    if (size < 8 || image[0] != 'I' || image[1] != 'I' || Read16(image + 2) != 42) {
        Broken = true;
        return;
    }
    uint32_t at = Read32(image + 4);
    while (at != 0) {
        if (at + 2 > size || Pages.size() > 10000) {
            Broken = true;
            return;
        }
        IfdPage page;
        page.At = at;
        const int count = Read16(image + at);
        if (at + 2 + 12u * count + 4 > size) {
            Broken = true;
            return;
        }
        for (int i = 0; i < count; ++i) {
            const unsigned char *e = image + at + 2 + 12 * i;
            page.Entries.push_back({Read16(e), Read16(e + 2), Read32(e + 4), Read32(e + 8)});
        }
        page.Next = Read32(image + at + 2 + 12 * count);
        Pages.push_back(page);
        at = page.Next;
    }
}

// Row `row` of page `page` of a file image of this builder's layout.
inline Bytes RowOf(const unsigned char *image, int page, int row)
{
    const unsigned char *at = image + 8 + static_cast<size_t>(page) * kPageStride + static_cast<size_t>(row) * kRowBytes;
    return Bytes(at, at + kRowBytes);
}

} // namespace scanner_test
