#include "Pcl_parser.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "Extra.h"
#include "MemoryStream.h"

namespace {

enum : int {
    kNone = 0,
    kDocumentStart = 1,
    kPageHeader = 2,
    kRow = 3,
    kPageEnd = 4,
    kJobEnd = 5,
    kPageEndDocumentStart = 6,
};

struct TPattern {
    int Code;
    int Length;
    unsigned char Bytes[10]; // 00 matches any byte
};

// Tried in this order; at most one can match at an offset.
constexpr TPattern kPatterns[] = {
    {kDocumentStart, 6, {0x1B, 0x42, 0x44, 0x1B, 0x42, 0x50}},
    {kPageHeader, 9, {0x1B, 0x4F, 0x50, 0x1B, 0x52, 0x00, 0x1B, 0x50, 0x00}},
    {kRow, 10, {0x1B, 0x00, 0x4D, 0x00, 0x00, 0x1B, 0x53, 0x42, 0x00, 0x00}},
    {kPageEnd, 6, {0x1B, 0x45, 0x50, 0x1B, 0x42, 0x50}},
    {kPageEndDocumentStart, 9, {0x1B, 0x45, 0x50, 0x1B, 0x42, 0x44, 0x1B, 0x42, 0x50}},
    {kJobEnd, 6, {0x1B, 0x45, 0x50, 0x1B, 0x45, 0x44}},
};

constexpr int kRowHeaderSize = 10;
constexpr int kRowCountOffset = 8;
constexpr int kPageHeaderSize = 9;
constexpr int kPageEndSize = 6;
constexpr int kPageEndDocumentStartSize = 9;
constexpr int kDocumentStartSize = 6;
constexpr int kCopiesOffset = 7;

bool IsSpace(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

TPCL_file::TPCL_file(TMemoryStream *Stream)
    : FData(nullptr), FSize(0), FPageCount(0), FCopies(0), FBegin(nullptr),
      FFirstPage(nullptr), FEnd(nullptr)
{
    if (!Stream)
        return;
    long long size = Stream->Size();
    if (size <= 0 || size > INT_MAX)
        return;
    FData = static_cast<unsigned char *>(std::malloc(static_cast<size_t>(size)));
    if (!FData)
        return;
    FSize = static_cast<int>(size);
    std::memcpy(FData, Stream->Memory(), static_cast<size_t>(size));
}

TPCL_file::~TPCL_file()
{
    Clear();
}

void TPCL_file::FreePages()
{
    while (FFirstPage) {
        TPCL_page *page = FFirstPage;
        FFirstPage = page->Next;
        while (page->FirstRow) {
            TPCL_row *row = page->FirstRow;
            page->FirstRow = row->Next;
            delete row;
        }
        delete page;
    }
}

void TPCL_file::Clear()
{
    FreePages();
    std::free(FData);
    FData = nullptr;
    FBegin = nullptr;
    FEnd = nullptr;
}

int TPCL_file::Match(int Offset) const
{
    if (!FData || Offset < 0)
        return kNone;
    const unsigned char *at = FData + Offset;
    for (const TPattern &pattern : kPatterns) {
        if (Offset > FSize - pattern.Length)
            continue;
        int i = 0;
        while (i < pattern.Length && (pattern.Bytes[i] == 0 || pattern.Bytes[i] == at[i]))
            ++i;
        if (i == pattern.Length)
            return pattern.Code;
    }
    return kNone;
}

bool TPCL_file::Begin()
{
    if (Match(0) != kDocumentStart)
        return false;
    FBegin = FData;
    return true;
}

int TPCL_file::ReadWord(const unsigned char *Where) const
{
    return ReadInt16(Where, kOrderLittleEndian);
}

// The copy count, read as atol reads decimal text, but never past the last
// job byte: the end of the bytes ends the number.
int TPCL_file::ReadNumber(const unsigned char *Where) const
{
    const unsigned char *end = FData + FSize;
    const unsigned char *p = Where;
    if (p >= end)
        return 0;
    while (p < end && IsSpace(*p))
        ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    long long value = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        if (value <= INT_MAX)
            value = value * 10 + (*p - '0');
        ++p;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

// The one pass over the job. Returns 5 when it met the job end, 0 when a
// record was not recognised, or when a record came where it has no meaning:
// a row or page end before the first page header, or a document start
// inside the job.
int TPCL_file::Scan()
{
    long long offset = kDocumentStartSize;
    TPCL_page *page = FFirstPage;
    TPCL_row *lastRow = nullptr;
    int pageCounter = 0;
    int rowCounter = 0;

    int code = Match(static_cast<int>(offset));
    while (code != kNone && !FEnd) {
        unsigned char *here = FData + offset;
        switch (code) {
        case kPageHeader: {
            TPCL_page *next = new (std::nothrow) TPCL_page{pageCounter, 0, here, nullptr, nullptr, nullptr};
            if (!next) {
                code = kNone;
                break;
            }
            if (page)
                page->Next = next;
            else
                FFirstPage = next;
            page = next;
            lastRow = nullptr;
            rowCounter = 0;
            ++pageCounter;
            offset += kPageHeaderSize;
            break;
        }
        case kRow: {
            TPCL_row *row = page ? new (std::nothrow) TPCL_row{rowCounter, here, here + kRowHeaderSize, nullptr}
                                 : nullptr;
            if (!row) {
                code = kNone;
                break;
            }
            if (lastRow)
                lastRow->Next = row;
            else
                page->FirstRow = row;
            lastRow = row;
            offset += kRowHeaderSize + ReadWord(here + kRowCountOffset);
            ++rowCounter;
            break;
        }
        case kPageEnd:
        case kPageEndDocumentStart:
            if (!page) {
                code = kNone;
                break;
            }
            page->End = here;
            page->RowCount = rowCounter;
            offset += code == kPageEnd ? kPageEndSize : kPageEndDocumentStartSize;
            break;
        case kJobEnd: {
            FEnd = here;
            // A count that would begin past the last byte reads as none.
            int copies = ReadNumber(offset + kCopiesOffset <= FSize ? here + kCopiesOffset : FData + FSize);
            FCopies = copies == 0 ? 1 : copies;
            break;
        }
        default: // a document start inside the job
            code = kNone;
            break;
        }
        if (code == kNone || FEnd)
            break;
        // A row whose data runs past the end leaves the offset beyond the
        // bytes, where no record can match.
        code = offset <= FSize ? Match(static_cast<int>(offset)) : kNone;
    }

    if (page) {
        FPageCount = pageCounter;
        page->RowCount = rowCounter;
    }
    return code;
}

int TPCL_file::Parse()
{
    if (FBegin)
        return 0;
    if (!Begin()) {
        std::free(FData);
        FData = nullptr;
        return -1;
    }
    if (Scan() == kNone) {
        FreePages();
        std::free(FData);
        FData = nullptr;
        // Forget the document start too: a second Parse must not report
        // success over bytes that are gone.
        FBegin = nullptr;
        FEnd = nullptr;
        return -1;
    }
    return 0;
}
