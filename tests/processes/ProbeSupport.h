// The process probe (ProcessProbe.cpp) placed in a machine root, and its
// reports.
#pragma once

#include <string>
#include <vector>

namespace probe {

// The probe program as built.
std::string BuiltProbe();

// Puts the probe at the Windows path (linked where it can be, else
// copied; folders made); false when it could not.
bool Place(const std::string &windowsPath);

// A report file in the scratch folder `folder`: its Unix and Windows paths.
struct ReportFile {
    std::string unixPath;
    std::string windowsPath;
};
ReportFile ReportIn(const std::string &folder, const std::string &name);

// A report's lines "key value": the values of `key`, in order.
std::vector<std::string> Values(const std::string &reportUnixPath, const std::string &key);
// The first value of `key`, or "(none)".
std::string Value(const std::string &reportUnixPath, const std::string &key);

} // namespace probe
