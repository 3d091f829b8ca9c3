#include "Tiff.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "Extra.h"
#include "MemoryStream.h"
#include "Pcl_parser.h"
#include "wincrt.h"

namespace {

constexpr int kRowBytes = 216;
constexpr int kPageRows = 2200;
constexpr int kPageDataBytes = kRowBytes * kPageRows; // 475,200
constexpr int kOffsetBytes = 4;
constexpr int kResolutionBytes = 16;                  // two rationals
constexpr int kIfdEntryCount = 13;
constexpr int kIfdBytes = 2 + kIfdEntryCount * 12;    // count and entries
// From a page's dots to its IFD, and from one page's dots to the next.
constexpr int kIfdAfterData = kPageDataBytes + kResolutionBytes;          // 475,216
constexpr int kPageStride = kIfdAfterData + kIfdBytes + kOffsetBytes;     // 475,378
// What one page adds to the image: the pointer to its IFD, then its dots,
// resolutions and IFD; the IFD's next-IFD field is the next page's pointer.
constexpr int kPageBytes = kOffsetBytes + kIfdAfterData + kIfdBytes;      // 475,378
constexpr int kHeaderBytes = 4;
constexpr int kFirstPageData = kHeaderBytes + kOffsetBytes;               // 8

constexpr int kWorkBufferSize = 1200;

constexpr unsigned char kLead = 0xFE;
constexpr unsigned char kPageHeader = 0xF2;
constexpr unsigned char kLine = 0xF3;
constexpr unsigned char kEndOfDocument = 0xF6;
constexpr unsigned char kNextPage = 0xF8;
constexpr int kParameterBytes = 4;
constexpr int kDoublingParameter = 1; // payload byte: 0 doubles lines, 1 does not

// Page source rows.
constexpr int kResolutionOffset = 5;
constexpr unsigned char kHalvingResolution = '1';
constexpr int kRowAdvanceOffset = 3;
constexpr int kRowCountOffset = 8;

constexpr int kTypeShort = 3;
constexpr int kTypeLong = 4;
constexpr int kTypeRational = 5;
constexpr int kTagStripOffsets = 273;
constexpr int kTagXResolution = 282;
constexpr int kTagYResolution = 283;

// {tag, type, count, value}; the offsets (value 0 here) are put in per page.
constexpr int kIfdTemplate[kIfdEntryCount][4] = {
    {256, kTypeShort, 1, 1728},          // ImageWidth
    {257, kTypeShort, 1, kPageRows},     // ImageLength
    {258, kTypeShort, 1, 1},             // BitsPerSample
    {259, kTypeShort, 1, 1},             // Compression: none
    {262, kTypeShort, 1, 0},             // PhotometricInterpretation: white is zero
    {266, kTypeShort, 1, 1},             // FillOrder
    {kTagStripOffsets, kTypeLong, 1, 0},
    {277, kTypeShort, 1, 1},             // SamplesPerPixel
    {278, kTypeShort, 1, kPageRows},     // RowsPerStrip
    {279, kTypeLong, 1, kPageDataBytes}, // StripByteCounts
    {kTagXResolution, kTypeRational, 1, 0},
    {kTagYResolution, kTypeRational, 1, 0},
    {296, kTypeShort, 1, 2},             // ResolutionUnit: inch
};

// Decodes one zero-run coded line into its row, whose 216 bytes are zero
// already: a byte 00 and a count k stand for k zero bytes (skipped), every
// other byte for itself. What decodes beyond 216 bytes is dropped, so every
// row keeps its place in the layout; a 00 that ends the line has no count
// and stands for nothing.
void DecodeRow(const unsigned char *code, int count, unsigned char *row)
{
    constexpr uint64_t kOnes = 0x0101010101010101u;
    constexpr uint64_t kHighBits = 0x8080808080808080u;
    int length = 0;
    int i = 0;
    while (i < count && length < kRowBytes) {
        // Eight literal bytes at a time while none of them is 00.
        while (i + 8 <= count && length + 8 <= kRowBytes) {
            uint64_t word;
            std::memcpy(&word, code + i, 8);
            if ((word - kOnes) & ~word & kHighBits)
                break;
            std::memcpy(row + length, &word, 8);
            i += 8;
            length += 8;
        }
        if (i >= count || length >= kRowBytes)
            break;
        if (code[i] != 0) {
            row[length++] = code[i++];
        } else {
            if (i + 1 < count)
                length += code[i + 1];
            i += 2;
        }
    }
}

} // namespace

// Reads records from the scan stream or from a records file.
class TTiff::TRecordReader {
public:
    explicit TRecordReader(TMemoryStream *Stream) : FStream(Stream), FFile(nullptr) {}
    explicit TRecordReader(FILE *File) : FStream(nullptr), FFile(File) {}

    bool AtEnd()
    {
        if (FStream)
            return FStream->Position() >= FStream->Size();
        const int c = std::fgetc(FFile);
        if (c == EOF)
            return true;
        std::ungetc(c, FFile);
        return false;
    }

