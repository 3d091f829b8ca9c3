#include "psapi/MachineProcesses.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "machine/MachineRoot.h"

namespace psapi {
namespace {

bool ReadWhole(const std::string &file, std::string *contents)
{
    contents->clear();
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buffer[8192];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        contents->append(buffer, static_cast<size_t>(got));
    close(fd);
    return got == 0;
}

// The value of `name` in a NUL-separated environment block; null when unset.
const char *ValueIn(const std::string &environment, const char *name)
{
    const size_t length = strlen(name);
    for (size_t at = 0; at < environment.size();) {
        const char *entry = environment.c_str() + at;
        if (strncmp(entry, name, length) == 0 && entry[length] == '=')
            return entry + length + 1;
        at += strlen(entry) + 1;
    }
    return nullptr;
}

// Pauses while a starting process's environment is not in place yet: its
// program's set-up takes microseconds, so a few short sleeps are plenty.
constexpr int kEnvironmentTries = 20;
constexpr useconds_t kEnvironmentPauseUs = 1000;

bool HasProgram(const std::string &proc)
{
    char target[16];
    return readlink((proc + "/exe").c_str(), target, sizeof target) > 0;
}

bool SameFolder(const std::string &a, const std::string &b)
{
    struct stat first, second;
    if (stat(a.c_str(), &first) != 0 || stat(b.c_str(), &second) != 0)
        return a == b;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace

bool RunsOnMachine(pid_t pid, const std::string &root)
{
    if (pid == getpid())
        return true;
    const std::string proc = "/proc/" + std::to_string(pid);
    std::string environment;
    if (!ReadWhole(proc + "/environ", &environment))
        return true;
    // A process that is starting its program has its environment in place
    // a moment later; kernel threads and ended processes have none and no
    // program either.
    for (int tries = 0; environment.empty() && HasProgram(proc) && tries < kEnvironmentTries; ++tries) {
        usleep(kEnvironmentPauseUs);
        if (!ReadWhole(proc + "/environ", &environment))
            return true;
    }
    char cwd[4096];
    const ssize_t length = readlink((proc + "/cwd").c_str(), cwd, sizeof cwd - 1);
    cwd[length > 0 ? length : 0] = '\0';
    const std::string theirs = machine::RootPathFor(ValueIn(environment, machine::kRootVariable),
                                                    ValueIn(environment, "XDG_DATA_HOME"),
                                                    ValueIn(environment, "HOME"), cwd);
    return SameFolder(theirs, root);
}

bool MachineRunsProgram(dev_t device, ino_t inode, const std::string &root)
{
    DIR *folder = opendir("/proc");
    if (!folder)
        return false;
    bool runs = false;
    while (!runs) {
        const dirent *entry = readdir(folder);
        if (!entry)
            break;
        const char *name = entry->d_name;
        if (!*name || strspn(name, "0123456789") != strlen(name))
            continue;
        // The program file first: it rules out nearly every process without
        // reading its environment.
        struct stat program;
        if (stat((std::string("/proc/") + name + "/exe").c_str(), &program) != 0 || program.st_dev != device ||
            program.st_ino != inode)
            continue;
        runs = RunsOnMachine(static_cast<pid_t>(atol(name)), root);
    }
    closedir(folder);
    return runs;
}

} // namespace psapi
