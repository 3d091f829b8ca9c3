// The kernel object behind a process handle: the process id, the access it
// was opened with, and a pidfd that keeps naming this process even after
// its id is reused, so the handle can be waited on. For a process that
// this one started, the child's record (kernel/ChildProcesses.h) holds the
// pidfd and gives the exit code.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "kernel/ChildProcesses.h"
#include "kernel/Waitable.h"

namespace platform {

class ProcessObject final : public Waitable {
public:
    // `pidfd` may be -1 where the system has no pidfds; the object owns it.
    ProcessObject(pid_t pid, DWORD access, int pidfd);
    // A child of ours.
    ProcessObject(std::shared_ptr<ChildRecord> child, DWORD access);
    ~ProcessObject() override;
    ProcessObject(const ProcessObject &) = delete;
    ProcessObject &operator=(const ProcessObject &) = delete;

    pid_t Pid() const { return FPid; }
    bool Allows(DWORD access) const { return (FAccess & access) == access; }
    DWORD Wait(DWORD milliseconds) override;
    // STILL_ACTIVE while the process runs.
    DWORD ExitCode();
    // Kills the process; false (errno set) when it could not be.
    bool Terminate(UINT exitCode);

private:
    int Pidfd() const { return FChild ? FChild->Pidfd() : FPidfd; }

    const pid_t FPid;
    const DWORD FAccess;
    const int FPidfd;
    const std::shared_ptr<ChildRecord> FChild;
};

// The process behind a handle, or the calling process for the pseudo handle
// of GetCurrentProcess; null for anything else.
std::shared_ptr<ProcessObject> ProcessBehind(HANDLE handle);

// The path of the process's executable, without the " (deleted)" that the
// system adds once the file is gone; false (errno set) when it cannot be
// read.
bool ExecutablePath(pid_t pid, std::string *path);

} // namespace platform
