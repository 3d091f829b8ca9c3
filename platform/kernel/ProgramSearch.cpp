// Finding the program of a command line, as Windows finds it, and telling
// whether the file found runs here.
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "ErrorCodes.h"
#include "PathResolution.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "machine/Programs.h"
#include "winerror.h"

namespace machine {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool HasFolder(const std::string &name) { return name.find_first_of("\\/:") != std::string::npos; }

// ".exe" is added to a name whose last component has no extension.
std::string WithExtension(const std::string &name)
{
    const size_t cut = name.find_last_of("\\/:");
    const std::string last = cut == std::string::npos ? name : name.substr(cut + 1);
    return last.find('.') == std::string::npos ? name + ".exe" : name;
}

bool IsFile(const std::string &unixPath)
{
    struct stat info;
    return stat(unixPath.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::string FolderOf(const std::string &unixPath)
{
    const size_t slash = unixPath.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : unixPath.substr(0, slash);
}

// The folders a bare program name is looked for in, in Windows' order.
std::vector<std::string> SearchFolders()
{
    std::vector<std::string> folders;
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0)
        folders.push_back(FolderOf(std::string(buffer, static_cast<size_t>(length))));
    if (getcwd(buffer, sizeof buffer))
        folders.push_back(buffer);
    folders.push_back(UnixPath(kSystemDir));
    folders.push_back(UnixPath((std::string(kWindowsDir) + "\\System").c_str()));
    folders.push_back(UnixPath(kWindowsDir));
    const char *path = getenv("PATH");
    if (path) {
        const std::string list = path;
        const char separator = list.find(';') != std::string::npos ? ';' : ':';
        size_t start = 0;
        while (start <= list.size()) {
            size_t end = list.find(separator, start);
            if (end == std::string::npos)
                end = list.size();
            const std::string entry = list.substr(start, end - start);
            if (!entry.empty())
                folders.push_back(separator == ';' ? UnixPath(entry.c_str()) : entry);
            start = end + 1;
        }
    }
    return folders;
}

// The Unix path of the file `name` names (".exe" added where it has no
// extension when `addExtension`), or "" with *error set.
std::string Locate(const std::string &name, bool addExtension, DWORD *error)
{
    const std::string full = addExtension ? WithExtension(name) : name;
    if (full.empty()) {
        *error = ERROR_FILE_NOT_FOUND;
        return std::string();
    }
    if (HasFolder(full)) {
        const std::string unixPath = UnixPath(full.c_str());
        if (unixPath.empty()) {
            *error = ERROR_PATH_NOT_FOUND;
            return std::string();
        }
        struct stat info;
        if (stat(unixPath.c_str(), &info) == 0)
            return unixPath; // a folder is refused when it is checked
        *error = platform::MissingPathError(unixPath);
        return std::string();
    }
    for (const std::string &folder : SearchFolders()) {
        const std::string entry = platform::FindEntry(folder, full);
        if (!entry.empty()) {
            const std::string unixPath = (folder == "/" ? folder : folder + "/") + entry;
            if (IsFile(unixPath))
                return unixPath;
        }
    }
    *error = ERROR_FILE_NOT_FOUND;
    return std::string();
}

// 0 when the file runs here: an ELF file or a "#!" script with execute
// permission.
DWORD CheckRunnable(const std::string &unixPath)
{
    struct stat info;
    if (stat(unixPath.c_str(), &info) != 0)
        return platform::ErrorFromErrno(errno);
    if (S_ISDIR(info.st_mode))
        return ERROR_ACCESS_DENIED;
    const int fd = open(unixPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return platform::ErrorFromErrno(errno);
    char start[4] = {0, 0, 0, 0};
    const ssize_t got = read(fd, start, sizeof start);
    close(fd);
    const bool elf = got == 4 && memcmp(start, "\x7f" "ELF", 4) == 0;
    const bool script = got >= 2 && start[0] == '#' && start[1] == '!';
    if (!elf && !script)
        return ERROR_BAD_EXE_FORMAT;
    if (!(info.st_mode & 0111) || access(unixPath.c_str(), X_OK) != 0)
        return ERROR_ACCESS_DENIED;
    return 0;
}

DWORD Describe(const std::string &unixPath, const std::string &commandLine, Program *program)
{
    const DWORD error = CheckRunnable(unixPath);
    if (error)
        return error;
    program->unixPath = unixPath;
    program->windowsPath = WindowsPath(unixPath);
    program->commandLine = commandLine;
    program->argv = SplitCommandLine(commandLine);
    program->argv[0] = unixPath;
    return 0;
}

} // namespace

DWORD FindProgram(const std::string &commandLine, Program *program)
{
    size_t start = 0;
    while (start < commandLine.size() && IsBlank(commandLine[start]))
        ++start;
    const std::string line = commandLine.substr(start);
    if (line.empty())
        return ERROR_FILE_NOT_FOUND;
    std::vector<std::string> candidates;
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        candidates.push_back(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    } else {
        // Unquoted: every prefix that ends before a blank, shortest first.
        for (size_t at = 0; at < line.size(); ++at)
            if (IsBlank(line[at]) && at > 0 && !IsBlank(line[at - 1]))
                candidates.push_back(line.substr(0, at));
        size_t end = line.size();
        while (end > 0 && IsBlank(line[end - 1]))
            --end;
        if (candidates.empty() || candidates.back() != line.substr(0, end))
            candidates.push_back(line.substr(0, end));
    }
    // Nothing found: the first word's failure is the one reported.
    DWORD firstError = 0;
    for (const std::string &candidate : candidates) {
        DWORD error = 0;
        const std::string unixPath = Locate(candidate, true, &error);
        if (!unixPath.empty() && IsFile(unixPath))
            return Describe(unixPath, commandLine, program);
        if (!firstError)
            firstError = unixPath.empty() ? error : ERROR_ACCESS_DENIED; // a folder
    }
    return firstError;
}

DWORD FindProgramFile(const std::string &windowsPath, const std::string &commandLine, Program *program)
{
    DWORD error = ERROR_FILE_NOT_FOUND;
    const std::string unixPath =
        HasFolder(windowsPath) ? Locate(windowsPath, false, &error) : UnixPath(windowsPath.c_str());
    if (unixPath.empty())
        return error;
    struct stat info;
    if (stat(unixPath.c_str(), &info) != 0)
        return platform::MissingPathError(unixPath);
    return Describe(unixPath, commandLine.empty() ? QuoteArgument(windowsPath) : commandLine, program);
}

} // namespace machine
