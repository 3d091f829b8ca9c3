#include "ChildProcesses.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <thread>
#include <utility>
#include <vector>

#include "ErrorCodes.h"
#include "winerror.h"

namespace platform {
namespace {

// Reaps the child if it has ended; true then, with its wait status.
bool ReapIfEnded(pid_t pid, siginfo_t *info)
{
    *info = siginfo_t{};
    for (;;) {
        if (waitid(P_PID, static_cast<id_t>(pid), info, WEXITED | WNOHANG) == 0)
            return info->si_pid != 0;
        if (errno == EINTR)
            continue;
        info->si_code = 0; // ECHILD: someone else reaped it; its code is lost
        return true;
    }
}

// Children that no handle names any more and that still ran then. One
// thread, started on first use, blocks in poll on their pidfds (and an
// eventfd that announces new ones) and reaps each as it ends.
class Reaper {
public:
    static Reaper &Instance()
    {
        static Reaper *reaper = Make();
        return *reaper;
    }

    void Take(pid_t pid, int pidfd)
    {
        std::lock_guard<std::mutex> hold(lock_);
        orphans_.emplace_back(pid, pidfd);
        if (wake_ < 0)
            wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (!running_ && wake_ >= 0) {
            running_ = true;
            std::thread([this] { Run(); }).detach();
        }
        if (wake_ >= 0) {
            const uint64_t one = 1;
            ssize_t ignored = write(wake_, &one, sizeof one);
            (void)ignored;
        }
    }

private:
    static Reaper *Make()
    {
        Reaper *reaper = new Reaper; // never destroyed: its thread outlives exit
        // A forked child has no reaper thread and none of these children.
        pthread_atfork([] { Instance().lock_.lock(); }, [] { Instance().lock_.unlock(); },
                       [] {
                           Reaper &self = Instance();
                           for (auto &orphan : self.orphans_)
                               close(orphan.second);
                           self.orphans_.clear();
                           self.running_ = false;
                           if (self.wake_ >= 0)
                               close(self.wake_);
                           self.wake_ = -1;
                           self.lock_.unlock();
                       });
        return reaper;
    }

    void Run()
    {
        for (;;) {
            std::vector<pollfd> watched;
            int wake;
            {
                std::lock_guard<std::mutex> hold(lock_);
                wake = wake_;
                watched.push_back(pollfd{wake, POLLIN, 0});
                for (const auto &orphan : orphans_)
                    watched.push_back(pollfd{orphan.second, POLLIN, 0});
            }
            if (poll(watched.data(), watched.size(), -1) < 0)
                continue; // EINTR
            if (watched[0].revents) {
                uint64_t count;
                ssize_t ignored = read(wake, &count, sizeof count);
                (void)ignored;
            }
            std::lock_guard<std::mutex> hold(lock_);
            for (size_t i = 1; i < watched.size(); ++i) {
                if (!watched[i].revents)
                    continue;
                for (auto orphan = orphans_.begin(); orphan != orphans_.end(); ++orphan) {
                    if (orphan->second != watched[i].fd)
                        continue;
                    siginfo_t info;
                    if (ReapIfEnded(orphan->first, &info)) {
                        close(orphan->second);
                        orphans_.erase(orphan);
                    }
                    break;
                }
            }
        }
    }

    std::mutex lock_;
    std::vector<std::pair<pid_t, int>> orphans_;
    int wake_ = -1;
    bool running_ = false;
};

std::mutex gChildrenLock;
std::map<pid_t, std::weak_ptr<ChildRecord>> gChildren;

int OpenPidfd(pid_t pid)
{
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
    errno = ENOSYS;
    return -1;
#endif
}

} // namespace

ChildRecord::ChildRecord(pid_t pid, int pidfd) : pid_(pid), pidfd_(pidfd) {}

ChildRecord::~ChildRecord()
{
    {
        std::lock_guard<std::mutex> hold(gChildrenLock);
        auto found = gChildren.find(pid_);
        if (found != gChildren.end() && found->second.expired())
            gChildren.erase(found);
    }
    siginfo_t info;
    if (reaped_ || ReapIfEnded(pid_, &info))
        close(pidfd_);
    else
        Reaper::Instance().Take(pid_, pidfd_);
}

bool ChildRecord::ReapLocked()
{
    if (reaped_)
        return true;
    siginfo_t info;
    if (!ReapIfEnded(pid_, &info))
        return false;
    reaped_ = true;
    if (!terminated_) {
        if (info.si_code == CLD_EXITED)
            exitCode_ = static_cast<DWORD>(info.si_status);
        else if (info.si_code == CLD_KILLED || info.si_code == CLD_DUMPED)
            exitCode_ = 128u + static_cast<DWORD>(info.si_status);
    }
    return true;
}

bool ChildRecord::Ended(DWORD *exitCode)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (!ReapLocked())
        return false;
    *exitCode = exitCode_;
    return true;
}

bool ChildRecord::Terminate(UINT exitCode)
{
    std::lock_guard<std::mutex> hold(lock_);
    if (terminated_ || ReapLocked())
        return false;
    // Not reaped, so the id still names our child.
    if (kill(pid_, SIGKILL) != 0)
        return false;
    terminated_ = true;
    exitCode_ = exitCode;
    return true;
}

std::shared_ptr<ChildRecord> AdoptChild(pid_t pid, DWORD *error)
{
    const int pidfd = OpenPidfd(pid);
    if (pidfd < 0) {
        *error = ErrorFromErrno(errno);
        kill(pid, SIGKILL);
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        return nullptr;
    }
    auto record = std::make_shared<ChildRecord>(pid, pidfd);
    std::lock_guard<std::mutex> hold(gChildrenLock);
    gChildren[pid] = record;
    return record;
}

std::shared_ptr<ChildRecord> FindChild(pid_t pid)
{
    std::lock_guard<std::mutex> hold(gChildrenLock);
    auto found = gChildren.find(pid);
    return found == gChildren.end() ? nullptr : found->second.lock();
}

} // namespace platform
