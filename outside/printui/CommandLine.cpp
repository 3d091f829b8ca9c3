#include "CommandLine.h"

namespace printui {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads one argument starting at `at` (not a blank); returns the index
// after it.
size_t ReadArgument(const std::string &line, size_t at, std::string *argument)
{
    bool quoted = false;
    argument->clear();
    while (at < line.size() && (quoted || !IsBlank(line[at]))) {
        size_t backslashes = 0;
        while (at < line.size() && line[at] == '\\') {
            ++backslashes;
            ++at;
        }
        if (at < line.size() && line[at] == '"') {
            argument->append(backslashes / 2, '\\');
            if (backslashes % 2) {
                *argument += '"';
            } else if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
                *argument += '"';
                ++at;
            } else {
                quoted = !quoted;
            }
            ++at;
            continue;
        }
        argument->append(backslashes, '\\');
        if (at < line.size() && (quoted || !IsBlank(line[at])))
            *argument += line[at++];
    }
    return at;
}

size_t SkipBlanks(const std::string &line, size_t at)
{
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    return at;
}

} // namespace

std::vector<std::string> SplitCommandLine(const std::string &line)
{
    std::vector<std::string> arguments;
    size_t at = SkipBlanks(line, 0);
    while (at < line.size()) {
        std::string argument;
        at = SkipBlanks(line, ReadArgument(line, at, &argument));
        arguments.push_back(argument);
    }
    return arguments;
}

void SplitFirstArgument(const std::string &line, std::string *first, std::string *rest)
{
    first->clear();
    size_t at = SkipBlanks(line, 0);
    if (at < line.size())
        at = ReadArgument(line, at, first);
    *rest = line.substr(SkipBlanks(line, at));
}

} // namespace printui
