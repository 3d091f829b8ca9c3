// The record of the outside programs' runs in the machine root: the file
// "outside-runs.log" in the root, a line for each run, the program's name
// and then each of its arguments, separated by tabs. Tests and the demo read
// it to see which outside programs ran, with what, and in which order.
#pragma once

#include <string>
#include <vector>

namespace outside {

constexpr const char *kRunRecordFile = "outside-runs.log";

// The record's path in the current machine root.
std::string RunRecordPath();

// The program's own arguments: argv[1] .. argv[argc - 1], less the words
// of a program path that was started unquoted with blanks in it
// (C:\Program Files\x.exe a b gives argv "C:\Program", "Files\x.exe", "a",
// "b", as the C runtime splits it; the arguments are "a" and "b").
std::vector<std::string> ProgramArguments(int argc, char **argv);

// Appends the run of `program` with its ProgramArguments (one write, so
// that runs of several processes never mix). False when the record cannot
// be written.
bool RecordRun(const std::string &program, int argc, char **argv);

// The recorded runs, each as the program's name followed by its arguments.
std::vector<std::vector<std::string>> RecordedRuns();

} // namespace outside
