// Finding the program of a command line, as Windows finds it, and telling
// whether the file found runs here.
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
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

// The folders a bare program name is looked for in, in Windows' order,
// each once. A name is taken under its own spelling where it exists, else
// the first entry in byte order that matches it without regard to case; a
// folder is listed for that the first time it is needed, and at most once
// for all the names of one search.
class SearchFolders {
public:
    // The Unix path of the file `name` names in the first folder that has
    // one, or "".
    std::string Find(const std::string &name)
    {
        if (name.empty() || name == "." || name == "..")
            return std::string();
        if (!gathered_)
            Gather();
        for (Folder &folder : folders_) {
            const std::string prefix = folder.path == "/" ? folder.path : folder.path + "/";
            struct stat info;
            std::string entry = name;
            if (lstat((prefix + name).c_str(), &info) != 0)
                entry = folder.Match(name);
            if (!entry.empty() && IsFile(prefix + entry))
                return prefix + entry;
        }
        return std::string();
    }

private:
    void Gather()
    {
        gathered_ = true;
        char buffer[PATH_MAX];
        const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (length > 0)
            Add(FolderOf(std::string(buffer, static_cast<size_t>(length))));
        if (getcwd(buffer, sizeof buffer))
            Add(buffer);
        Add(UnixPath(kSystemDir));
        Add(UnixPath((std::string(kWindowsDir) + "\\System").c_str()));
        Add(UnixPath(kWindowsDir));
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
                    Add(separator == ';' ? UnixPath(entry.c_str()) : entry);
                start = end + 1;
            }
        }
    }

    struct Folder {
        std::string path;
        bool listed = false;
        std::unordered_map<std::string, std::string> byFolded; // folded name -> first entry in byte order

        std::string Match(const std::string &name)
        {
            if (!listed) {
                listed = true;
                if (DIR *dir = opendir(path.c_str())) {
                    while (const dirent *found = readdir(dir)) {
                        const std::string entry = found->d_name;
                        std::string &best = byFolded[platform::FoldedName(entry)];
                        if (best.empty() || entry < best)
                            best = entry;
                    }
                    closedir(dir);
                }
            }
            auto found = byFolded.find(platform::FoldedName(name));
            return found == byFolded.end() ? std::string() : found->second;
        }
    };

    void Add(const std::string &path)
    {
        for (const Folder &folder : folders_)
            if (folder.path == path)
                return;
        folders_.emplace_back();
        folders_.back().path = path;
    }

    bool gathered_ = false;
    std::vector<Folder> folders_;
};

// The Unix path of the file `name` names (".exe" added where it has no
// extension when `addExtension`), or "" with *error set. A bare name is
// looked for in `folders`.
std::string Locate(const std::string &name, bool addExtension, SearchFolders &folders, DWORD *error)
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
    const std::string found = folders.Find(full);
    if (found.empty())
        *error = ERROR_FILE_NOT_FOUND;
    return found;
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
    SearchFolders folders;
    // Nothing found: the first word's failure is the one reported.
    DWORD firstError = 0;
    bool found = false;
    auto tryName = [&](const std::string &candidate) {
        DWORD error = 0;
        const std::string unixPath = Locate(candidate, true, folders, &error);
        if (!unixPath.empty() && IsFile(unixPath)) {
            found = true;
            return Describe(unixPath, commandLine, program);
        }
        if (!firstError)
            firstError = unixPath.empty() ? error : ERROR_ACCESS_DENIED; // a folder
        return firstError;
    };
    if (line[0] == '"') {
        const size_t close = line.find('"', 1);
        return tryName(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    }
    // Unquoted: every prefix that ends before a blank, shortest first, then
    // the line without its trailing blanks. A prefix without a folder that
    // is longer than a file name can be names nothing; once a prefix is
    // longer than a path can be, no longer one names a file either and the
    // search ends. So a long line costs no more than its first few thousand
    // bytes, however many words it has.
    bool folder = false; // a separator so far
    size_t tried = 0;    // end of the last prefix looked at
    for (size_t at = 0; at <= line.size(); ++at) {
        const bool end = at == line.size();
        if (end || (IsBlank(line[at]) && at > 0 && !IsBlank(line[at - 1]))) {
            size_t cut = at;
            while (end && cut > 0 && IsBlank(line[cut - 1]))
                --cut;
            if (cut == tried || (tried > 0 && cut > PATH_MAX))
                break;
            if (tried == 0 || folder || cut <= NAME_MAX) {
                const DWORD result = tryName(line.substr(0, cut));
                if (found)
                    return result;
            }
            tried = cut;
        }
        if (!end && (line[at] == '\\' || line[at] == '/' || line[at] == ':'))
            folder = true;
    }
    return firstError;
}

DWORD FindProgramFile(const std::string &windowsPath, const std::string &commandLine, Program *program)
{
    DWORD error = ERROR_FILE_NOT_FOUND;
    SearchFolders folders;
    const std::string unixPath =
        HasFolder(windowsPath) ? Locate(windowsPath, false, folders, &error) : UnixPath(windowsPath.c_str());
    if (unixPath.empty())
        return error;
    struct stat info;
    if (stat(unixPath.c_str(), &info) != 0)
        return platform::MissingPathError(unixPath);
    return Describe(unixPath, commandLine.empty() ? QuoteArgument(windowsPath) : commandLine, program);
}

} // namespace machine
