#include "Kv8m.h"

#include "Extra.h"
#include "Pcl_parser.h"

namespace {

constexpr int kPageBlockSize = 712800; // 3,300 lines of 216 bytes
constexpr int kLineBytes = 216;
constexpr unsigned long long kLongestRun = 255;
constexpr int kLeastPageSize = 2500;
constexpr int kResolutionOffset = 5;
constexpr unsigned char kHalvingResolution = '1';
constexpr int kRowAdvanceOffset = 3;
constexpr int kRowCountOffset = 8;

} // namespace

TKv8m_Compress::TKv8m_Compress(TPCL_file *Source) : TConvert(Source)
{
}

TKv8m_Compress::~TKv8m_Compress() = default;

// Emits the full runs of 255 of a pending count as pairs 00 FF and returns
// the rest (1 to 255). Once the block is full nothing more of this page can
// be stored, so a long run stops there instead of dropping pair after pair
// (what it returns then is dropped too).
unsigned long long TKv8m_Compress::EmitFullRuns(unsigned long long Pending)
{
    while (Pending > kLongestRun) {
        AddByte(0x00);
        AddByte(0xFF);
        Pending -= kLongestRun;
        if (FUsed + 1 >= LastBlockCapacity())
            break;
    }
    return Pending;
}

void TKv8m_Compress::Convert()
{
    TPCL_page *page = FSource ? FSource->GetFirstPage() : nullptr;
    FAbort = 0;
    if (LastBlock())
        return;

    for (; page && FAbort == 0; page = page->Next) {
        // Without a block nothing of this page could be stored: stop here
        // rather than pad a page that never grows.
        if (!AllocBlock(kPageBlockSize))
            break;
        // Zero bytes not yet emitted: blank lines and zero data bytes join
        // into one run that goes out before the next non-zero byte.
        unsigned long long pending = 0;
        const bool halving = page->Header[kResolutionOffset] == kHalvingResolution;
        const int threshold = halving ? 2 : 1;

        for (TPCL_row *row = page->FirstRow; row && FAbort == 0; row = row->Next) {
            const int advance = ReadInt16(row->Header + kRowAdvanceOffset, kOrderLittleEndian);
            if (advance > threshold)
                pending += static_cast<unsigned long long>(kLineBytes) * (halving ? advance / 2 : advance);

            const int count = ReadInt16(row->Header + kRowCountOffset, kOrderLittleEndian);
            const unsigned char *data = row->Data;
            for (int i = 0; i < count; ++i) {
                if (FAbort) {
                    FAbort = 0;
                    return;
                }
                const unsigned char b = data[i];
                if (b == 0) {
                    ++pending;
                    continue;
                }
                if (pending > 0) {
                    if (pending > kLongestRun)
                        pending = EmitFullRuns(pending);
                    AddByte(0x00);
                    AddByte(static_cast<unsigned char>(pending));
                    pending = 0;
                }
                AddByte(b);
            }
            // The rest of the line as a run; for a row longer than a line
            // this is the low 8 bits of the negative remainder.
            AddByte(0x00);
            AddByte(static_cast<unsigned char>((kLineBytes - count) & 0xFF));
        }

        // Zero bytes pending at the page's end are left out. Short pages are
        // padded with zero-length runs, which add no dots.
        while (FUsed < kLeastPageSize) {
            const int before = FUsed;
            for (int i = 0; i < kLineBytes; ++i)
                AddByte(0x00);
            if (FUsed == before)
                break;
        }
        SetLastSize(FUsed);
    }
    FAbort = 0;
}
