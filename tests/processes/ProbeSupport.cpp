#include "ProbeSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include "FileContents.h"
#include "machine/Paths.h"
#include "windows.h"

namespace probe {

std::string BuiltProbe() { return PROCESS_PROBE; }

bool Place(const std::string &windowsPath)
{
    const std::string unixPath = machine::UnixPath(windowsPath.c_str());
    for (size_t slash = unixPath.find('/', 1); slash != std::string::npos; slash = unixPath.find('/', slash + 1))
        mkdir(unixPath.substr(0, slash).c_str(), 0755);
    unlink(unixPath.c_str());
    if (link(PROCESS_PROBE, unixPath.c_str()) == 0)
        return true;
    return CopyFileA(machine::WindowsPath(PROCESS_PROBE).c_str(), windowsPath.c_str(), FALSE) != FALSE;
}

ReportFile ReportIn(const std::string &folder, const std::string &name)
{
    ReportFile file;
    file.unixPath = folder + "/" + name;
    file.windowsPath = machine::WindowsPath(file.unixPath);
    return file;
}

std::vector<std::string> Values(const std::string &reportUnixPath, const std::string &key)
{
    std::vector<std::string> values;
    const std::string text = testsupport::ReadText(reportUnixPath);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        if (line.compare(0, key.size() + 1, key + " ") == 0)
            values.push_back(line.substr(key.size() + 1));
        start = end + 1;
    }
    return values;
}

std::string Value(const std::string &reportUnixPath, const std::string &key)
{
    const std::vector<std::string> values = Values(reportUnixPath, key);
    return values.empty() ? "(none)" : values.front();
}

} // namespace probe
