// Splits the host's byte stream into frames. Every frame begins with FE and
// a command byte; the command fixes the length of the rest:
//   F4 status query   FE F4 + 3 bytes
//   F0 job start      FE F0 + 6 bytes (03 a b c 00 00)
//   F3 data frame     FE F3 n + n bytes + 2 bytes (n is D8, 216)
//   F5 end of page    FE F5 + 3 bytes
//   F7 scan           FE F7 + 3 bytes
// Bytes outside a frame, and an FE followed by an unknown command, are
// reported as unknown; parsing starts again at the next FE.
#pragma once

#include <cstddef>
#include <cstdint>

namespace device {

class FrameSink {
public:
    // `body` is everything after FE and the command byte.
    virtual void OnFrame(uint8_t command, const uint8_t *body, size_t length) = 0;
    // A run of `total` unknown bytes, of which the first `shown` are given.
    virtual void OnUnknown(const uint8_t *bytes, size_t shown, size_t total) = 0;

protected:
    ~FrameSink() = default;
};

class FrameParser {
public:
    void Feed(const uint8_t *bytes, size_t count, FrameSink *sink);

    bool MidFrame() const { return stage_ != Stage::Lead; }
    // Drops a frame left incomplete; returns how many of its bytes had come.
    size_t Abandon();

private:
    enum class Stage { Lead, Command, Body };

    void FlushUnknown(FrameSink *sink);
    void NoteUnknown(uint8_t byte);

    Stage stage_ = Stage::Lead;
    uint8_t command_ = 0;
    size_t need_ = 0;     // body bytes the frame has in all (known once set)
    bool dataLength_ = false; // data frame: length byte still to come
    uint8_t body_[3 + 255 + 2] = {};
    size_t have_ = 0;
    uint8_t unknown_[64] = {};
    size_t unknownCount_ = 0;
    size_t unknownTotal_ = 0;
};

} // namespace device
