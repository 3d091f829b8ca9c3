// main() of the program entry library hands WinMain the command line after
// the program name and returns WinMain's result.

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

extern char **environ;

namespace {

struct Outcome {
    std::string output;
    int exitCode = -1;
};

Outcome RunProbe(const std::vector<std::string> &arguments)
{
    Outcome outcome;
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return outcome;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char *> argv;
    std::string program = WINMAIN_PROBE;
    argv.push_back(&program[0]);
    std::vector<std::string> copies = arguments;
    for (std::string &argument : copies)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    pid_t pid = 0;
    int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (failed == 0) {
        char buffer[512];
        ssize_t got;
        while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
            outcome.output.append(buffer, static_cast<size_t>(got));
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFEXITED(status))
            outcome.exitCode = WEXITSTATUS(status);
    }
    close(pipeFds[0]);
    return outcome;
}

TEST(ProgramEntry, PassesTheCommandLineAfterTheProgramName)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string commandLine;
    } cases[] = {
        {{}, ""},
        {{"job.prn"}, "job.prn"},
        {{"a", "b"}, "a b"},
        {{"two words"}, "\"two words\""},
        {{""}, "\"\""},
        {{"say \"hi\""}, "\"say \\\"hi\\\"\""},
        {{"C:\\Program Files\\"}, "\"C:\\Program Files\\\\\""},
        {{"C:\\dir\\file"}, "C:\\dir\\file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.commandLine);
        Outcome outcome = RunProbe(c.arguments);
        EXPECT_EQ(outcome.output, "[" + c.commandLine + "] instance:set previous:null show:1");
        EXPECT_EQ(outcome.exitCode, static_cast<int>(c.commandLine.size())) << "WinMain's result is the exit code";
    }
}

} // namespace
