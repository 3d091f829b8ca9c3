// A COM port: the tty that the machine root's link <root>/ports/COMn names,
// held exclusively (an flock on the tty, so that a second opening fails in
// every process, root's included), raw, at low latency where the tty offers
// it (a USB-serial bridge), with the Windows read and write time-out rules of
// COMMTIMEOUTS.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "IoObject.h"
#include "winbase.h"

namespace platform {

class CommPort final : public IoObject {
public:
    // Opens the port whose link is named `name` (any case). Null with the last
    // error set: ERROR_FILE_NOT_FOUND for a missing link, a link to nothing or
    // to something that is not a tty; ERROR_ACCESS_DENIED while it is held.
    static std::shared_ptr<CommPort> Open(const std::string &name, DWORD access);

    CommPort(int fd, const DCB &state);
    ~CommPort() override;

    // ReadFile: returns when `count` bytes came, when the interval time-out
    // passed after a byte, or when the total time-out passed. A port whose
    // device went away fails with ERROR_BAD_COMMAND once the read's time-out
    // has been slept out.
    BOOL Read(void *buffer, DWORD count, DWORD *done) override;
    // WriteFile: blocks until everything is written, or until the total write
    // time-out when one is set; ERROR_BAD_COMMAND once the device is gone.
    BOOL Write(const void *buffer, DWORD count, DWORD *done) override;
    BOOL Flush() override;

    BOOL SetState(const DCB &dcb);
    DCB State();
    void SetMask(DWORD mask);
    DWORD Mask();
    void SetTimeouts(const COMMTIMEOUTS &timeouts);
    COMMTIMEOUTS Timeouts();
    BOOL Purge(DWORD flags);

private:
    BOOL FailGone(int64_t deadline);

    int fd_;
    std::mutex lock_;
    DCB state_;
    DWORD mask_ = 0;
    COMMTIMEOUTS timeouts_{};
    std::atomic<bool> gone_{false};
};

} // namespace platform
