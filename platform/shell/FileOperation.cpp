// SHFileOperationA: copying, moving and deleting files and folder trees.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "kernel/ErrorCodes.h"
#include "kernel/PathResolution.h"
#include "machine/Paths.h"
#include "shellapi.h"
#include "winbase.h"
#include "winerror.h"

namespace {

// One entry of pFrom, with what it stands for.
struct Source {
    std::string unixPath;
    std::string name; // last component as it is on disk
};

std::vector<std::string> ParseList(const char *list)
{
    std::vector<std::string> entries;
    if (!list)
        return entries;
    for (const char *at = list; *at; at += std::char_traits<char>::length(at) + 1)
        entries.push_back(at);
    return entries;
}

bool HasWildcard(const std::string &name) { return name.find_first_of("*?") != std::string::npos; }

std::string LastComponent(const std::string &path)
{
    const size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FolderPart(const std::string &path)
{
    const size_t cut = path.find_last_of("\\/:");
    if (cut == std::string::npos)
        return ".";
    if (path[cut] == ':')
        return path.substr(0, cut + 1);
    return cut == 0 || (cut == 2 && path[1] == ':') ? path.substr(0, cut + 1) : path.substr(0, cut);
}

char Fold(char c) { return static_cast<char>(tolower(static_cast<unsigned char>(c))); }

// Windows wildcards without regard to case; "*.*" takes every name, and a
// trailing ".*" also names without an extension.
bool Matches(const char *pattern, const char *name)
{
    if (!*pattern)
        return !*name;
    if (pattern[0] == '.' && pattern[1] == '*' && !pattern[2] && !*name)
        return true;
    if (*pattern == '*') {
        for (const char *at = name;; ++at) {
            if (Matches(pattern + 1, at))
                return true;
            if (!*at)
                return false;
        }
    }
    if (!*name)
        return false;
    if (*pattern == '?' || Fold(*pattern) == Fold(*name))
        return Matches(pattern + 1, name + 1);
    return false;
}

bool MatchesName(const std::string &pattern, const std::string &name)
{
    return pattern == "*.*" || Matches(pattern.c_str(), name.c_str());
}

bool IsFolder(const std::string &unixPath)
{
    struct stat info;
    return stat(unixPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> Entries(const std::string &folder)
{
    std::vector<std::string> names;
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return names;
    while (dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Child(const std::string &folder, const std::string &name)
{
    return (folder == "/" ? folder : folder + "/") + name;
}

// The entries one item of pFrom names; 0 or the error.
DWORD Expand(const std::string &entry, FILEOP_FLAGS flags, std::vector<Source> *sources, bool *wildcard)
{
    const std::string last = LastComponent(entry);
    *wildcard = HasWildcard(last);
    if (!*wildcard) {
        std::string unixPath;
        if (!platform::MapWindowsName(entry.c_str(), &unixPath))
            return GetLastError();
        struct stat info;
        if (lstat(unixPath.c_str(), &info) != 0)
            return platform::MissingPathError(unixPath);
        sources->push_back({unixPath, unixPath.substr(unixPath.rfind('/') + 1)});
        return 0;
    }
    const std::string folderName = FolderPart(entry);
    std::string folder;
    if (HasWildcard(folderName) || !platform::MapWindowsName(folderName.c_str(), &folder))
        return ERROR_INVALID_NAME;
    if (!IsFolder(folder))
        return ERROR_PATH_NOT_FOUND;
    const size_t before = sources->size();
    for (const std::string &name : Entries(folder)) {
        if (!MatchesName(last, name))
            continue;
        const std::string unixPath = Child(folder, name);
        if ((flags & (FOF_FILESONLY | FOF_NORECURSION)) && IsFolder(unixPath))
            continue;
        sources->push_back({unixPath, name});
    }
    return sources->size() == before ? ERROR_FILE_NOT_FOUND : 0;
}

// Makes the folder and its missing parents.
DWORD MakeFolders(const std::string &unixPath)
{
    for (size_t slash = unixPath.find('/', 1);; slash = unixPath.find('/', slash + 1)) {
        const std::string partial = unixPath.substr(0, slash);
        if (mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST)
            return platform::ErrorFromErrno(errno);
        if (slash == std::string::npos)
            break;
    }
    return IsFolder(unixPath) ? 0 : ERROR_ALREADY_EXISTS;
}

// Removes a file, a link or a folder tree; links are never followed.
DWORD RemoveTree(const std::string &unixPath)
{
    struct stat info;
    if (lstat(unixPath.c_str(), &info) != 0)
        return platform::MissingPathError(unixPath);
    if (S_ISDIR(info.st_mode)) {
        for (const std::string &name : Entries(unixPath))
            if (DWORD error = RemoveTree(Child(unixPath, name)))
                return error;
        if (rmdir(unixPath.c_str()) != 0)
            return platform::ErrorFromErrno(errno);
        return 0;
    }
    if (unlink(unixPath.c_str()) != 0)
        return platform::ErrorFromErrno(errno);
    return 0;
}

bool WriteAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t wrote = write(fd, data, size);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        data += wrote;
        size -= static_cast<size_t>(wrote);
    }
    return true;
}

// Copies a file's bytes, permissions and times into a new file that then
// replaces `to` (so a program that runs from `to` keeps its old copy).
DWORD CopyFileContents(const std::string &from, const struct stat &info, const std::string &to)
{
    const int source = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return platform::ErrorFromErrno(errno);
    const std::string temporary = to + ".~copy";
    const int target = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (target < 0) {
        const int error = errno;
        close(source);
        return error == ENOENT ? ERROR_PATH_NOT_FOUND : platform::ErrorFromErrno(error);
    }
    DWORD result = 0;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(source, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            result = platform::ErrorFromErrno(errno);
        if (got <= 0)
            break;
        if (!WriteAll(target, buffer, static_cast<size_t>(got))) {
            result = errno == ENOSPC ? ERROR_DISK_FULL : platform::ErrorFromErrno(errno);
            break;
        }
    }
    close(source);
    fchmod(target, info.st_mode & 07777);
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    futimens(target, times);
    if (close(target) != 0 && !result)
        result = platform::ErrorFromErrno(errno);
    if (!result && rename(temporary.c_str(), to.c_str()) != 0)
        result = platform::ErrorFromErrno(errno);
    if (result)
        unlink(temporary.c_str());
    return result;
}

// Whether `inner` lies within the folder `outer` (or is it).
bool WithinTree(const std::string &inner, const std::string &outer)
{
    char innerReal[PATH_MAX], outerReal[PATH_MAX];
    if (!realpath(outer.c_str(), outerReal))
        return false;
    // `inner` may not exist yet: its nearest existing folder decides.
    std::string probe = inner;
    while (!realpath(probe.c_str(), innerReal)) {
        const size_t slash = probe.rfind('/');
        if (slash == std::string::npos || slash == 0)
            return false;
        probe.erase(slash);
    }
    const std::string in = innerReal, out = outerReal;
    return in == out || (in.size() > out.size() && in.compare(0, out.size(), out) == 0 &&
                         (out == "/" || in[out.size()] == '/'));
}

DWORD CopyTree(const std::string &from, const std::string &to)
{
    struct stat info;
    if (stat(from.c_str(), &info) != 0)
        return platform::MissingPathError(from);
    struct stat existing;
    const bool exists = stat(to.c_str(), &existing) == 0;
    if (exists && existing.st_dev == info.st_dev && existing.st_ino == info.st_ino)
        return DE_SAMEFILE;
    if (!S_ISDIR(info.st_mode)) {
        if (exists && S_ISDIR(existing.st_mode))
            return ERROR_ACCESS_DENIED;
        return CopyFileContents(from, info, to);
    }
    if (WithinTree(to, from))
        return DE_DESTSUBTREE;
    if (exists && !S_ISDIR(existing.st_mode))
        return ERROR_ALREADY_EXISTS;
    if (!exists && mkdir(to.c_str(), info.st_mode & 07777) != 0)
        return errno == ENOENT ? ERROR_PATH_NOT_FOUND : platform::ErrorFromErrno(errno);
    for (const std::string &name : Entries(from))
        if (DWORD error = CopyTree(Child(from, name), Child(to, name)))
            return error;
    return 0;
}

DWORD MoveTree(const std::string &from, const std::string &to)
{
    struct stat info, existing;
    if (lstat(from.c_str(), &info) != 0)
        return platform::MissingPathError(from);
    const bool exists = lstat(to.c_str(), &existing) == 0;
    if (exists && existing.st_dev == info.st_dev && existing.st_ino == info.st_ino)
        return DE_SAMEFILE;
    if (S_ISDIR(info.st_mode) && WithinTree(to, from))
        return DE_DESTSUBTREE;
    // A folder onto a folder merges; everything else is renamed in place.
    if (!(exists && S_ISDIR(info.st_mode) && S_ISDIR(existing.st_mode))) {
        if (exists && S_ISDIR(existing.st_mode))
            return ERROR_ACCESS_DENIED;
        if (rename(from.c_str(), to.c_str()) == 0)
            return 0;
        if (errno != EXDEV)
            return errno == ENOENT ? ERROR_PATH_NOT_FOUND : platform::ErrorFromErrno(errno);
    }
    if (DWORD error = CopyTree(from, to))
        return error;
    return RemoveTree(from);
}

// Where each source goes: into the folder `to`, or to the name `to`.
DWORD Transfer(UINT function, const std::vector<Source> &sources, const std::string &to, bool intoFolder)
{
    for (const Source &source : sources) {
        const std::string target = intoFolder ? Child(to, source.name) : to;
        const DWORD error = function == FO_COPY ? CopyTree(source.unixPath, target) : MoveTree(source.unixPath, target);
        if (error)
            return error;
    }
    return 0;
}

std::string CurrentFolder()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? buffer : ".";
}

DWORD CopyOrMove(UINT function, const std::vector<std::string> &from, const std::vector<std::string> &to,
                 FILEOP_FLAGS flags)
{
    if ((flags & FOF_MULTIDESTFILES) && to.size() != from.size() && to.size() != 1)
        return ERROR_INVALID_PARAMETER;
    if (!(flags & FOF_MULTIDESTFILES) && to.size() > 1)
        return DE_MANYSRC1DEST;
    for (size_t i = 0; i < from.size(); ++i) {
        std::vector<Source> sources;
        bool wildcard = false;
        if (DWORD error = Expand(from[i], flags, &sources, &wildcard))
            return error;
        const bool ownTarget = (flags & FOF_MULTIDESTFILES) && to.size() == from.size();
        std::string target;
        if (to.empty())
            target = CurrentFolder();
        else if (!platform::MapWindowsName(to[ownTarget ? i : 0].c_str(), &target))
            return GetLastError();
        // One named item to a name that is not a folder: that is its new
        // name. Anything else goes into the folder, made where missing.
        const bool single = !wildcard && (from.size() == 1 || ownTarget);
        if (single && !IsFolder(target)) {
            const size_t slash = target.rfind('/');
            if (slash != std::string::npos && slash > 0)
                if (DWORD error = MakeFolders(target.substr(0, slash)))
                    return error;
            if (DWORD error = Transfer(function, sources, target, false))
                return error;
            continue;
        }
        if (DWORD error = MakeFolders(target))
            return error;
        if (DWORD error = Transfer(function, sources, target, true))
            return error;
    }
    return 0;
}

DWORD Delete(const std::vector<std::string> &from, FILEOP_FLAGS flags)
{
    for (const std::string &entry : from) {
        std::vector<Source> sources;
        bool wildcard = false;
        if (DWORD error = Expand(entry, flags, &sources, &wildcard))
            return error;
        for (const Source &source : sources)
            if (DWORD error = RemoveTree(source.unixPath))
                return error;
    }
    return 0;
}

} // namespace

int WINAPI SHFileOperationA(LPSHFILEOPSTRUCTA lpFileOp)
{
    if (!lpFileOp)
        return ERROR_INVALID_PARAMETER;
    lpFileOp->fAnyOperationsAborted = FALSE;
    lpFileOp->hNameMappings = nullptr;
    const std::vector<std::string> from = ParseList(lpFileOp->pFrom);
    if (from.empty())
        return ERROR_INVALID_PARAMETER;
    DWORD result;
    switch (lpFileOp->wFunc) {
    case FO_COPY:
    case FO_MOVE: result = CopyOrMove(lpFileOp->wFunc, from, ParseList(lpFileOp->pTo), lpFileOp->fFlags); break;
    case FO_DELETE: result = Delete(from, lpFileOp->fFlags); break;
    default: result = ERROR_INVALID_PARAMETER; break;
    }
    return static_cast<int>(result);
}
