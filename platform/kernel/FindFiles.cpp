// Folder searches: FindFirstFileA, FindNextFileA and FindClose.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "ErrorCodes.h"
#include "FileAttributes.h"
#include "Handles.h"
#include "PathResolution.h"
#include "fileapi.h"
#include "machine/Paths.h"
#include "winbase.h"
#include "winerror.h"

namespace {

// What one search found, handed out entry by entry.
class FolderSearch final : public platform::KernelObject {
public:
    explicit FolderSearch(std::vector<WIN32_FIND_DATAA> entries) : entries_(std::move(entries)) {}

    bool Next(WIN32_FIND_DATAA *data)
    {
        if (next_ >= entries_.size())
            return false;
        *data = entries_[next_++];
        return true;
    }

private:
    std::vector<WIN32_FIND_DATAA> entries_;
    size_t next_ = 0;
};

char Fold(char c) { return static_cast<char>(toupper(static_cast<unsigned char>(c))); }

// "*" matches any run of characters, "?" any one; letters match without
// regard to case.
bool Glob(const char *name, const char *pattern)
{
    const char *starName = nullptr;
    const char *starPattern = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || (*pattern && Fold(*pattern) == Fold(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

// Windows' rules on top: "name.*" also takes "name" without an extension
// (so "*.*" takes every name), and "name." only names without one.
bool Matches(const std::string &name, const std::string &pattern)
{
    if (Glob(name.c_str(), pattern.c_str()))
        return true;
    const size_t size = pattern.size();
    if (size >= 2 && pattern.compare(size - 2, 2, ".*") == 0)
        return Glob(name.c_str(), pattern.substr(0, size - 2).c_str());
    if (size >= 1 && pattern[size - 1] == '.' && name.find('.') == std::string::npos)
        return Glob(name.c_str(), pattern.substr(0, size - 1).c_str());
    return false;
}

// The entry `name` of `folder`, as a search reports it; false when its
// name does not fit.
bool Describe(const std::string &folder, const std::string &name, WIN32_FIND_DATAA *data)
{
    if (name.size() >= sizeof data->cFileName)
        return false;
    memset(data, 0, sizeof *data);
    const std::string path = folder + "/" + name;
    struct stat info;
    if (stat(path.c_str(), &info) != 0 && lstat(path.c_str(), &info) != 0)
        memset(&info, 0, sizeof info); // gone meanwhile: a file of no size
    data->dwFileAttributes = platform::AttributesOf(info);
    data->ftCreationTime = platform::FileTimeOf(info.st_mtim);
    data->ftLastAccessTime = platform::FileTimeOf(info.st_atim);
    data->ftLastWriteTime = platform::FileTimeOf(info.st_mtim);
    if (!S_ISDIR(info.st_mode)) {
        const uint64_t size = static_cast<uint64_t>(info.st_size);
        data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
        data->nFileSizeLow = static_cast<DWORD>(size);
    }
    memcpy(data->cFileName, name.c_str(), name.size() + 1);
    return true;
}

} // namespace

bool platform::ListingOrderLess(const std::string &a, const std::string &b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Fold(x) < Fold(y); });
}

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData)
{
    if (!lpFileName || !lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    // The folder part, up to the last separator (or after "X:"), and the pattern.
    const std::string whole = lpFileName;
    size_t cut = whole.find_last_of("\\/");
    if (cut == std::string::npos && whole.size() >= 2 && whole[1] == ':')
        cut = 1;
    const std::string folderName = cut == std::string::npos ? "." : whole.substr(0, cut + 1);
    const std::string pattern = cut == std::string::npos ? whole : whole.substr(cut + 1);
    if (pattern.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (pattern.find_first_of("<>\"|:") != std::string::npos) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_HANDLE_VALUE;
    }
    std::string folder;
    if (!platform::MapWindowsName(folderName.c_str(), &folder))
        return INVALID_HANDLE_VALUE;
    struct stat info;
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    DIR *dir = opendir(folder.c_str());
    if (!dir) {
        SetLastError(platform::ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    std::vector<std::string> names;
    while (dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && Matches(name, pattern))
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), platform::ListingOrderLess);
    // A drive's root has no "." and "..", every other folder lists them first.
    if (machine::WindowsPath(folder).size() > 3)
        for (const char *special : {"..", "."})
            if (Matches(special, pattern))
                names.insert(names.begin(), special);

    std::vector<WIN32_FIND_DATAA> entries;
    for (const std::string &name : names) {
        WIN32_FIND_DATAA data;
        if (Describe(folder, name, &data))
            entries.push_back(data);
    }
    if (entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto search = std::make_shared<FolderSearch>(std::move(entries));
    search->Next(lpFindFileData);
    SetLastError(ERROR_SUCCESS);
    return platform::InsertHandle(search);
}

BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData)
{
    auto search = platform::LookupHandleAs<FolderSearch>(hFindFile);
    if (!search || !lpFindFileData) {
        SetLastError(search ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!search->Next(lpFindFileData)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile)
{
    if (!platform::LookupHandleAs<FolderSearch>(hFindFile) || !platform::RemoveHandle(hFindFile)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
