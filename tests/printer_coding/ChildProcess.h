// Runs a program as a child process with its standard output sent to a
// file, and waits for it with a deadline (sleeping on a process descriptor).
#pragma once

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <string>
#include <vector>

extern char **environ;

namespace printer_test {

// The exit code, or -1 when the program could not be started, did not end
// within the deadline (it is then killed) or ended by a signal.
inline int RunProgram(const std::vector<std::string> &args, const std::string &stdoutFile, int deadlineMs = 60000)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;

    int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        pollfd waitFor{pidfd, POLLIN, 0};
        int ready = poll(&waitFor, 1, deadlineMs);
        close(pidfd);
        if (ready == 0)
            kill(pid, SIGKILL);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace printer_test