    // Reads up to Count bytes; true when all of them came.
    bool Read(unsigned char *Buffer, int Count)
    {
        if (Count == 0)
            return true;
        if (FStream)
            return FStream->Read(Buffer, Count) == Count;
        return std::fread(Buffer, 1, static_cast<size_t>(Count), FFile) == static_cast<size_t>(Count);
    }

    // The kind of the record that comes next, when it is led by FE; the
    // reading place stays where it is.
    int PeekKind()
    {
        unsigned char lead[2];
        int got;
        if (FStream) {
            const int at = FStream->Position();
            got = FStream->Read(lead, 2);
            FStream->SetPosition(at);
        } else {
            const long at = std::ftell(FFile);
            got = static_cast<int>(std::fread(lead, 1, 2, FFile));
            std::fseek(FFile, at, SEEK_SET);
        }
        return got == 2 && lead[0] == kLead ? lead[1] : -1;
    }

private:
    TMemoryStream *FStream;
    FILE *FFile;
};

// Lays out the pages of the image one after another. A page is begun only
// when it fits the block whole together with the 4 bytes that end the
// image, so no pointer is ever written to an IFD that is not there; its
// dots are then cleared at once, and rows are written in their place.
class TTiff::TPageWriter {
public:
    explicit TPageWriter(TTiff &Tiff) : FTiff(Tiff), FNext(kFirstPageData), FData(0), FPointerAt(0), FRows(0) {}

    // Writes the pointer to the page's IFD (into the header or the previous
    // IFD) and clears the page's dots; false, writing nothing, when the
    // page does not fit.
    bool Begin()
    {
        const long long needed = static_cast<long long>(FTiff.FUsed) + kPageBytes + kOffsetBytes;
        if (needed >= FTiff.LastBlockCapacity())
            return false;
        FData = FNext;
        FPointerAt = FTiff.FUsed;
        FNext += kIfdAfterData;
        FTiff.Write32(FNext);
        std::memset(FTiff.LastBlock() + FTiff.FUsed, 0, kPageDataBytes);
        FRows = 0;
        return true;
    }

    // The place of the next row, 216 zero bytes; null when the page has
    // its 2,200 rows (a further row has no place and is dropped).
    unsigned char *NextRow()
    {
        if (FRows >= kPageRows)
            return nullptr;
        unsigned char *row = FTiff.LastBlock() + FTiff.FUsed;
        FTiff.FUsed += kRowBytes;
        ++FRows;
        return row;
    }

    // A row of 216 bytes.
    void AddRow(const unsigned char *Row)
    {
        if (unsigned char *at = NextRow())
            std::memcpy(at, Row, kRowBytes);
    }

    bool Full() const { return FRows >= kPageRows; }

    // Fills the page with white rows (they are clear already) and writes
    // its resolutions and IFD.
    void End()
    {
        FTiff.FUsed += (kPageRows - FRows) * kRowBytes;
        FRows = kPageRows;
        FTiff.WriteIfd(FData, 1);
        FNext += kPageStride - kIfdAfterData;
    }

    // The last IFD's next-IFD offset (the header's first-IFD offset when
    // no page was written).
    void EndDocument() { FTiff.Write32(0); }

    // Gives up the page under way: its pointer becomes the end of the
    // image, so what was written before stays a complete file.
    void Abandon() { WriteInt32(FTiff.LastBlock() + FPointerAt, 0, FTiff.FByteOrder); }

private:
    TTiff &FTiff;
    int FNext;      // offset of the next page's IFD, once its pointer is written
    int FData;      // offset of the page's dots
    int FPointerAt; // where the pointer to the page's IFD stands
    int FRows;      // rows written on the page
};

TTiff::TTiff(TMemoryStream *Stream, int PageCount) : TConvert(nullptr), FByteOrder(kOrderLittleEndian)
{
    Init();
    FStream = Stream;
    FPageCount = PageCount;
}

TTiff::~TTiff() = default;

void TTiff::Init()
{
    FFileName = "";
    FPageCount = 0;
    FStream = nullptr;
}

void TTiff::Write32(int Value)
{
    unsigned char bytes[4];
    WriteInt32(bytes, Value, FByteOrder);
    AddBytes(bytes, 4);
}

void TTiff::Write16(int Value)
{
    unsigned char bytes[2];
    WriteInt16(bytes, Value, FByteOrder);
    AddBytes(bytes, 2);
}

void TTiff::WriteIfd(int Offset, int Resolution)
{
    Write32(204);
    Write32(1);
    Write32(Resolution == 1 ? 196 : 98);
    Write32(1);
    Write16(kIfdEntryCount);
    for (const auto &entry : kIfdTemplate) {
        int value = entry[3];
        if (entry[0] == kTagStripOffsets)
            value = Offset;
        else if (entry[0] == kTagXResolution)
            value = Offset + kPageDataBytes;
        else if (entry[0] == kTagYResolution)
            value = Offset + kPageDataBytes + 8;
        Write16(entry[0]);
        Write16(entry[1]);
        Write32(entry[2]);
        Write32(value);
    }
}

