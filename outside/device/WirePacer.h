// Paces the stand-in like the real wire: at 19200 baud and 10 bits a byte
// each byte takes 1/1920 s in either direction. Bytes the host writes reach
// the pseudo-terminal at once, so the device counts their wire time before it
// acts on them; bytes the device sends leave no faster than the wire would
// carry them. Unpaced, both sides are immediate.
#pragma once

#include <cstddef>
#include <cstdint>

namespace device {

int64_t NowNs(); // monotonic clock

class WirePacer {
public:
    static constexpr int64_t kByteNs = 520834; // 1 s / 1920, rounded up

    void SetPaced(bool paced) { paced_ = paced; }
    bool Paced() const { return paced_; }

    // Host bytes read at `now`: the time at which the last of them would
    // have arrived over the wire (the wire being busy with earlier bytes
    // until then).
    int64_t ReceiveDone(int64_t now, size_t count);

    // Device bytes: call Queued when bytes enter an empty send queue, then
    // Due tells how many of the `queued` bytes may be written at `now`, Sent
    // records those written, and NextDue is when the next one may go.
    void Queued(int64_t now);
    size_t Due(int64_t now, size_t queued) const;
    void Sent(size_t count);
    int64_t NextDue() const { return sendFree_ + kByteNs; }

private:
    bool paced_ = false;
    int64_t receiveFree_ = 0;
    int64_t sendFree_ = 0;
};

} // namespace device
