#include "HostLine.h"

#include "machine/MachineRoot.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <ftw.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

int64_t NowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

int RemoveEntry(const char *path, const struct stat *, int, struct FTW *)
{
    remove(path);
    return 0;
}

} // namespace

bool HostLine::Open(const std::string &path)
{
    Close();
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0)
        return false;
    termios settings;
    if (tcgetattr(fd_, &settings) != 0) {
        Close();
        return false;
    }
    cfmakeraw(&settings);
    tcsetattr(fd_, TCSANOW, &settings);
    return true;
}

void HostLine::Close()
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

bool HostLine::Write(const std::vector<uint8_t> &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = write(fd_, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

std::vector<uint8_t> HostLine::Read(size_t count, int timeoutMs)
{
    std::vector<uint8_t> bytes;
    int64_t deadline = NowMs() + timeoutMs;
    while (bytes.size() < count) {
        int64_t left = deadline - NowMs();
        if (left <= 0)
            break;
        pollfd entry = {fd_, POLLIN, 0};
        int ready = poll(&entry, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        uint8_t buffer[4096];
        size_t want = count - bytes.size() < sizeof buffer ? count - bytes.size() : sizeof buffer;
        ssize_t got = read(fd_, buffer, want);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

std::vector<uint8_t> HostLine::ReadWaiting()
{
    std::vector<uint8_t> bytes;
    for (;;) {
        pollfd entry = {fd_, POLLIN, 0};
        if (poll(&entry, 1, 0) <= 0)
            return bytes;
        uint8_t buffer[4096];
        ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got <= 0)
            return bytes;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
}

ScopedMachineRoot::ScopedMachineRoot()
{
    char pattern[] = "/tmp/arv-root-XXXXXX";
    if (mkdtemp(pattern))
        path_ = pattern;
    setenv(machine::kRootVariable, path_.c_str(), 1);
}

ScopedMachineRoot::~ScopedMachineRoot()
{
    if (!path_.empty())
        nftw(path_.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}
