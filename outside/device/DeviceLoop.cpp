#include "DeviceLoop.h"

#include <cerrno>
#include <climits>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace device {

bool DeviceLoop::Run()
{
    std::vector<pollfd> fds;
    int64_t lastFeed = NowNs();
    auto handle = [this](const std::string &line) { return commands_.Run(line); };

    while (!commands_.QuitRequested()) {
        int64_t now = NowNs();
        model_.PumpScan(kScanAhead, now);
        if (!line_.Flush(now)) {
            log_.Line("wire-error write");
            return false;
        }
        if (line_.Pending() == 0)
            model_.OnSendDrained();

        fds.clear();
        fds.push_back({signalFd_, POLLIN, 0});
        fds.push_back({line_.Fd(), line_.WantedEvents(now), 0});
        control_.AddPollFds(&fds);

        int64_t wake = line_.WakeAt();
        if (parser_.MidFrame() && lastFeed + kIncompleteGapNs < wake)
            wake = lastFeed + kIncompleteGapNs;
        if (model_.Scanning() && line_.Pending() < kScanAhead)
            wake = now;
        int timeout = -1;
        if (wake != INT64_MAX) {
            int64_t left = wake - now;
            timeout = left <= 0 ? 0 : static_cast<int>((left + 999999) / 1000000);
        }
        int ready = poll(fds.data(), fds.size(), timeout);
        if (ready < 0 && errno != EINTR) {
            log_.Line("wire-error poll");
            return false;
        }
        if (ready < 0)
            continue;

        if (fds[0].revents & POLLIN) {
            char drained[16];
            while (read(signalFd_, drained, sizeof drained) > 0) {
            }
            log_.Line("signal");
            return true;
        }

        now = NowNs();
        short wire = fds[1].revents;
        if (wire & POLLIN) {
            if (!line_.ReadAvailable(now)) {
                log_.Line("wire-error read");
                return false;
            }
        } else if (wire & (POLLHUP | POLLERR | POLLNVAL)) {
            // The device holds a slave itself, so this would be a broken pty;
            // polling on would spin.
            log_.Line("wire-error hangup");
            return false;
        }
        const uint8_t *bytes = nullptr;
        size_t due = line_.Due(now, &bytes);
        if (due > 0) {
            parser_.Feed(bytes, due, &model_);
            line_.Consume(due);
            lastFeed = now;
        } else if (parser_.MidFrame() && now - lastFeed >= kIncompleteGapNs) {
            model_.OnIncompleteFrame(parser_.Abandon());
        }

        control_.Service(fds.data() + 2, fds.size() - 2, handle);
    }
    return true;
}

} // namespace device
