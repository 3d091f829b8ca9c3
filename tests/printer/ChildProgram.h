// Programs that the printer tests start as real processes: a copy of a
// program under a chosen file name, so that the process check sees that
// module name. Waits sleep on a process descriptor or a pipe; processes are
// ended by their pid only.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace printer_test {

// Runs a copy of `program`, named `name`, from `folder`, with `args`. Its
// standard input is a pipe that the object holds: the program is expected
// to run until that pipe closes. The constructor waits (up to 30 s) for the
// program's first line of output.
class NamedProcess {
public:
    NamedProcess(const std::string &program, const std::string &folder, const std::string &name,
                 const std::vector<std::string> &args = {});
    ~NamedProcess();
    NamedProcess(const NamedProcess &) = delete;
    NamedProcess &operator=(const NamedProcess &) = delete;

    bool Started() const { return FPid > 0; }
    const std::string &FirstLine() const { return FFirstLine; }
    pid_t Pid() const { return FPid; }
    // Closes the program's input and waits for it to end (up to 10 s, then
    // it is killed). Returns its exit code, or -1. Idempotent.
    int End();

private:
    pid_t FPid = -1;
    int FInput = -1;
    int FExit = -1;
    std::string FFirstLine;
};

} // namespace printer_test
