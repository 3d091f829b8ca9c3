#include "ZeroRun.h"

namespace standin {
namespace {

// Length of the code unit that starts at line[i]: a literal byte, or a zero
// run of up to 255 bytes coded as a pair. `covered` receives the line bytes
// the unit stands for.
size_t UnitAt(const uint8_t *line, size_t count, size_t i, size_t *covered)
{
    if (line[i] != 0) {
        *covered = 1;
        return 1;
    }
    size_t run = 0;
    while (i + run < count && line[i + run] == 0 && run < 255)
        ++run;
    *covered = run;
    return 2;
}

void AppendUnit(const uint8_t *line, size_t i, size_t covered, std::vector<uint8_t> *out)
{
    if (line[i] != 0) {
        out->push_back(line[i]);
    } else {
        out->push_back(0);
        out->push_back(static_cast<uint8_t>(covered));
    }
}

} // namespace

size_t EncodeZeroRun(const uint8_t *line, size_t count, std::vector<uint8_t> *out)
{
    const size_t start = out->size();
    size_t i = 0;
    while (i < count) {
        size_t covered = 0;
        UnitAt(line, count, i, &covered);
        AppendUnit(line, i, covered, out);
        i += covered;
    }
    return out->size() - start;
}

size_t EncodeRecordLine(const uint8_t *line, size_t count, size_t limit,
                        std::vector<uint8_t> *out, bool *clipped)
{
    if (clipped)
        *clipped = false;
    // Code length of the whole line, and of the line without its trailing
    // zero run.
    size_t whole = 0, significant = 0, end = 0;
    for (size_t i = 0; i < count;) {
        size_t covered = 0;
        whole += UnitAt(line, count, i, &covered);
        if (line[i] != 0) {
            significant = whole;
            end = i + 1;
        }
        i += covered;
    }
    if (whole <= limit)
        return EncodeZeroRun(line, count, out);
    if (significant <= limit)
        return EncodeZeroRun(line, end, out);

    const size_t start = out->size();
    size_t used = 0;
    for (size_t i = 0; i < end;) {
        size_t covered = 0;
        size_t length = UnitAt(line, end, i, &covered);
        if (used + length > limit) {
            if (clipped)
                *clipped = true;
            break;
        }
        AppendUnit(line, i, covered, out);
        used += length;
        i += covered;
    }
    return out->size() - start;
}

void ZeroRunDecoder::Append(std::vector<uint8_t> *out, uint8_t value, size_t repeat)
{
    size_t room = out->size() < cap_ ? cap_ - out->size() : 0;
    size_t kept = repeat < room ? repeat : room;
    out->insert(out->end(), kept, value);
    dropped_ += repeat - kept;
}

void ZeroRunDecoder::Feed(const uint8_t *code, size_t count, std::vector<uint8_t> *out)
{
    size_t i = 0;
    while (i < count) {
        if (pendingRun_) {
            Append(out, 0, code[i]);
            pendingRun_ = false;
            ++i;
            continue;
        }
        if (code[i] == 0) {
            pendingRun_ = true;
            ++i;
            continue;
        }
        // A stretch of literal bytes goes in with one insert.
        size_t first = i;
        while (i < count && code[i] != 0)
            ++i;
        size_t room = out->size() < cap_ ? cap_ - out->size() : 0;
        size_t length = i - first;
        size_t kept = length < room ? length : room;
        out->insert(out->end(), code + first, code + first + kept);
        dropped_ += length - kept;
    }
}

std::vector<uint8_t> DecodeZeroRun(const uint8_t *code, size_t count)
{
    std::vector<uint8_t> out;
    out.reserve(count * 2);
    ZeroRunDecoder decoder;
    decoder.Feed(code, count, &out);
    return out;
}

} // namespace standin
