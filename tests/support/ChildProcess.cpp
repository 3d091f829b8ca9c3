#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <thread>

#include "FileContents.h"
#include "TestClock.h"

extern char **environ;

namespace testsupport {
namespace {

void Give(posix_spawn_file_actions_t *actions, int fd, int target)
{
    if (fd == kNullDevice)
        posix_spawn_file_actions_addopen(actions, target, "/dev/null", target == STDIN_FILENO ? O_RDONLY : O_WRONLY,
                                         0);
    else if (fd >= 0)
        posix_spawn_file_actions_adddup2(actions, fd, target);
}

void CloseAll(std::initializer_list<int *> fds)
{
    for (int *fd : fds) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

// Writes to a pipe whose reader may be gone, without dying of SIGPIPE.
ssize_t WriteQuietly(int fd, const char *data, size_t size)
{
    sigset_t pipe, old;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, &old);
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EPIPE) {
        const timespec none{0, 0};
        sigtimedwait(&pipe, nullptr, &none);
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return n;
}

// In a forked child: makes `fd` (a descriptor of the test, or kNullDevice)
// its descriptor `target`. Only calls that are safe after fork.
bool GiveInChild(int fd, int target)
{
    if (fd == kNullDevice) {
        const int null = open("/dev/null", target == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (null < 0)
            return false;
        if (null == target)
            return true;
        const bool given = dup2(null, target) == target;
        close(null);
        return given;
    }
    if (fd < 0)
        return true;
    if (fd == target)
        return fcntl(fd, F_SETFD, 0) == 0;
    return dup2(fd, target) == target;
}

// Starts the program in a forked child that asks for SIGTERM when the
// test's thread that started it ends. A test that ended between the fork
// and that request is seen in the parent pid; the child then goes without
// running the program. Whether the program started comes back through a
// close-on-exec pipe: closed by the exec, or an errno written to it.
pid_t ForkAndExec(char *const argv[], char *const envp[], const SpawnOptions &options)
{
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return -1;
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        close(report[0]);
        int failure = 0;
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)
            _exit(127);
        if (!GiveInChild(options.input, STDIN_FILENO) || !GiveInChild(options.output, STDOUT_FILENO) ||
            !GiveInChild(options.errors, STDERR_FILENO))
            failure = errno ? errno : EBADF;
        for (int fd : options.keep)
            if (failure == 0 && fcntl(fd, F_SETFD, 0) != 0)
                failure = errno;
        if (failure == 0) {
            execve(argv[0], argv, envp);
            failure = errno;
        }
        (void)!write(report[1], &failure, sizeof failure);
        _exit(127);
    }
    close(report[1]);
    if (pid < 0) {
        close(report[0]);
        return -1;
    }
    int failure = 0;
    ssize_t n = 0;
    do
        n = read(report[0], &failure, sizeof failure);
    while (n < 0 && errno == EINTR);
    close(report[0]);
    if (n == 0)
        return pid;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return -1;
}

} // namespace

pid_t Spawn(const std::vector<std::string> &args, int input, int output, int errors)
{
    SpawnOptions options;
    options.input = input;
    options.output = output;
    options.errors = errors;
    return Spawn(args, options);
}

pid_t Spawn(const std::vector<std::string> &args, const SpawnOptions &options)
{
    if (args.empty())
        return -1;
    std::vector<char *> argv;
    for (const std::string &arg : args)
        argv.push_back(const_cast<char *>(arg.c_str()));
    argv.push_back(nullptr);

    // The test's environment with the options' variables set or replaced.
    std::vector<std::string> variables;
    for (char **entry = environ; *entry; ++entry) {
        const std::string variable(*entry);
        const std::string name = variable.substr(0, variable.find('=') + 1);
        bool replaced = false;
        for (const std::string &own : options.environment)
            replaced = replaced || own.compare(0, name.size(), name) == 0;
        if (!replaced)
            variables.push_back(variable);
    }
    variables.insert(variables.end(), options.environment.begin(), options.environment.end());
    std::vector<char *> envp;
    for (std::string &variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    if (options.endWithTest)
        return ForkAndExec(argv.data(), envp.data(), options);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    Give(&actions, options.input, STDIN_FILENO);
    Give(&actions, options.output, STDOUT_FILENO);
    Give(&actions, options.errors, STDERR_FILENO);
    // A descriptor duplicated onto itself loses its close-on-exec flag.
    for (int fd : options.keep)
        posix_spawn_file_actions_adddup2(&actions, fd, fd);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? pid : -1;
}

int WaitForExit(pid_t pid, int timeoutMs, bool *timedOut)
{
    if (pid <= 0)
        return -1;
    const int64_t deadline = MonotonicMs() + timeoutMs;
    int status = 0;
    pid_t got = 0;
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
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
    } else {
        // No process descriptor (an older kernel, or none left): look with
        // back-off until it has ended or the bound has passed.
        int delayMs = 5;
        for (;;) {
            do
                got = waitpid(pid, &status, WNOHANG);
            while (got < 0 && errno == EINTR);
            if (got != 0)
                return got == pid ? status : -1;
            const int64_t left = RemainingMs(deadline);
            if (left == 0)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min<int64_t>(delayMs, left)));
            delayMs = std::min(delayMs * 2, 100);
        }
        if (timedOut)
            *timedOut = true;
        kill(pid, SIGKILL);
    }
    do
        got = waitpid(pid, &status, 0);
    while (got < 0 && errno == EINTR);
    return got == pid ? status : -1;
}

