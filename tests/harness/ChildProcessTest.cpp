// The harness's children as real processes: a child started to end with
// the test goes when the test program does, and a wait for a child holds
// its bound also where no process descriptor can be had.
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ChildProcess.h"

namespace {

using testsupport::ForkChild;
using testsupport::RunInChild;
using testsupport::Spawn;
using testsupport::SpawnOptions;

// A test program (a forked child here) starts a long program to end with
// it and then ends without ending it: the program gets its SIGTERM.
TEST(ChildProcessTest, AChildStartedToEndWithTheTestGoesWithIt)
{
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t test = ForkChild([&] {
        close(report[0]);
        SpawnOptions options;
        options.endWithTest = true;
        const pid_t program = Spawn({"/bin/sleep", "600"}, options);
        (void)!write(report[1], &program, sizeof program);
        return program > 0 ? 0 : 1; // ends without ending it
    });
    ASSERT_GT(test, 0);
    close(report[1]);
    pid_t program = -1;
    ASSERT_EQ(read(report[0], &program, sizeof program), static_cast<ssize_t>(sizeof program));
    close(report[0]);
    EXPECT_EQ(testsupport::ExitCodeOf(testsupport::WaitForExit(test, 30000)), 0);
    ASSERT_GT(program, 0);

    // No longer this process's child: watched through its process descriptor.
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, program, 0));
    if (pidfd < 0) {
        EXPECT_EQ(errno, ESRCH); // already gone
        return;
    }
    pollfd ended{pidfd, POLLIN, 0};
    const bool gone = poll(&ended, 1, 30000) == 1;
    close(pidfd);
    if (!gone)
        kill(program, SIGKILL);
    EXPECT_TRUE(gone) << "the program outlived the test";
}

// With no descriptor left to the process (pidfd_open fails), a wait still
// ends at its bound, killing a child that runs on, and still gives the
// status of one that ended by itself.
TEST(ChildProcessTest, WaitForExitHoldsItsBoundWithoutProcessDescriptors)
{
    const struct {
        const char *name;
        std::vector<std::string> program;
        bool timedOut;
        int status; // 0: exit code 0; else the signal that ended it
    } cases[] = {
        {"runs on", {"/bin/sleep", "600"}, true, SIGKILL},
        {"ends by itself", {"/bin/true"}, false, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const int code = RunInChild([&] {
            SpawnOptions options;
            options.endWithTest = true;
            const pid_t pid = Spawn(c.program, options);
            if (pid <= 0)
                return 1;
            const rlimit none{0, 0};
            if (setrlimit(RLIMIT_NOFILE, &none) != 0 || syscall(SYS_pidfd_open, pid, 0) >= 0)
                return 2;
            bool timedOut = false;
            const int status = testsupport::WaitForExit(pid, 500, &timedOut);
            if (timedOut != c.timedOut)
                return 3;
            if (c.status == 0)
                return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 4;
            return WIFSIGNALED(status) && WTERMSIG(status) == c.status ? 0 : 5;
        });
        EXPECT_EQ(code, 0);
    }
}

} // namespace
