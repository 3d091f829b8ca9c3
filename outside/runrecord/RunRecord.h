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

// Appends the run of `program` with the arguments argv[1] .. argv[argc - 1]
// (one write, so that runs of several processes never mix). False when the
// record cannot be written.
bool RecordRun(const std::string &program, int argc, char **argv);

// The recorded runs, each as the program's name followed by its arguments.
std::vector<std::vector<std::string>> RecordedRuns();

} // namespace outside
