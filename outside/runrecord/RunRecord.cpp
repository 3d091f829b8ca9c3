#include "RunRecord.h"

#include "machine/MachineRoot.h"
#include "windows.h"

#include <cerrno>
#include <strings.h>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

namespace outside {

std::string RunRecordPath() { return machine::RootPath() + "/" + kRunRecordFile; }

namespace {

// The command line's first word as the C runtime takes it.
std::string FirstWord(const char *line)
{
    std::string word;
    if (!line)
        return word;
    bool quoted = false;
    for (; *line && (quoted || (*line != ' ' && *line != '\t')); ++line) {
        if (*line == '"')
            quoted = !quoted;
        else
            word += *line;
    }
    return word;
}

} // namespace

std::vector<std::string> ProgramArguments(int argc, char **argv)
{
    int first = 1;
    char module[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    if (argc > 1 && length > 0 && length < sizeof module) {
        // The words that together spell the program's own path; argv[0]
        // holds the program's file, the command line its first word.
        std::string spelled = FirstWord(GetCommandLineA());
        for (int i = 1; i < argc && spelled.size() < length; ++i) {
            spelled += ' ';
            spelled += argv[i];
            if (strcasecmp(spelled.c_str(), module) == 0) {
                first = i + 1;
                break;
            }
        }
    }
    return std::vector<std::string>(argv + (first < argc ? first : argc), argv + argc);
}

bool RecordRun(const std::string &program, int argc, char **argv)
{
    std::string line = program;
    for (const std::string &argument : ProgramArguments(argc, argv)) {
        line += '\t';
        line += argument;
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
