// How a Windows command line runs on this machine: the one rule that
// CreateProcessA, ShellExecuteA and the port monitor's print command share.
//
// The program is the command line's first word. Quoted, it is the text
// between the quotes; unquoted, it ends at a blank, but as on Windows an
// unquoted path with blanks ("C:\Program Files\x\y.exe -a") is tried word by
// word, shortest first, as far as a name can name a file (a bare name up
// to the longest file name, a path up to the longest path). A name without an extension gets ".exe". A name
// with a folder (a "\", "/" or a drive) is taken as it is; a bare name is
// looked for in the running program's folder, the current folder, the
// system folder, the Windows folder, then the folders of PATH (Windows
// folders separated by ";" when PATH holds one, else Unix folders separated
// by ":").
//
// The file found runs when it is a Linux executable: an ELF file or a
// script that starts with "#!", with execute permission. It is started
// directly with argv[0] its Unix path and the rest of argv the command line
// split by the C runtime's rules (SplitCommandLine), and it gets the whole
// command line in the variable ARV_COMMAND_LINE, which the program entry of
// a Windows program here takes as its command line (TakeCommandLine).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "windef.h"

namespace machine {

constexpr const char *kCommandLineVariable = "ARV_COMMAND_LINE";

// The arguments of a command line as the C runtime splits it: the program
// name up to the closing quote or the first blank, without escapes; then
// blank-separated arguments where "..." groups, 2n backslashes before a
// quote give n backslashes, 2n+1 give n and a literal quote, "" inside
// quotes is a literal quote, and other backslashes are themselves.
std::vector<std::string> SplitCommandLine(const std::string &commandLine);

// One argument written so that SplitCommandLine gives it back.
std::string QuoteArgument(const std::string &argument);

// The text after the program name and the blanks after it, as WinMain's
// lpCmdLine is cut from the command line; a pointer into `commandLine`.
const char *CommandLineTail(const char *commandLine);

// For the program entry, before anything else runs: takes the command line
// this process was started with, the variable ARV_COMMAND_LINE when its
// split matches argv (the variable is then removed, so that it does not
// reach programs started from here by other means), else the program's
// Windows path and argv[1..] quoted. GetCommandLineA gives it from then on.
void TakeCommandLine(int argc, char **argv);

struct Program {
    std::string unixPath;             // the file that runs
    std::string windowsPath;          // its Windows name
    std::string commandLine;          // what the program receives whole
    std::vector<std::string> argv;    // argv[0] the Unix path, then the split
};

// Finds the program of `commandLine` as above; 0, or the Windows error:
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND (nothing found),
// ERROR_ACCESS_DENIED (a folder, or no execute permission),
// ERROR_BAD_EXE_FORMAT (not a Linux executable).
DWORD FindProgram(const std::string &commandLine, Program *program);

// The same for a given program file (CreateProcessA's application name):
// the path alone, no search, no ".exe" added.
DWORD FindProgramFile(const std::string &windowsPath, const std::string &commandLine, Program *program);

struct StartOptions {
    int input = -1;  // descriptors for the child's standard input, output
    int output = -1; // and errors; -1 keeps ours
    int errors = -1;
    std::string folder;                      // Unix folder to run in; "" ours
    const std::vector<std::string> *environment = nullptr; // "NAME=value"; null: ours
};

// Starts the program; its pid, or -1 with *error set (a Windows code) and
// nothing left running. The caller waits for the child or hands it on.
pid_t StartProgram(const Program &program, const StartOptions &options, DWORD *error);

} // namespace machine
