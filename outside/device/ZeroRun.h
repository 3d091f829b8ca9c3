// The device's zero-run line coding: a byte 00 followed by a count byte k
// stands for k zero bytes (k from 0 to 255); every other byte stands for
// itself. Lines are 216 bytes (1728 dots, one bit a dot).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace standin {

constexpr size_t kLineBytes = 216;
constexpr int kLineDots = 1728;
constexpr size_t kMaxRecordBytes = 255;

// Codes `count` bytes of `line` and appends the code to `out`. Zero runs
// longer than 255 bytes are split into several pairs. Returns the number of
// bytes appended.
size_t EncodeZeroRun(const uint8_t *line, size_t count, std::vector<uint8_t> *out);

// Codes one line for a scan record of at most `limit` bytes (255 on the
// wire). The whole line is coded when it fits. Otherwise its trailing zero
// run is left out first (the reader pads a short line with zero bytes), and
// if that is still too long the line is clipped: the code keeps the longest
// run of whole code units from the start that fits, and the dots after it
// read as white. `clipped`, when given, tells whether dots were lost.
// Returns the number of bytes appended to `out`.
size_t EncodeRecordLine(const uint8_t *line, size_t count, size_t limit,
                        std::vector<uint8_t> *out, bool *clipped = nullptr);

// Streaming decoder: bytes may arrive in pieces of any size (a 00 at the end
// of one piece takes its count from the next). The decoded bytes are
// appended to the output vector given to Feed, up to an optional cap.
class ZeroRunDecoder {
public:
    explicit ZeroRunDecoder(size_t cap = SIZE_MAX) : cap_(cap) {}

    // Decodes `count` bytes and appends the result to `out`; bytes past the
    // cap are counted in Dropped() and not stored.
    void Feed(const uint8_t *code, size_t count, std::vector<uint8_t> *out);

    // True when the last byte fed was a 00 still waiting for its count.
    bool PendingRun() const { return pendingRun_; }
    size_t Dropped() const { return dropped_; }
    void Reset() { pendingRun_ = false; dropped_ = 0; }

private:
    void Append(std::vector<uint8_t> *out, uint8_t value, size_t repeat);

    size_t cap_;
    bool pendingRun_ = false;
    size_t dropped_ = 0;
};

// Decodes one whole record or page at once.
std::vector<uint8_t> DecodeZeroRun(const uint8_t *code, size_t count);

} // namespace standin