int ExitCodeOf(int status) { return status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

RunResult RunProgram(const std::vector<std::string> &args, const RunOptions &options)
{
    RunResult result;
    int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
    const bool ready = pipe2(in, O_CLOEXEC) == 0 && pipe2(out, O_CLOEXEC) == 0 &&
                       (options.errorsToOutput || pipe2(err, O_CLOEXEC) == 0);
    SpawnOptions spawn;
    spawn.input = in[0];
    spawn.output = out[1];
    spawn.errors = options.errorsToOutput ? out[1] : err[1];
    spawn.environment = options.environment;
    spawn.endWithTest = options.endWithTest;
    const pid_t pid = ready ? Spawn(args, spawn) : -1;
    CloseAll({&in[0], &out[1], &err[1]});
    if (pid < 0) {
        CloseAll({&in[1], &out[0], &err[0]});
        return result;
    }

    // Feed the input and collect the output until the program closes both
    // (it ends) or the deadline passes.
    const int64_t deadline = MonotonicMs() + options.deadlineMs;
    size_t fed = 0;
    if (options.input.empty())
        CloseAll({&in[1]});
    std::string *texts[2] = {&result.out, &result.err};
    int *streams[2] = {&out[0], &err[0]};
    for (;;) {
        pollfd entries[3];
        int *owners[3];
        nfds_t count = 0;
        for (int i = 0; i < 2; ++i) {
            if (*streams[i] >= 0) {
                entries[count] = {*streams[i], POLLIN, 0};
                owners[count++] = streams[i];
            }
        }
        const nfds_t reading = count;
        if (reading == 0)
            break;
        if (in[1] >= 0) {
            entries[count] = {in[1], POLLOUT, 0};
            owners[count++] = &in[1];
        }
        const int waiting = poll(entries, count, RemainingMs(deadline));
        if (waiting < 0 && errno == EINTR)
            continue;
        if (waiting <= 0)
            break;
        for (nfds_t i = 0; i < count; ++i) {
            if (!entries[i].revents)
                continue;
            if (i >= reading) {
                const ssize_t n = WriteQuietly(in[1], options.input.data() + fed, options.input.size() - fed);
                if (n > 0)
                    fed += static_cast<size_t>(n);
                if (n < 0 || fed == options.input.size())
                    CloseAll({&in[1]});
                continue;
            }
            char piece[4096];
            const ssize_t n = read(*owners[i], piece, sizeof piece);
            if (n > 0)
                texts[owners[i] == &out[0] ? 0 : 1]->append(piece, static_cast<size_t>(n));
            else if (n == 0 || errno != EINTR)
                CloseAll({owners[i]});
        }
    }
    CloseAll({&in[1], &out[0], &err[0]});
    const int status = WaitForExit(pid, RemainingMs(deadline), &result.timedOut);
    result.code = result.timedOut ? -1 : ExitCodeOf(status);
    return result;
}

bool OpenPipes(int first[2], int second[2])
{
    if (pipe2(first, O_CLOEXEC) != 0)
        return false;
    if (pipe2(second, O_CLOEXEC) != 0) {
        close(first[0]);
        close(first[1]);
        return false;
    }
    return true;
}

pid_t ForkChild(const std::function<int()> &body)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(body());
    return child;
}

int RunInChild(const std::function<int()> &body, int timeoutMs)
{
    return ExitCodeOf(WaitForExit(ForkChild(body), timeoutMs));
}

RunningProgram::RunningProgram(const std::string &path) : path_(path)
{
    if (CopyWithMode("/bin/sleep", path_, 0755))
        pid_ = Spawn({path_, "600"}, kNullDevice, kInherited, kInherited);
}

void RunningProgram::End()
{
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        WaitForExit(pid_, 60000);
        pid_ = -1;
    }
}

HoldingChild::HoldingChild(const std::function<char()> &take, const std::function<void()> &letGo)
{
    int report[2], release[2];
    if (!OpenPipes(report, release))
        return;
    pid_ = ForkChild([&] {
        close(report[0]);
        close(release[1]);
        char byte = take();
        (void)!write(report[1], &byte, 1);
        (void)!read(release[0], &byte, 1); // until the test lets go
        if (letGo)
            letGo();
        return 0;
    });
    close(report[1]);
    close(release[0]);
    report_ = report[0];
    release_ = release[1];
}

HoldingChild::~HoldingChild()
{
    Release();
    if (report_ >= 0)
        close(report_);
}

int HoldingChild::Report(int timeoutMs)
{
    pollfd entry{report_, POLLIN, 0};
    unsigned char byte = 0;
    if (report_ < 0 || poll(&entry, 1, timeoutMs) <= 0 || read(report_, &byte, 1) != 1)
        return -1;
    return byte;
}

int HoldingChild::Release()
{
    if (release_ >= 0) {
        close(release_);
        release_ = -1;
    }
    if (pid_ > 0) {
        exit_ = ExitCodeOf(WaitForExit(pid_, 60000));
        pid_ = -1;
    }
    return exit_;
}

} // namespace testsupport
