#include "PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "TestClock.h"
#include "machine/MachineRoot.h"

namespace testsupport {

Bytes ReadWithin(int fd, size_t count, int timeoutMs)
{
    Bytes got;
    const int64_t deadline = MonotonicMs() + timeoutMs;
    while (got.size() < count) {
        const int left = RemainingMs(deadline);
        if (left <= 0)
            break;
        pollfd entry{fd, POLLIN, 0};
        const int ready = poll(&entry, 1, left);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        unsigned char buffer[4096];
        const size_t want = count - got.size() < sizeof buffer ? count - got.size() : sizeof buffer;
        const ssize_t n = read(fd, buffer, want);
        if (n > 0)
            got.insert(got.end(), buffer, buffer + n);
        else if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
    }
    return got;
}

Bytes ReadWaiting(int fd)
{
    Bytes got;
    for (;;) {
        pollfd entry{fd, POLLIN, 0};
        if (poll(&entry, 1, 0) <= 0)
            return got;
        unsigned char buffer[4096];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return got;
        got.insert(got.end(), buffer, buffer + n);
    }
}

bool WriteAll(int fd, const void *data, size_t size)
{
    const unsigned char *bytes = static_cast<const unsigned char *>(data);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, bytes + done, size - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd entry{fd, POLLOUT, 0};
            poll(&entry, 1, 1000);
        } else if (n == 0 || errno != EINTR) {
            return false;
        }
    }
    return true;
}

bool MakeRaw(int fd)
{
    termios settings;
    if (tcgetattr(fd, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

PseudoTerminal::PseudoTerminal(const std::string &portName, SlaveHold hold)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return;
    const char *slave = nullptr;
    if (grantpt(master) != 0 || unlockpt(master) != 0 || (slave = ptsname(master)) == nullptr) {
        close(master);
        return;
    }
    slave_ = slave;
    if (hold == SlaveHold::Held) {
        slaveHold_ = open(slave_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slaveHold_ < 0) {
            close(master);
            return;
        }
        MakeRaw(slaveHold_);
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    if (!portName.empty()) {
        machine::RootPath();
        const std::string link = machine::PortLink(portName);
        unlink(link.c_str());
        if (symlink(slave_.c_str(), link.c_str()) != 0) {
            close(master);
            return;
        }
        link_ = link;
    }
    master_ = master;
}

PseudoTerminal::~PseudoTerminal()
{
    if (!link_.empty())
        unlink(link_.c_str());
    HangUp();
}

std::string PseudoTerminal::ReceiveText(size_t count, int timeoutMs)
{
    const Bytes bytes = Receive(count, timeoutMs);
    return std::string(bytes.begin(), bytes.end());
}

void PseudoTerminal::CloseMaster()
{
    if (master_ >= 0)
        close(master_);
    master_ = -1;
}

void PseudoTerminal::HangUp()
{
    if (slaveHold_ >= 0)
        close(slaveHold_);
    slaveHold_ = -1;
    CloseMaster();
}

} // namespace testsupport
