#include "DeviceHarness.h"

#include "machine/MachineRoot.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef ARV_DEVICE_PROGRAM
#error "ARV_DEVICE_PROGRAM must name the arv_device executable"
#endif

extern char **environ;

namespace standin {
namespace {

constexpr int kStartMs = 30000;
constexpr int kCommandMs = 10000;
constexpr int kGraceMs = 10000;

int64_t NowMs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void SleepMs(int ms)
{
    timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

int RemoveEntry(const char *path, const struct stat *, int, struct FTW *)
{
    remove(path);
    return 0;
}

// Reads one line from `fd` within the deadline; false on end, error or time-out.
bool ReadLine(int fd, int64_t deadline, std::string *line)
{
    line->clear();
    for (;;) {
        int64_t left = deadline - NowMs();
        if (left <= 0)
            return false;
        pollfd entry = {fd, POLLIN, 0};
        int ready = poll(&entry, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char buffer[256];
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        line->append(buffer, static_cast<size_t>(got));
        size_t newline = line->find('\n');
        if (newline != std::string::npos) {
            line->resize(newline);
            return true;
        }
    }
}

// Waits for `pid` to end within `timeoutMs`; stores its wait status.
bool WaitExit(pid_t pid, int timeoutMs, int *status)
{
#ifdef SYS_pidfd_open
    int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        int64_t deadline = NowMs() + timeoutMs;
        bool ended = false;
        for (;;) {
            int64_t left = deadline - NowMs();
            pollfd entry = {pidfd, POLLIN, 0};
            int ready = poll(&entry, 1, left > 0 ? static_cast<int>(left) : 0);
            if (ready < 0 && errno == EINTR)
                continue;
            ended = ready > 0;
            break;
        }
        close(pidfd);
        return ended && waitpid(pid, status, 0) == pid;
    }
#endif
    // Without process descriptors: look every few milliseconds.
    int64_t deadline = NowMs() + timeoutMs;
    for (;;) {
        pid_t done = waitpid(pid, status, WNOHANG);
        if (done == pid)
            return true;
        if (done < 0 && errno != EINTR)
            return false;
        if (NowMs() >= deadline)
            return false;
        SleepMs(5);
    }
}

int Count(const std::string &text, const std::string &needle)
{
    if (needle.empty())
        return 0;
    int count = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size()))
        ++count;
    return count;
}

} // namespace

DeviceProcess::DeviceProcess(const DeviceOptions &options)
{
    started_ = Launch(options);
    if (!started_)
        Stop();
}

DeviceProcess::~DeviceProcess()
{
    Stop();
    if (!folder_.empty())
        nftw(folder_.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
}

bool DeviceProcess::Launch(const DeviceOptions &options)
{
    char pattern[] = "/tmp/arv-device-XXXXXX";
    if (!mkdtemp(pattern)) {
        error_ = std::string("mkdtemp: ") + strerror(errno);
        return false;
    }
    folder_ = pattern;
    mkdir(OutputFolder().c_str(), 0755);
    mkdir(ScratchFolder().c_str(), 0755);
    port_ = options.port;

    std::vector<std::string> args = {ARV_DEVICE_PROGRAM, "--root", machine::RootPath(), "--port", options.port,
                                     "--serial", options.serial, "--instance", options.instance,
                                     "--out", OutputFolder(), "--log", LogPath(), "--control", ControlPath()};
    if (!options.vendorId.empty())
        args.insert(args.end(), {"--vid", options.vendorId});
    if (!options.productId.empty())
        args.insert(args.end(), {"--pid", options.productId});
    // A document puts the device in the document state unless a state other
    // than the default is asked for.
    if (options.scanPages.empty() || options.state != "ready")
        args.insert(args.end(), {"--state", options.state});
    if (!options.scanPages.empty()) {
        args.push_back("--scan");
        args.insert(args.end(), options.scanPages.begin(), options.scanPages.end());
    }
    if (options.paced)
        args.push_back("--paced");
    args.insert(args.end(), options.extraArgs.begin(), options.extraArgs.end());
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(&arg[0]);
    argv.push_back(nullptr);

    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) {
        error_ = std::string("pipe: ") + strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ready[1], STDOUT_FILENO);
    pid_t pid = -1;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);
    if (spawned != 0) {
        close(ready[0]);
        error_ = std::string("cannot start ") + ARV_DEVICE_PROGRAM + ": " + strerror(spawned);
        return false;
    }
    pid_ = pid;
    bool ok = WaitReady(ready[0]);
    close(ready[0]);
    return ok;
}

bool DeviceProcess::WaitReady(int readFd)
{
    std::string line;
    if (!ReadLine(readFd, NowMs() + kStartMs, &line)) {
        error_ = "arv_device did not become ready";
        return false;
    }
    // "ready <port> <tty>"
    char port[64] = {}, tty[256] = {};
    if (sscanf(line.c_str(), "ready %63s %255s", port, tty) != 2) {
        error_ = "unexpected readiness line: " + line;
        return false;
    }
    tty_ = tty;
    return true;
}

int DeviceProcess::Stop()
{
    if (pid_ <= 0)
        return exitStatus_;
    int status = -1;
    kill(pid_, SIGTERM);
    if (!WaitExit(pid_, kGraceMs, &status)) {
        kill(pid_, SIGKILL);
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    pid_ = -1;
    exitStatus_ = status;
    return status;
}

bool DeviceProcess::Command(const std::string &line, std::string *reply)
{
    if (reply)
        reply->clear();
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::string path = ControlPath();
    if (path.size() >= sizeof address.sun_path)
        return false;
    memcpy(address.sun_path, path.c_str(), path.size() + 1);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    std::string answer;
    bool ok = connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (ok) {
        std::string request = line + "\n";
        ok = send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size());
    }
    ok = ok && ReadLine(fd, NowMs() + kCommandMs, &answer);
    close(fd);
    if (reply)
        *reply = answer;
    return ok && answer.compare(0, 2, "ok") == 0;
}

std::string DeviceProcess::Log() const
{
    std::string text;
    FILE *file = fopen(LogPath().c_str(), "rb");
    if (!file)
        return text;
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    fclose(file);
    return text;
}

int DeviceProcess::CountInLog(const std::string &needle) const { return Count(Log(), needle); }

bool DeviceProcess::WaitForLog(const std::string &needle, int timeoutMs, int occurrences) const
{
    int64_t deadline = NowMs() + timeoutMs;
    for (;;) {
        if (CountInLog(needle) >= occurrences)
            return true;
        if (NowMs() >= deadline)
            return false;
        SleepMs(5);
    }
}

std::vector<std::string> DeviceProcess::PagePaths() const
{
    std::vector<std::string> paths;
    DIR *folder = opendir(OutputFolder().c_str());
    if (!folder)
        return paths;
    while (dirent *entry = readdir(folder)) {
        std::string name = entry->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".pbm") == 0)
            paths.push_back(OutputFolder() + "/" + name);
    }
    closedir(folder);
    std::sort(paths.begin(), paths.end());
    return paths;
}

} // namespace standin
