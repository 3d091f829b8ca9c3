// main() of the program entry library hands WinMain the command line after
// the program name and returns WinMain's result.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ScopedEnvironment.h"

namespace {

testsupport::RunResult RunProbe(const std::vector<std::string> &arguments)
{
    std::vector<std::string> command{WINMAIN_PROBE};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return testsupport::RunProgram(command);
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
        const testsupport::RunResult outcome = RunProbe(c.arguments);
        EXPECT_EQ(outcome.out, "[" + c.commandLine + "] instance:set previous:null show:1");
        EXPECT_EQ(outcome.code, static_cast<int>(c.commandLine.size())) << "WinMain's result is the exit code";
    }
}

TEST(ProgramEntry, TakesTheCommandLineItWasStartedWith)
{
    testsupport::ScopedEnvironment environment;
    // The whole line of its starter, blanks and quotes as they were.
    environment.Set("ARV_COMMAND_LINE", "\"C:\\Program Files\\prog.exe\"   a    \"b\"");
    testsupport::RunResult outcome = RunProbe({"a", "b"});
    EXPECT_EQ(outcome.out, "[a    \"b\"] instance:set previous:null show:1");

    // A line made for other arguments (inherited through a program that is
    // not ours) is not taken.
    environment.Set("ARV_COMMAND_LINE", "prog other");
    outcome = RunProbe({"a", "b"});
    EXPECT_EQ(outcome.out, "[a b] instance:set previous:null show:1");
}

} // namespace
