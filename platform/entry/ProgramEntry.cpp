// main() of a program written against the Windows API: it hands WinMain the
// command line after the program name, as Windows does, and returns its
// result as the exit code.

#include <string>

#include "windows.h"

namespace {

// The image base of a 32-bit Windows program; WinMain's callers treat the
// instance handle as an opaque value.
const HINSTANCE kProgramInstance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x00400000));
const int kShowNormal = 1;

// Appends one argument so that the program's own splitting of the command
// line gives it back: quoted when it holds blanks or quotes or is empty,
// with backslashes doubled before a quote.
void AppendArgument(std::string *line, const std::string &argument)
{
    if (!line->empty())
        *line += ' ';
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        *line += argument;
        return;
    }
    *line += '"';
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"')
            line->append(backslashes * 2 + 1, '\\');
        else
            line->append(backslashes, '\\');
        backslashes = 0;
        *line += c;
    }
    line->append(backslashes * 2, '\\');
    *line += '"';
}

} // namespace

int main(int argc, char **argv)
{
    std::string commandLine;
    for (int i = 1; i < argc; ++i)
        AppendArgument(&commandLine, argv[i]);
    return WinMain(kProgramInstance, nullptr, &commandLine[0], kShowNormal);
}
