#include "KernelTestSupport.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <poll.h>
#include <sstream>
#include <time.h>
#include <unistd.h>

#include "machine/MachineRoot.h"

namespace kerneltest {
namespace {

int RemoveEntry(const char *path, const struct stat *, int, struct FTW *)
{
    remove(path);
    return 0;
}

} // namespace

void RemoveTree(const std::string &path)
{
    nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
}

std::string MakeTempFolder()
{
    char pattern[] = "/tmp/arv-kernel-XXXXXX";
    const char *made = mkdtemp(pattern);
    EXPECT_NE(made, nullptr);
    return made ? made : "";
}

TempMachineRoot::TempMachineRoot()
{
    path_ = MakeTempFolder();
    if (const char *previous = getenv(machine::kRootVariable)) {
        previous_ = previous;
        hadPrevious_ = true;
    }
    setenv(machine::kRootVariable, path_.c_str(), 1);
    machine::RootPath();
}

TempMachineRoot::~TempMachineRoot()
{
    if (hadPrevious_)
        setenv(machine::kRootVariable, previous_.c_str(), 1);
    else
        unsetenv(machine::kRootVariable);
    RemoveTree(path_);
}

void WriteFileText(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string ReadFileText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

LinkedPty::LinkedPty(const std::string &portName)
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    EXPECT_GE(master_, 0);
    EXPECT_EQ(grantpt(master_), 0);
    EXPECT_EQ(unlockpt(master_), 0);
    slave_ = ptsname(master_);
    EXPECT_EQ(symlink(slave_.c_str(), machine::PortLink(portName).c_str()), 0);
}

LinkedPty::~LinkedPty() { CloseMaster(); }

void LinkedPty::CloseMaster()
{
    if (master_ >= 0)
        close(master_);
    master_ = -1;
}

void LinkedPty::Send(const std::string &bytes)
{
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

std::string LinkedPty::Receive(size_t count, int timeoutMs)
{
    std::string got;
    const int64_t end = MonotonicMs() + timeoutMs;
    char buffer[4096];
    while (got.size() < count) {
        const int64_t left = end - MonotonicMs();
        if (left <= 0)
            break;
        pollfd entry{master_, POLLIN, 0};
        if (poll(&entry, 1, static_cast<int>(left)) <= 0)
            continue;
        const ssize_t n = read(master_, buffer, std::min(sizeof buffer, count - got.size()));
        if (n <= 0)
            break;
        got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

int64_t MonotonicMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

int64_t ThreadCpuMs()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

} // namespace kerneltest
