// Process handles over /proc and pidfds.

#include <fcntl.h>
#include <signal.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <string>
#include <utility>

#include "windows.h"

#include "psapi/ProcessObject.h"

namespace platform {
namespace {

const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

int OpenPidfd(pid_t pid)
{
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    errno = ENOSYS;
    return -1;
#endif
}

// Whether /proc shows `pid` as a process (a thread id is no process id).
bool ProcessExists(pid_t pid)
{
    std::string status = "/proc/" + std::to_string(pid) + "/status";
    int fd = open(status.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char text[1024];
    ssize_t got = read(fd, text, sizeof text - 1);
    close(fd);
    if (got <= 0)
        return false;
    text[got] = 0;
    const char *tgid = strstr(text, "\nTgid:");
    return tgid && strtol(tgid + 6, nullptr, 10) == pid;
}

} // namespace

ProcessObject::ProcessObject(pid_t pid, DWORD access, int pidfd) : FPid(pid), FAccess(access), FPidfd(pidfd) {}

ProcessObject::ProcessObject(std::shared_ptr<ChildRecord> child, DWORD access)
    : FPid(child->Pid()), FAccess(access), FPidfd(-1), FChild(std::move(child))
{
}

ProcessObject::~ProcessObject()
{
    if (FPidfd >= 0)
        close(FPidfd);
}

DWORD ProcessObject::Wait(DWORD milliseconds)
{
    const int pidfd = Pidfd();
    if (pidfd < 0) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return WAIT_FAILED;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        int timeout = -1;
        if (milliseconds != INFINITE) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            timeout = left > 0 ? static_cast<int>(std::min<long long>(left, INT32_MAX)) : 0;
        }
        pollfd watch{pidfd, POLLIN, 0};
        int ready = poll(&watch, 1, timeout);
        if (ready > 0) {
            DWORD code;
            if (FChild)
                FChild->Ended(&code); // reaped as soon as it is seen ended
            return WAIT_OBJECT_0;
        }
        if (ready == 0)
            return WAIT_TIMEOUT;
        if (errno != EINTR) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
    }
}

DWORD ProcessObject::ExitCode()
{
    DWORD code = STILL_ACTIVE;
    if (FChild)
        return FChild->Ended(&code) ? code : STILL_ACTIVE;
    if (FPidfd >= 0) {
        pollfd watch{FPidfd, POLLIN, 0};
        return poll(&watch, 1, 0) > 0 ? 0 : STILL_ACTIVE;
    }
    return ProcessExists(FPid) ? STILL_ACTIVE : 0;
}

bool ProcessObject::Terminate(UINT exitCode)
{
    if (FChild) {
        if (FChild->Terminate(exitCode))
            return true;
        errno = ESRCH;
        return false;
    }
#ifdef SYS_pidfd_send_signal
    if (FPidfd >= 0)
        return syscall(SYS_pidfd_send_signal, FPidfd, SIGKILL, nullptr, 0) == 0;
#endif
    return kill(FPid, SIGKILL) == 0;
}

std::shared_ptr<ProcessObject> ProcessBehind(HANDLE handle)
{
    if (handle == kCurrentProcess) {
        pid_t self = getpid();
        return std::make_shared<ProcessObject>(self, PROCESS_ALL_ACCESS, OpenPidfd(self));
    }
    return LookupHandleAs<ProcessObject>(handle);
}

bool ExecutablePath(pid_t pid, std::string *path)
{
    std::string link = "/proc/" + std::to_string(pid) + "/exe";
    char target[PATH_MAX + 16];
    ssize_t length = readlink(link.c_str(), target, sizeof target);
    if (length < 0)
        return false;
    if (static_cast<size_t>(length) >= sizeof target) {
        errno = ENAMETOOLONG;
        return false;
    }
    path->assign(target, static_cast<size_t>(length));
    static const std::string deleted = " (deleted)";
    if (path->size() > deleted.size() && path->compare(path->size() - deleted.size(), deleted.size(), deleted) == 0)
        path->resize(path->size() - deleted.size());
    return true;
}

} // namespace platform

HANDLE WINAPI OpenProcess(DWORD dwDesiredAccess, BOOL, DWORD dwProcessId)
{
    const pid_t pid = static_cast<pid_t>(dwProcessId);
    if (dwProcessId == 0 || pid < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    int pidfd = platform::OpenPidfd(pid);
    if (pidfd < 0 && errno != ENOSYS) {
        // ESRCH: no such process; EINVAL: the id of a thread, not a process.
        SetLastError(errno == EPERM || errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (pidfd < 0 && !platform::ProcessExists(pid)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (dwDesiredAccess & (PROCESS_QUERY_INFORMATION | PROCESS_VM_READ)) {
        // Reading the executable link is what the system guards: it refuses
        // it for processes that we may not inspect.
        std::string path;
        if (!platform::ExecutablePath(pid, &path) && (errno == EACCES || errno == EPERM)) {
            if (pidfd >= 0)
                close(pidfd);
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
    }
    if (auto child = platform::FindChild(pid)) {
        // One of ours: its record knows how it ended.
        if (pidfd >= 0)
            close(pidfd);
        return platform::InsertHandle(std::make_shared<platform::ProcessObject>(child, dwDesiredAccess));
    }
    return platform::InsertHandle(std::make_shared<platform::ProcessObject>(pid, dwDesiredAccess, pidfd));
}

BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode)
{
    auto process = platform::ProcessBehind(hProcess);
    if (!process) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpExitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpExitCode = process->ExitCode();
    return TRUE;
}

BOOL WINAPI TerminateProcess(HANDLE hProcess, UINT uExitCode)
{
    auto process = platform::ProcessBehind(hProcess);
    if (!process) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!process->Allows(PROCESS_TERMINATE)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (process->Pid() == getpid())
        _exit(static_cast<int>(uExitCode & 0xff));
    if (!process->Terminate(uExitCode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

HANDLE WINAPI GetCurrentProcess() { return platform::kCurrentProcess; }

DWORD WINAPI GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }
