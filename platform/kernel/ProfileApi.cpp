// WritePrivateProfileStringA and GetPrivateProfileStringA over the profile
// files of the machine root. Each call holds the file's lock while it reads
// it (shared) or reads and replaces it (exclusive), so that calls in several
// processes never mix their changes (LockedProfile.h).
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "ErrorCodes.h"
#include "FileAttributes.h"
#include "LockedProfile.h"
#include "PathResolution.h"
#include "ProfileFile.h"
#include "machine/MachineRoot.h"
#include "machine/Profiles.h"
#include "winbase.h"
#include "winerror.h"

namespace {

// A profile file by its Windows name: one without a folder lies in the
// Windows folder.
bool ProfilePath(const char *fileName, std::string *path)
{
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::string name = fileName;
    if (name.find_first_of("\\/") == std::string::npos && !(name.size() >= 2 && name[1] == ':'))
        name = std::string(machine::kWindowsDir) + "\\" + name;
    return platform::MapWindowsName(name.c_str(), path);
}

std::string TrimRight(const char *text)
{
    std::string trimmed = text ? text : "";
    while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t'))
        trimmed.pop_back();
    return trimmed;
}

// One enclosing pair of quotes comes off a value.
std::string Unquoted(const std::string &value)
{
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

DWORD CopyText(const std::string &text, LPSTR buffer, DWORD size)
{
    if (!buffer || size == 0)
        return 0;
    const size_t count = text.size() < size ? text.size() : size - 1;
    memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<DWORD>(count);
}

// Names, each with its NUL, then one more NUL; cut short, the list still
// ends with two NULs.
DWORD CopyList(const std::vector<std::string> &names, LPSTR buffer, DWORD size)
{
    if (!buffer || size == 0)
        return 0;
    std::string list;
    for (const std::string &name : names)
        list += name + '\0';
    if (list.size() + 1 <= size) {
        memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = '\0';
        return static_cast<DWORD>(list.size());
    }
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
}

// The text of a profile file opened for a change; false with the last
// error set when it did not open or cannot be read.
bool ReadForChange(platform::LockedProfile &file, const std::string &path, std::string *text)
{
    if (!file.Open()) {
        platform::SetLastErrorForPath(file.Error(), path);
        return false;
    }
    if (!file.Read(text)) {
        SetLastError(platform::ErrorFromErrno(errno));
        return false;
    }
    return true;
}

} // namespace

BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName)
{
    std::string path;
    if (!ProfilePath(lpFileName, &path))
        return FALSE;
    if (!lpAppName) {
        // All three NULL asks Windows to write its cached files; here every
        // change is written at once.
        if (!lpKeyName && !lpString)
            return TRUE;
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const bool removing = !lpKeyName || !lpString;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        if (removing && errno == ENOENT)
            return TRUE; // nothing to take out of a file that is not there
    } else if (S_ISDIR(info.st_mode) || platform::IsReadOnly(info)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    platform::LockedProfile file(path, platform::LockedProfile::Mode::Change);
    std::string text;
    if (!ReadForChange(file, path, &text))
        return FALSE;
    platform::ProfileFile profile(text);
    bool changed = true;
    if (!lpKeyName)
        changed = profile.RemoveSection(lpAppName);
    else if (!lpString)
        changed = profile.RemoveKey(lpAppName, lpKeyName);
    else
        profile.Set(lpAppName, lpKeyName, lpString);
    if (changed && !file.Replace(profile.Text())) {
        SetLastError(platform::ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                      LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName)
{
    std::string path;
    std::string text;
    if (ProfilePath(lpFileName, &path)) {
        platform::LockedProfile file(path, platform::LockedProfile::Mode::Read);
        if (file.Open())
            file.Read(&text);
    }
    const platform::ProfileFile profile(text);
    if (!lpAppName)
        return CopyList(profile.Sections(), lpReturnedString, nSize);
    if (!lpKeyName) {
        std::vector<std::string> keys;
        for (const platform::ProfileFile::Entry &entry : profile.Entries(lpAppName))
            keys.push_back(entry.first);
        return CopyList(keys, lpReturnedString, nSize);
    }
    std::string value;
    if (!profile.Find(lpAppName, lpKeyName, &value))
        value = TrimRight(lpDefault);
    else
        value = Unquoted(value);
    return CopyText(value, lpReturnedString, nSize);
}

namespace machine {

bool AddProfileLine(const char *fileName, const char *section, const char *key, const char *value)
{
    if (!section || !key || !value || !*key || strpbrk(section, "\r\n]") || strpbrk(key, "\r\n=") ||
        strpbrk(value, "\r\n")) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::string path;
    if (!ProfilePath(fileName, &path))
        return false;
    // Only a regular file, or none yet: this line is written by programs
    // that may run as the host's administrator, so no link is followed.
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && (!S_ISREG(info.st_mode) || platform::IsReadOnly(info))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    platform::LockedProfile file(path, platform::LockedProfile::Mode::ChangeOwnFile);
    std::string text;
    if (!ReadForChange(file, path, &text))
        return false;
    platform::ProfileFile profile(text);
    profile.Add(section, key, value);
    if (!file.Replace(profile.Text())) {
        SetLastError(platform::ErrorFromErrno(errno));
        return false;
    }
    return true;
}

} // namespace machine
