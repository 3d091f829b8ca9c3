// Which processes run on this machine. Every machine root is a machine of
// its own, so the process list holds only the processes whose machine root
// is the caller's: a program started in one root does not show in the
// process list of another, as on two separate computers.
#pragma once

#include <sys/types.h>

#include <string>

namespace psapi {

// True when process `pid` uses the machine root `root` (the caller's,
// machine::RootPath()). The caller always does. A process whose environment
// cannot be read (another user's) counts as on this machine, as every
// user's processes are on a real one.
bool RunsOnMachine(pid_t pid, const std::string &root);

// True when a process of the machine root `root` runs the program file
// `device`/`inode` (the real file, whatever name it was started by), as
// the process list sees the machine's processes.
bool MachineRunsProgram(dev_t device, ino_t inode, const std::string &root);

} // namespace psapi
