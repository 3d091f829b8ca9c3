// Command lines: the C runtime's splitting and quoting, WinMain's tail, and
// the command line the process was started with.
#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

#include "machine/Programs.h"
#include "processenv.h"
#include "winbase.h"

namespace machine {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The program name: up to the closing quote, or up to the first blank; no
// escapes. Returns where the arguments start.
const char *ProgramName(const char *at, std::string *name)
{
    if (*at == '"') {
        ++at;
        while (*at && *at != '"')
            *name += *at++;
        if (*at == '"')
            ++at;
        return at;
    }
    while (*at && !IsBlank(*at))
        *name += *at++;
    return at;
}

} // namespace

std::vector<std::string> SplitCommandLine(const std::string &commandLine)
{
    std::vector<std::string> arguments;
    const char *at = commandLine.c_str();
    std::string name;
    at = ProgramName(at, &name);
    arguments.push_back(name);
    for (;;) {
        while (IsBlank(*at))
            ++at;
        if (!*at)
            break;
        std::string argument;
        bool quoted = false;
        for (;;) {
            size_t backslashes = 0;
            while (*at == '\\') {
                ++backslashes;
                ++at;
            }
            if (*at == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2) {
                    argument += '"';
                    ++at;
                    continue;
                }
                if (quoted && at[1] == '"') {
                    argument += '"'; // "" inside quotes
                    at += 2;
                    continue;
                }
                quoted = !quoted;
                ++at;
                continue;
            }
            argument.append(backslashes, '\\');
            if (!*at || (!quoted && IsBlank(*at)))
                break;
            argument += *at++;
        }
        arguments.push_back(argument);
    }
    return arguments;
}

std::string QuoteArgument(const std::string &argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + '"';
}

const char *CommandLineTail(const char *commandLine)
{
    const char *at = commandLine;
    bool quoted = false;
    // Blanks are what SplitCommandLine takes for them, blank and tab, so
    // that the tail and the split see the same words.
    while (*at && (quoted || !IsBlank(*at))) {
        if (*at == '"')
            quoted = !quoted;
        ++at;
    }
    while (IsBlank(*at))
        ++at;
    return at;
}

namespace {

std::once_flag gTaken;
std::string gCommandLine;

// The command line for `argv`: ARV_COMMAND_LINE when it was made for these
// arguments, else the program's Windows path and the arguments quoted.
std::string CommandLineFor(const std::vector<std::string> &argv, bool *fromVariable)
{
    *fromVariable = false;
    if (const char *given = getenv(kCommandLineVariable)) {
        std::vector<std::string> split = SplitCommandLine(given);
        if (split.size() == argv.size() && std::equal(split.begin() + 1, split.end(), argv.begin() + 1)) {
            *fromVariable = true;
            return given;
        }
    }
    char self[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    std::string line = QuoteArgument(length > 0 && length < sizeof self ? self : argv[0]);
    for (size_t i = 1; i < argv.size(); ++i)
        line += " " + QuoteArgument(argv[i]);
    return line;
}

// argv of this process from /proc, for programs that have no program entry
// of ours (tests, tools).
std::vector<std::string> OwnArguments()
{
    std::vector<std::string> argv;
    const int fd = open("/proc/self/cmdline", O_RDONLY | O_CLOEXEC);
    std::string text;
    if (fd >= 0) {
        char buffer[4096];
        ssize_t got;
        while ((got = read(fd, buffer, sizeof buffer)) > 0)
            text.append(buffer, static_cast<size_t>(got));
        close(fd);
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\0', start);
        if (end == std::string::npos)
            end = text.size();
        argv.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (argv.empty())
        argv.push_back(std::string());
    return argv;
}

} // namespace

void TakeCommandLine(int argc, char **argv)
{
    std::call_once(gTaken, [&] {
        std::vector<std::string> arguments(argv, argv + argc);
        if (arguments.empty())
            arguments.push_back(std::string());
        bool fromVariable = false;
        gCommandLine = CommandLineFor(arguments, &fromVariable);
        if (fromVariable)
            unsetenv(kCommandLineVariable);
    });
}

} // namespace machine

LPSTR WINAPI GetCommandLineA()
{
    std::call_once(machine::gTaken, [] {
        bool fromVariable = false;
        machine::gCommandLine = machine::CommandLineFor(machine::OwnArguments(), &fromVariable);
    });
    return &machine::gCommandLine[0];
}
