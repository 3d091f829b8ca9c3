// The processes this process started. Each is reaped exactly once: by the
// first caller that finds it ended, or, once no handle names it any more,
// by a reaper thread that blocks until it ends, so that no child is left
// a zombie whether or not anyone waits for it.
#pragma once

#include <sys/types.h>

#include <memory>
#include <mutex>

#include "windef.h"

namespace platform {

class ChildRecord {
public:
    // Takes over `pidfd`, a pidfd of the child `pid`.
    ChildRecord(pid_t pid, int pidfd);
    // A child still running goes to the reaper.
    ~ChildRecord();
    ChildRecord(const ChildRecord &) = delete;
    ChildRecord &operator=(const ChildRecord &) = delete;

    pid_t Pid() const { return pid_; }
    // Readable once the child has ended.
    int Pidfd() const { return pidfd_; }

    // True, with its exit code, once the child has ended (it is reaped
    // then); false while it runs.
    bool Ended(DWORD *exitCode);
    // Kills the child; its exit code becomes `exitCode`. False when it had
    // ended already.
    bool Terminate(UINT exitCode);

private:
    // Reaps the child if it has ended, under lock_; true once it has.
    bool ReapLocked();

    const pid_t pid_;
    const int pidfd_;
    std::mutex lock_;
    bool reaped_ = false;
    bool terminated_ = false;
    DWORD exitCode_ = 0;
};

// Makes the record of a child just started; null (with the child killed and
// reaped, and *error set) when no pidfd can be had for it.
std::shared_ptr<ChildRecord> AdoptChild(pid_t pid, DWORD *error);

// The record of a child of ours that a handle still names; null otherwise.
std::shared_ptr<ChildRecord> FindChild(pid_t pid);

} // namespace platform
