#include "SerialLine.h"

#include <cerrno>
#include <climits>
#include <poll.h>
#include <unistd.h>

namespace device {

void SerialLine::Send(const uint8_t *bytes, size_t count, int64_t now)
{
    if (count == 0)
        return;
    if (send_.Empty())
        pacer_.Queued(now);
    send_.Append(bytes, count);
}

bool SerialLine::Flush(int64_t now)
{
    while (!send_.Empty()) {
        size_t due = pacer_.Due(now, send_.Size());
        if (due == 0)
            return true;
        ssize_t written = write(fd_, send_.Front(), due);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                sendBlocked_ = true;
                return true;
            }
            return false;
        }
        sendBlocked_ = false;
        send_.Consume(static_cast<size_t>(written));
        pacer_.Sent(static_cast<size_t>(written));
        if (static_cast<size_t>(written) < due) {
            sendBlocked_ = true;
            return true;
        }
    }
    sendBlocked_ = false;
    return true;
}

bool SerialLine::ReadAvailable(int64_t now)
{
    uint8_t chunk[4096];
    for (;;) {
        ssize_t got = read(fd_, chunk, sizeof chunk);
        if (got > 0) {
            receive_.Append(chunk, static_cast<size_t>(got));
            chunks_.push_back({consumed_ + receive_.Size(), pacer_.ReceiveDone(now, static_cast<size_t>(got))});
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        // 0 or an error (EIO: no slave open) both mean nothing to read now;
        // the device holds a slave itself, so neither should happen.
        return got == 0;
    }
}

size_t SerialLine::Due(int64_t now, const uint8_t **bytes)
{
    *bytes = receive_.Front();
    size_t end = consumed_;
    for (const Chunk &chunk : chunks_) {
        if (chunk.due > now)
            break;
        end = chunk.end;
    }
    return end - consumed_;
}

void SerialLine::Consume(size_t count)
{
    receive_.Consume(count);
    consumed_ += count;
    while (!chunks_.empty() && chunks_.front().end <= consumed_)
        chunks_.pop_front();
}

short SerialLine::WantedEvents(int64_t now) const
{
    short events = POLLIN;
    if (!send_.Empty() && (sendBlocked_ || pacer_.Due(now, send_.Size()) > 0))
        events |= POLLOUT;
    return events;
}

int64_t SerialLine::WakeAt() const
{
    int64_t wake = INT64_MAX;
    if (!send_.Empty() && !sendBlocked_ && pacer_.Paced())
        wake = pacer_.NextDue();
    if (!chunks_.empty() && chunks_.front().due < wake)
        wake = chunks_.front().due;
    return wake;
}

} // namespace device
