#include "CommPort.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include "Clock.h"
#include "CommSettings.h"
#include "ErrorCodes.h"
#include "LowLatency.h"
#include "PathResolution.h"
#include "machine/MachineRoot.h"
#include "winerror.h"

namespace platform {
namespace {

// The Windows code a USB-serial port gives once its adapter is pulled.
constexpr DWORD kDeviceGone = ERROR_BAD_COMMAND;

constexpr int64_t kNoDeadline = std::numeric_limits<int64_t>::max();

DWORD OpenError(int error)
{
    switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case EIO: return ERROR_FILE_NOT_FOUND;
    case EBUSY:
    case EACCES:
    case EPERM: return ERROR_ACCESS_DENIED;
    default: return ErrorFromErrno(error);
    }
}

// Waits for `events` on `fd` until `deadline`; the poll result (0 when the
// deadline passed), with the events seen in *revents.
int WaitFor(int fd, short events, int64_t deadline, short *revents)
{
    for (;;) {
        pollfd entry{fd, events, 0};
        timespec wait;
        timespec *limit = nullptr;
        if (deadline != kNoDeadline) {
            // A deadline already passed still looks once, so a hang-up shows.
            const int64_t left = std::max<int64_t>(0, deadline - MonotonicNanos());
            wait.tv_sec = static_cast<time_t>(left / 1000000000);
            wait.tv_nsec = static_cast<long>(left % 1000000000);
            limit = &wait;
        }
        const int result = ppoll(&entry, 1, limit, nullptr);
        if (result < 0 && errno == EINTR)
            continue;
        *revents = entry.revents;
        return result;
    }
}

// Waits until `fd` is ready for `events`, as Read and Write do between
// transfers. False when the call is to end now with *outcome: TRUE when the
// deadline passed (what was moved so far counts), FALSE with the last error
// set when the wait itself failed.
bool AwaitReady(int fd, short events, int64_t deadline, short *revents, BOOL *outcome)
{
    const int ready = WaitFor(fd, events, deadline, revents);
    if (ready > 0)
        return true;
    if (ready < 0)
        SetLastError(ErrorFromErrno(errno));
    *outcome = ready == 0 ? TRUE : FALSE;
    return false;
}

// The code for a failed set-up call on the tty: EIO once the device is gone.
DWORD SetUpError(int error) { return error == EIO ? kDeviceGone : ErrorFromErrno(error); }

} // namespace

