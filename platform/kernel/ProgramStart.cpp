// Starting a program found by FindProgram, with posix_spawn: a program
// that cannot be started leaves no child behind.
#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <string>
#include <vector>

#include "ErrorCodes.h"
#include "machine/Programs.h"
#include "winerror.h"

extern char **environ;

namespace machine {
namespace {

bool IsCommandLineEntry(const char *entry)
{
    const size_t length = strlen(kCommandLineVariable);
    return strncmp(entry, kCommandLineVariable, length) == 0 && entry[length] == '=';
}

DWORD StartError(int error)
{
    switch (error) {
    case ENOEXEC: return ERROR_BAD_EXE_FORMAT;
    case ENOENT: return ERROR_FILE_NOT_FOUND; // the script's interpreter
    default: return platform::ErrorFromErrno(error);
    }
}

} // namespace

pid_t StartProgram(const Program &program, const StartOptions &options, DWORD *error)
{
    // The environment: the given one or ours, with the command line in it.
    std::vector<std::string> entries;
    if (options.environment) {
        for (const std::string &entry : *options.environment)
            if (!IsCommandLineEntry(entry.c_str()))
                entries.push_back(entry);
    } else {
        for (char **entry = environ; *entry; ++entry)
            if (!IsCommandLineEntry(*entry))
                entries.push_back(*entry);
    }
    entries.push_back(std::string(kCommandLineVariable) + "=" + program.commandLine);
    std::vector<char *> envp;
    for (std::string &entry : entries)
        envp.push_back(&entry[0]);
    envp.push_back(nullptr);

    std::vector<std::string> arguments = program.argv;
    if (arguments.empty())
        arguments.push_back(program.unixPath);
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const int given[3] = {options.input, options.output, options.errors};
    for (int target = 0; target < 3; ++target)
        if (given[target] >= 0)
            posix_spawn_file_actions_adddup2(&actions, given[target], target);
    if (!options.folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, options.folder.c_str());

    // The program starts with every signal at its default and none blocked,
    // whatever this process ignores or blocks.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t pid = -1;
    const int failed = posix_spawn(&pid, program.unixPath.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        *error = StartError(failed);
        return -1;
    }
    return pid;
}

} // namespace machine
