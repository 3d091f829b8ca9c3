// Child processes for tests: programs started and run to their end with a
// deadline, and forked children that run a piece of the test. Waits sleep
// on a process descriptor or a pipe; a child is ended by its pid only.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// What a child's standard descriptor is: one of the test's descriptors (0
// or more), /dev/null, or the test's own.
constexpr int kNullDevice = -1;
constexpr int kInherited = -2;

// Starts args[0] with `args`; returns its pid, or -1 when it did not start.
pid_t Spawn(const std::vector<std::string> &args, int input = kNullDevice, int output = kInherited,
            int errors = kInherited);

// How a child starts: its standard descriptors, variables set or replaced
// in its environment ("NAME=value"; the rest is the test's), and further
// descriptors of the test it keeps under their own numbers.
struct SpawnOptions {
    int input = kNullDevice;
    int output = kInherited;
    int errors = kInherited;
    std::vector<std::string> environment;
    std::vector<int> keep;
    // The child gets SIGTERM when the test ends without ending it (a test
    // program that crashed leaves nothing running).
    bool endWithTest = false;
};
pid_t Spawn(const std::vector<std::string> &args, const SpawnOptions &options);

// Waits for the child `pid` to end, at most `timeoutMs`; at that point it
// is killed (and `timedOut` set). Returns its wait status, or -1. The
// bound holds also where no process descriptor can be had (then it looks
// with back-off).
int WaitForExit(pid_t pid, int timeoutMs, bool *timedOut = nullptr);
// The exit code in a wait status; -1 for a child that ended by a signal.
int ExitCodeOf(int status);

struct RunOptions {
    std::string input;           // fed to standard input, which then closes
    bool errorsToOutput = false; // standard error goes with standard output
    int deadlineMs = 60000;
    std::vector<std::string> environment; // as SpawnOptions' environment
    bool endWithTest = false;             // as SpawnOptions' endWithTest
};

struct RunResult {
    int code = -1; // exit code; -1: not started, ended by a signal, or killed at the deadline
    bool timedOut = false;
    std::string out;
    std::string err;
};

// Runs a program to its end (or its deadline).
RunResult RunProgram(const std::vector<std::string> &args, const RunOptions &options = RunOptions());

// Opens two close-on-exec pipes; false, with neither left open, when one
// cannot be made.
bool OpenPipes(int first[2], int second[2]);

// Forks a child that runs `body` and exits with what it returns; the
// child's pid, or -1.
pid_t ForkChild(const std::function<int()> &body);
// Forks a child that runs `body` and waits for it (at most `timeoutMs`);
// its exit code, or -1.
int RunInChild(const std::function<int()> &body, int timeoutMs = 60000);

// A program file that runs while the object lives: a copy of /bin/sleep
// written to `path` (a Unix path) and started from there, in this
// process's environment (so on the current machine root). Ended by its pid
// when the object goes, or earlier with End(); the file stays.
class RunningProgram {
public:
    explicit RunningProgram(const std::string &path);
    ~RunningProgram() { End(); }
    RunningProgram(const RunningProgram &) = delete;
    RunningProgram &operator=(const RunningProgram &) = delete;

    pid_t Pid() const { return pid_; }
    const std::string &Path() const { return path_; }
    void End();

private:
    std::string path_;
    pid_t pid_ = -1;
};

// A forked child that takes something and holds on to it: it runs `take`,
// reports the byte `take` returns, and then waits until the test lets it go,
// runs `letGo` and exits 0.
class HoldingChild {
public:
    HoldingChild(const std::function<char()> &take, const std::function<void()> &letGo = nullptr);
    ~HoldingChild();
    HoldingChild(const HoldingChild &) = delete;
    HoldingChild &operator=(const HoldingChild &) = delete;

    bool Started() const { return pid_ > 0; }
    // The byte the child reported (waits up to `timeoutMs` for it); -1 when
    // none came.
    int Report(int timeoutMs = 30000);
    // Lets the child go and waits for it; its exit code, or -1. Idempotent.
    int Release();

private:
    pid_t pid_ = -1;
    int report_ = -1;
    int release_ = -1;
    int exit_ = -1;
};

} // namespace testsupport
