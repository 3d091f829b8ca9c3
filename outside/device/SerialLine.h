// The device's side of the wire: the pseudo-terminal's master with a send
// queue and a receive queue, both paced by a WirePacer. Non-blocking
// throughout; the event loop polls Fd() for the events WantedEvents() names
// and wakes at WakeAt() at the latest.
#pragma once

#include "ByteQueue.h"
#include "WirePacer.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace device {

class SerialLine {
public:
    explicit SerialLine(int masterFd) : fd_(masterFd) {}

    int Fd() const { return fd_; }
    WirePacer &Pacer() { return pacer_; }

    // Queues bytes for the host.
    void Send(const uint8_t *bytes, size_t count, int64_t now);
    void Send(const std::vector<uint8_t> &bytes, int64_t now) { Send(bytes.data(), bytes.size(), now); }
    size_t Pending() const { return send_.Size(); }
    void DropPending() { send_.Clear(); }

    // Writes what the wire allows now; returns false on a write error other
    // than a full buffer.
    bool Flush(int64_t now);

    // Reads what the host wrote; returns false when the master failed.
    bool ReadAvailable(int64_t now);
    // Bytes whose wire time is over, at most `max`; Consume() after use.
    size_t Due(int64_t now, const uint8_t **bytes);
    void Consume(size_t count);
    bool ReceivePending() const { return !receive_.Empty(); }

    short WantedEvents(int64_t now) const;
    // Earliest time a timer must wake the loop (INT64_MAX: none).
    int64_t WakeAt() const;

private:
    struct Chunk {
        size_t end;   // receive-queue offset just past the chunk
        int64_t due;  // when its last byte has crossed the wire
    };

    int fd_;
    WirePacer pacer_;
    ByteQueue send_;
    bool sendBlocked_ = false;
    ByteQueue receive_;
    std::deque<Chunk> chunks_;
    size_t consumed_ = 0; // bytes of the receive queue taken so far, as chunk offsets count
};

} // namespace device