void TTiff::Convert()
{
    if (LastBlock())
        return;
    if (FStream)
        ConvertStream();
    else if (FSource)
        ConvertSource();
    else if (!FFileName.IsEmpty())
        ConvertFile();
}

// Allocates the block, (pages + 1) x 475,200 bytes, and writes the header.
// False, with no block, for a count that gives no block size or a block
// that the heap refuses.
bool TTiff::StartDocument(int PageCount)
{
    if (PageCount < 0)
        return false;
    const long long capacity = (static_cast<long long>(PageCount) + 1) * kPageDataBytes;
    if (capacity > INT_MAX || !AllocBlock(static_cast<int>(capacity)))
        return false;
    FByteOrder = kOrderLittleEndian;
    const unsigned char header[kHeaderBytes] = {'I', 'I', '*', 0};
    AddBytes(header, kHeaderBytes);
    return true;
}

// Builds pages from the records until the input is exhausted. A short read
// or an unknown record stops at once and keeps only the complete pages.
void TTiff::ConvertRecords(TRecordReader &Reader)
{
    unsigned char work[kWorkBufferSize];
    bool doubling = false;
    TPageWriter page(*this);

    while (!Reader.AtEnd()) {
        // Pages beyond the block's room are left out.
        if (!page.Begin())
            break;
        bool ended = false;
        while (!ended) {
            const bool led = Reader.Read(work, 2) && work[0] == kLead;
            const int kind = led ? work[1] : -1;
            bool whole = led;
            if (kind == kPageHeader) {
                whole = Reader.Read(work, kParameterBytes);
                if (whole && work[kDoublingParameter] == 0)
                    doubling = true;
                else if (whole && work[kDoublingParameter] == 1)
                    doubling = false;
            } else if (kind == kLine) {
                whole = Reader.Read(work, 1);
                const int length = whole ? work[0] : 0;
                whole = whole && Reader.Read(work, length);
                if (whole) {
                    // The page under way is never full here: a full one
                    // has ended.
                    unsigned char *row = page.NextRow();
                    DecodeRow(work, length, row);
                    // A second copy that would be row 2,201 has no place.
                    if (doubling)
                        page.AddRow(row);
                    if (page.Full()) {
                        ended = true;
                        // An end record right after the 2,200th row ends
                        // this page rather than an empty one after it.
                        const int next = Reader.PeekKind();
                        if (next == kNextPage || next == kEndOfDocument)
                            Reader.Read(work, 2 + kParameterBytes);
                    }
                }
            } else if (kind == kNextPage || kind == kEndOfDocument) {
                // The parameters are not used; an end record cut short
                // still ends its page.
                Reader.Read(work, kParameterBytes);
                ended = true;
            } else {
                whole = false;
            }
            if (!whole) {
                page.Abandon();
                return;
            }
        }
        page.End();
    }
    page.EndDocument();
}

void TTiff::ConvertStream()
{
    if (FStream == nullptr || FStream->Size() == 0 || LastBlock())
        return;
    FStream->SetPosition(0);
    if (!StartDocument(FPageCount))
        return;
    TRecordReader reader(FStream);
    ConvertRecords(reader);
}

void TTiff::ConvertFile()
{
    if (LastBlock())
        return;
    FILE *file = nullptr;
    if (fopen_s(&file, FFileName.c_str(), "rb") != 0 || file == nullptr)
        return;
    TRecordReader reader(file);
    // An empty file, like an empty stream, gives no block.
    if (!reader.AtEnd() && StartDocument(FPageCount))
        ConvertRecords(reader);
    std::fclose(file);
}

// Renders the pages of a parsed print job: each row's data bytes make one
// row, after as many white rows as its line advance says when that is above
// the threshold (2 for the halving resolution '1', else 1).
void TTiff::ConvertSource()
{
    if (FSource == nullptr || FSource->GetFirstPage() == nullptr || LastBlock())
        return;
    if (!StartDocument(FSource->GetPageCount()))
        return;
    unsigned char row[kRowBytes];
    TPageWriter page(*this);
    for (const TPCL_page *source = FSource->GetFirstPage(); source; source = source->Next) {
        if (!page.Begin())
            break;
        const int threshold = source->Header[kResolutionOffset] == kHalvingResolution ? 2 : 1;
        for (const TPCL_row *line = source->FirstRow; line && !page.Full(); line = line->Next) {
            const int advance = ReadInt16(line->Header + kRowAdvanceOffset, kOrderLittleEndian);
            if (advance > threshold)
                for (int i = 0; i < advance && !page.Full(); ++i)
                    page.NextRow();
            const int count = ReadInt16(line->Header + kRowCountOffset, kOrderLittleEndian);
            std::memset(row, 0, kRowBytes);
            std::memcpy(row, line->Data, static_cast<size_t>(count < kRowBytes ? count : kRowBytes));
            page.AddRow(row);
        }
        page.End();
    }
    page.EndDocument();
}
