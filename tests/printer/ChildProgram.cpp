#include "ChildProgram.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "PrinterTestSupport.h"

extern char **environ;

namespace printer_test {
namespace {

long long NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

int RemainingMs(long long deadline)
{
    long long left = deadline - NowMs();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits until the child ends or the deadline passes; kills it then. Returns
// the wait status, or -1.
int WaitForChild(pid_t pid, long long deadline, bool *timedOut)
{
    int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        pollfd ended{pidfd, POLLIN, 0};
        int ready = 0;
        do
            ready = poll(&ended, 1, RemainingMs(deadline));
        while (ready < 0 && errno == EINTR);
        close(pidfd);
        if (ready == 0) {
            if (timedOut)
                *timedOut = true;
            kill(pid, SIGKILL);
        }
    }
    int status = 0;
    pid_t got = 0;
    do
        got = waitpid(pid, &status, 0);
    while (got < 0 && errno == EINTR);
    return got == pid ? status : -1;
}

int ExitCodeOf(int status) { return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

std::vector<char *> Argv(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);
    return argv;
}

} // namespace

NamedProcess::NamedProcess(const std::string &program, const std::string &folder, const std::string &name,
                           const std::vector<std::string> &args)
{
    const std::string path = folder + "/" + name;
    if (!CopyFile(program, path, 0755))
        return;
    int input[2], output[2];
    if (pipe2(input, O_CLOEXEC) != 0)
        return;
    if (pipe2(output, O_CLOEXEC) != 0) {
        close(input[0]);
        close(input[1]);
        return;
    }
    std::vector<std::string> all{path};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char *> argv = Argv(all);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    pid_t pid = -1;
    int spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(output[1]);
    if (spawned != 0) {
        close(input[1]);
        close(output[0]);
        return;
    }
    FPid = pid;
    FInput = input[1];

    // The first line says the program stands (or why it does not).
    const long long deadline = NowMs() + 30000;
    char c = 0;
    for (;;) {
        pollfd readable{output[0], POLLIN, 0};
        if (poll(&readable, 1, RemainingMs(deadline)) <= 0)
            break;
        if (read(output[0], &c, 1) != 1 || c == '\n')
            break;
        FFirstLine += c;
    }
    close(output[0]);
}

NamedProcess::~NamedProcess() { End(); }

int NamedProcess::End()
{
    if (FPid <= 0)
        return FExit;
    if (FInput >= 0) {
        close(FInput);
        FInput = -1;
    }
    FExit = ExitCodeOf(WaitForChild(FPid, NowMs() + 10000, nullptr));
    FPid = -1;
    return FExit;
}

ProgramResult RunProgram(const std::vector<std::string> &args, int deadlineMs)
{
    ProgramResult result;
    int output[2];
    if (args.empty() || pipe2(output, O_CLOEXEC) != 0)
        return result;
    std::vector<char *> argv = Argv(args);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDERR_FILENO);
    pid_t pid = -1;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(output[1]);
    if (spawned != 0) {
        close(output[0]);
        return result;
    }

    // Collect the output until the program closes it (it ends) or the
    // deadline passes.
    const long long deadline = NowMs() + deadlineMs;
    char piece[4096];
    for (;;) {
        pollfd readable{output[0], POLLIN, 0};
        int ready = poll(&readable, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        ssize_t got = read(output[0], piece, sizeof piece);
        if (got <= 0)
            break;
        result.Output.append(piece, static_cast<size_t>(got));
    }
    close(output[0]);
    int status = WaitForChild(pid, deadline, &result.TimedOut);
    result.ExitCode = result.TimedOut ? -1 : ExitCodeOf(status);
    return result;
}

} // namespace printer_test
