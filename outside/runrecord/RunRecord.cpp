#include "RunRecord.h"

#include "machine/MachineRoot.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

namespace outside {

std::string RunRecordPath() { return machine::RootPath() + "/" + kRunRecordFile; }

bool RecordRun(const std::string &program, int argc, char **argv)
{
    std::string line = program;
    for (int i = 1; i < argc; ++i) {
        line += '\t';
        line += argv[i];
    }
    line += '\n';
    const int fd = open(RunRecordPath().c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    ssize_t wrote;
    do {
        wrote = write(fd, line.data(), line.size());
    } while (wrote < 0 && errno == EINTR);
    close(fd);
    return wrote == static_cast<ssize_t>(line.size());
}

std::vector<std::vector<std::string>> RecordedRuns()
{
    std::vector<std::vector<std::string>> runs;
    std::ifstream in(RunRecordPath());
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        size_t at = 0;
        for (;;) {
            const size_t tab = line.find('\t', at);
            fields.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
            if (tab == std::string::npos)
                break;
            at = tab + 1;
        }
        runs.push_back(fields);
    }
    return runs;
}

} // namespace outside
