#include "WirePacer.h"

#include <ctime>

namespace device {

int64_t NowNs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int64_t WirePacer::ReceiveDone(int64_t now, size_t count)
{
    if (!paced_)
        return now;
    if (receiveFree_ < now)
        receiveFree_ = now;
    receiveFree_ += static_cast<int64_t>(count) * kByteNs;
    return receiveFree_;
}

void WirePacer::Queued(int64_t now)
{
    if (sendFree_ < now)
        sendFree_ = now;
}

size_t WirePacer::Due(int64_t now, size_t queued) const
{
    if (!paced_)
        return queued;
    if (now < sendFree_ + kByteNs)
        return 0;
    size_t due = static_cast<size_t>((now - sendFree_) / kByteNs);
    return due < queued ? due : queued;
}

void WirePacer::Sent(size_t count)
{
    if (paced_)
        sendFree_ += static_cast<int64_t>(count) * kByteNs;
}

} // namespace device
