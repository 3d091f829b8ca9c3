#include "Kv8m.h"

#include <cstdint>
#include <cstring>

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

uint64_t Word(const unsigned char *at)
{
    uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

// Words are read and stored in memory order, byte k of the row as bits
// 8k to 8k + 7.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the coder reads rows as little-endian words");

constexpr uint64_t kLowBits = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

// Whether one of the word's eight bytes is zero.
bool HasZeroByte(uint64_t word)
{
    return ((word - kLowBits) & ~word & kHighBits) != 0;
}

// The high bit of each zero byte of the word, exactly.
uint64_t ZeroByteBits(uint64_t word)
{
    constexpr uint64_t kLowSeven = 0x7F7F7F7F7F7F7F7Full;
    return ~(((word & kLowSeven) + kLowSeven) | word | kLowSeven);
}

// Most bytes a row can code to: the pending run (a pair per 255 zero bytes
// and one for the rest), then at most two bytes per data byte (a non-zero
// byte, or a zero byte that starts a run), then the closing pair; and the
// up to eight bytes past the end that storing a span as a word touches.
unsigned long long MostCodedBytes(unsigned long long pending, int count)
{
    return 2 * (pending / kLongestRun + 1) + 2 * static_cast<unsigned long long>(count) + 2 + 8;
}

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

// Codes a row byte by byte, each byte tested against the block's end.
// False when a stop request came before a data byte.
bool TKv8m_Compress::CodeRowNearEnd(const unsigned char *Data, int Count, unsigned long long &Pending)
{
    for (int i = 0; i < Count; ++i) {
        if (FAbort) {
            FAbort = 0;
            return false;
        }
        const unsigned char b = Data[i];
        if (b == 0) {
            ++Pending;
            continue;
        }
        if (Pending > 0) {
            if (Pending > kLongestRun)
                Pending = EmitFullRuns(Pending);
            AddByte(0x00);
            AddByte(static_cast<unsigned char>(Pending));
            Pending = 0;
        }
        AddByte(b);
    }
    return true;
}

// Codes a row that fits the block whatever its bytes are, without testing
// each byte against the block's end. A word of eight zero bytes joins the
// pending run and a word without a zero byte is copied whole; a mixed word
// is taken span by span, each span of non-zero bytes stored as the rest of
// the word and kept as far as it goes (the row's bound allows for the
// bytes beyond). The bytes after the last whole word go byte by byte. A
// stop request is tested before the row and before each of those last
// bytes (false when one came); nothing on this thread sets it meanwhile.
bool TKv8m_Compress::CodeRowInBlock(const unsigned char *Data, int Count, unsigned long long &Pending)
{
    unsigned char *const start = LastBlock() + FUsed;
    unsigned char *out = start;
    unsigned long long pending = Pending;
    auto emitRun = [&] {
        for (; pending > kLongestRun; pending -= kLongestRun) {
            *out++ = 0x00;
            *out++ = 0xFF;
        }
        *out++ = 0x00;
        *out++ = static_cast<unsigned char>(pending);
        pending = 0;
    };

    int i = 0;
    for (; i + 8 <= Count; i += 8) {
        const uint64_t word = Word(Data + i);
        if (word == 0) {
            pending += 8;
        } else if (!HasZeroByte(word)) {
            if (pending > 0)
                emitRun();
            std::memcpy(out, Data + i, 8);
            out += 8;
        } else {
            // High bit of each zero byte, and of each non-zero byte.
            const uint64_t zeros = ZeroByteBits(word);
            const uint64_t others = ~zeros & kHighBits;
            int bit = 0; // of the byte at hand
            while (bit < 64) {
                if ((zeros >> bit) & 0x80) {
                    const uint64_t rest = others >> bit;
                    const int span = rest ? __builtin_ctzll(rest) / 8 * 8 : 64 - bit;
                    pending += static_cast<unsigned long long>(span / 8);
                    bit += span;
                } else {
                    const uint64_t rest = zeros >> bit;
                    const int span = rest ? __builtin_ctzll(rest) / 8 * 8 : 64 - bit;
                    if (pending > 0)
                        emitRun();
                    const uint64_t bytes = word >> bit;
                    std::memcpy(out, &bytes, 8);
                    out += span / 8;
                    bit += span;
                }
            }
        }
    }
    Pending = pending;
    FUsed += static_cast<int>(out - start);
    // The bytes after the last whole word, one at a time.
    return CodeRowNearEnd(Data + i, Count - i, Pending);
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
        // A block holds at most its capacity less one byte.
        const unsigned long long room = static_cast<unsigned long long>(LastBlockCapacity()) - 1;
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
            const bool fits = static_cast<unsigned long long>(FUsed) + MostCodedBytes(pending, count) <= room;
            if (!(fits ? CodeRowInBlock(row->Data, count, pending) : CodeRowNearEnd(row->Data, count, pending)))
                return;
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