std::shared_ptr<CommPort> CommPort::Open(const std::string &name, DWORD access)
{
    const std::string folder = machine::PortsFolder();
    const std::string link = FindEntry(folder, name);
    if (link.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    const bool canRead = access & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA);
    const bool canWrite = access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA);
    int flags = O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
    flags |= canRead == canWrite ? O_RDWR : canWrite ? O_WRONLY : O_RDONLY;
    int fd;
    do {
        fd = open((folder + "/" + link).c_str(), flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        SetLastError(OpenError(errno));
        return nullptr;
    }
    termios tio;
    if (!isatty(fd) || tcgetattr(fd, &tio) != 0) {
        close(fd);
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    // The lock alone decides, for root too, and goes with the holder however
    // it ends. (TIOCEXCL would outlive a holder that dies with the port open
    // and keep every other user out of it for good.)
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    MakeRaw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    RequestLowLatency(fd);
    // As on Windows, what came while the port was closed is not delivered.
    tcflush(fd, TCIOFLUSH);
    SetLastError(ERROR_SUCCESS);
    return std::make_shared<CommPort>(fd, TermiosToDcb(tio));
}

CommPort::CommPort(int fd, const DCB &state) : fd_(fd), state_(state) {}

CommPort::~CommPort()
{
    close(fd_);
}

BOOL CommPort::FailGone(int64_t deadline)
{
    gone_ = true;
    if (deadline != kNoDeadline)
        SleepUntil(deadline);
    SetLastError(kDeviceGone);
    return FALSE;
}

BOOL CommPort::Read(void *buffer, DWORD count, DWORD *done)
{
    *done = 0;
    const COMMTIMEOUTS t = Timeouts();
    const int64_t start = MonotonicNanos();

    // MAXDWORD interval with zero totals: return what is there at once.
    const bool immediate = t.ReadIntervalTimeout == MAXDWORD &&
                           t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0;
    // MAXDWORD interval and multiplier: wait up to the constant for the first byte.
    const bool firstByte = t.ReadIntervalTimeout == MAXDWORD &&
                           t.ReadTotalTimeoutMultiplier == MAXDWORD &&
                           t.ReadTotalTimeoutConstant != 0 && t.ReadTotalTimeoutConstant != MAXDWORD;
    int64_t total = kNoDeadline;
    if (immediate)
        total = start;
    else if (firstByte)
        total = DeadlineAfter(start, t.ReadTotalTimeoutConstant);
    else if (t.ReadTotalTimeoutMultiplier != 0 || t.ReadTotalTimeoutConstant != 0)
        total = DeadlineAfter(start, static_cast<uint64_t>(t.ReadTotalTimeoutMultiplier) * count +
                                         t.ReadTotalTimeoutConstant);
    const bool useInterval = !firstByte && !immediate && t.ReadIntervalTimeout != 0 &&
                             t.ReadIntervalTimeout != MAXDWORD;

    if (count == 0)
        return TRUE;
    if (gone_)
        return FailGone(immediate ? start : total);

    char *bytes = static_cast<char *>(buffer);
    int64_t deadline = total;
    bool hangup = false;
    for (;;) {
        const ssize_t n = read(fd_, bytes + *done, count - *done);
        if (n > 0) {
            *done += static_cast<DWORD>(n);
            if (*done == count || firstByte)
                return TRUE;
            if (useInterval)
                deadline = std::min(total, DeadlineAfter(MonotonicNanos(), t.ReadIntervalTimeout));
            hangup = false;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if ((n < 0 && errno != EAGAIN) || (n == 0 && hangup)) {
            // The device went away. Bytes that came before are still delivered.
            if (*done > 0)
                return TRUE;
            return FailGone(deadline);
        }
        short revents = 0;
        BOOL outcome;
        if (!AwaitReady(fd_, POLLIN, deadline, &revents, &outcome))
            return outcome; // the time-out (what came so far counts) or a failed wait
        hangup = revents & (POLLHUP | POLLERR | POLLNVAL);
    }
}

BOOL CommPort::Write(const void *buffer, DWORD count, DWORD *done)
{
    *done = 0;
    if (gone_)
        return FailGone(kNoDeadline);
    const COMMTIMEOUTS t = Timeouts();
    int64_t deadline = kNoDeadline;
    if (t.WriteTotalTimeoutMultiplier != 0 || t.WriteTotalTimeoutConstant != 0)
        deadline = DeadlineAfter(MonotonicNanos(), static_cast<uint64_t>(t.WriteTotalTimeoutMultiplier) * count +
                                                       t.WriteTotalTimeoutConstant);
    const char *bytes = static_cast<const char *>(buffer);
    while (*done < count) {
        const ssize_t n = write(fd_, bytes + *done, count - *done);
        if (n > 0) {
            *done += static_cast<DWORD>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            gone_ = errno == EIO || errno == ENXIO || errno == ENODEV;
            SetLastError(gone_ ? kDeviceGone : ErrorFromErrno(errno));
            return FALSE;
        }
        short revents = 0;
        BOOL outcome;
        if (!AwaitReady(fd_, POLLOUT, deadline, &revents, &outcome))
            return outcome; // the time-out (what went so far counts) or a failed wait
        if ((revents & (POLLHUP | POLLERR | POLLNVAL)) && !(revents & POLLOUT))
            return FailGone(kNoDeadline);
    }
    return TRUE;
}

BOOL CommPort::Flush()
{
    if (gone_)
        return FailGone(kNoDeadline);
    while (tcdrain(fd_) != 0) {
        if (errno != EINTR) {
            SetLastError(ErrorFromErrno(errno));
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CommPort::SetState(const DCB &dcb)
{
    std::lock_guard<std::mutex> hold(lock_);
    termios tio;
    if (tcgetattr(fd_, &tio) != 0) {
        SetLastError(SetUpError(errno));
        return FALSE;
    }
    DWORD error;
    if (!DcbToTermios(dcb, &tio, &error)) {
        SetLastError(error);
        return FALSE;
    }
    if (tcsetattr(fd_, TCSANOW, &tio) != 0) {
        SetLastError(SetUpError(errno));
        return FALSE;
    }
    // Kept whole: a pseudo-terminal ignores parity and byte size, and the
    // caller reads back what it set, as from a real port.
    state_ = dcb;
    state_.DCBlength = sizeof(DCB);
    return TRUE;
}

DCB CommPort::State()
{
    std::lock_guard<std::mutex> hold(lock_);
    return state_;
}

void CommPort::SetMask(DWORD mask)
{
    std::lock_guard<std::mutex> hold(lock_);
    mask_ = mask;
}

DWORD CommPort::Mask()
{
    std::lock_guard<std::mutex> hold(lock_);
    return mask_;
}

void CommPort::SetTimeouts(const COMMTIMEOUTS &timeouts)
{
    std::lock_guard<std::mutex> hold(lock_);
    timeouts_ = timeouts;
}

COMMTIMEOUTS CommPort::Timeouts()
{
    std::lock_guard<std::mutex> hold(lock_);
    return timeouts_;
}

BOOL CommPort::Purge(DWORD flags)
{
    if (flags & ~(PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if ((flags & PURGE_RXCLEAR) && (flags & PURGE_TXCLEAR))
        tcflush(fd_, TCIOFLUSH);
    else if (flags & PURGE_RXCLEAR)
        tcflush(fd_, TCIFLUSH);
    else if (flags & PURGE_TXCLEAR)
        tcflush(fd_, TCOFLUSH);
    return TRUE;
}

} // namespace platform
