// WritePrivateProfileStringA and GetPrivateProfileStringA over the profile
// files of the machine root. Each call holds an flock on the file while it
// reads it (shared) or reads and rewrites it (exclusive), so that calls in
// several processes never mix their changes.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "ErrorCodes.h"
#include "FileAttributes.h"
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

// An open profile file under its flock; closed at the end. A file that is
// replaced by a new one (renamed over it) while the lock is awaited is
// opened anew, so that the lock is always held on the file the name names.
class LockedFile {
public:
    LockedFile(const std::string &path, bool write)
    {
        for (int tries = 0; tries < kReplacedTries; ++tries) {
            if (!OpenAndLock(path, write) || NamesLockedFile(path))
                return;
            close(fd_);
            fd_ = -1;
        }
        error_ = EAGAIN;
    }
    ~LockedFile()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    LockedFile(const LockedFile &) = delete;
    LockedFile &operator=(const LockedFile &) = delete;

    bool Open() const { return fd_ >= 0; }
    int Error() const { return error_; }
    int Descriptor() const { return fd_; }

    bool Read(std::string *text)
    {
        text->clear();
        char buffer[65536];
        for (;;) {
            const ssize_t got = pread(fd_, buffer, sizeof buffer, static_cast<off_t>(text->size()));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return false;
            if (got == 0)
                return true;
            text->append(buffer, static_cast<size_t>(got));
        }
    }

    bool Write(const std::string &text)
    {
        if (ftruncate(fd_, 0) != 0)
            return false;
        size_t done = 0;
        while (done < text.size()) {
            const ssize_t wrote = pwrite(fd_, text.data() + done, text.size() - done, static_cast<off_t>(done));
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0)
                return false;
            done += static_cast<size_t>(wrote);
        }
        return true;
    }

private:
    // Others replace a file rarely; a name that keeps changing under the
    // lock is given up on.
    static constexpr int kReplacedTries = 100;

    bool OpenAndLock(const std::string &path, bool write)
    {
        do {
            fd_ = open(path.c_str(), (write ? O_RDWR | O_CREAT : O_RDONLY) | O_CLOEXEC, 0666);
        } while (fd_ < 0 && errno == EINTR);
        if (fd_ < 0) {
            error_ = errno;
            return false;
        }
        while (flock(fd_, write ? LOCK_EX : LOCK_SH) != 0) {
            if (errno != EINTR) {
                error_ = errno;
                close(fd_);
                fd_ = -1;
                return false;
            }
        }
        return true;
    }

    bool NamesLockedFile(const std::string &path) const
    {
        struct stat locked, named;
        return fstat(fd_, &locked) == 0 && stat(path.c_str(), &named) == 0 && locked.st_dev == named.st_dev &&
               locked.st_ino == named.st_ino;
    }

    int fd_ = -1;
    int error_ = 0;
};

// The text of a profile file opened for a change (and, when asked, what
// fstat says of it); false with the last error set when it did not open or
// cannot be read.
bool ReadOpened(LockedFile &file, const std::string &path, std::string *text, struct stat *info = nullptr)
{
    if (!file.Open()) {
        platform::SetLastErrorForPath(file.Error(), path);
        return false;
    }
    if (!file.Read(text) || (info && fstat(file.Descriptor(), info) != 0)) {
        SetLastError(platform::ErrorFromErrno(errno));
        return false;
    }
    return true;
}

// Writes `text` as a new file beside `path` and renames it over `path`:
// readers see the old text or the new, never a part. The new file takes
// the permissions of `like`.
bool ReplaceWhole(const std::string &path, const std::string &text, const struct stat &like)
{
    std::string name = path + ".~XXXXXX";
    const int fd = mkstemp(&name[0]);
    if (fd < 0) {
        SetLastError(platform::ErrorFromErrno(errno));
        return false;
    }
    size_t done = 0;
    bool ok = fchmod(fd, like.st_mode & 0777) == 0;
    while (ok && done < text.size()) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        ok = wrote > 0;
        if (ok)
            done += static_cast<size_t>(wrote);
    }
    ok = ok && fsync(fd) == 0;
    const int error = ok ? 0 : (errno ? errno : ENOSPC);
    ok = close(fd) == 0 && ok;
    if (ok && rename(name.c_str(), path.c_str()) == 0)
        return true;
    SetLastError(platform::ErrorFromErrno(error ? error : errno));
    unlink(name.c_str());
    return false;
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
    LockedFile file(path, true);
    std::string text;
    if (!ReadOpened(file, path, &text))
        return FALSE;
    platform::ProfileFile profile(text);
    bool changed = true;
    if (!lpKeyName)
        changed = profile.RemoveSection(lpAppName);
    else if (!lpString)
        changed = profile.RemoveKey(lpAppName, lpKeyName);
    else
        profile.Set(lpAppName, lpKeyName, lpString);
    if (changed && !file.Write(profile.Text())) {
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
        LockedFile file(path, false);
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
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && (S_ISDIR(info.st_mode) || platform::IsReadOnly(info))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    LockedFile file(path, true);
    std::string text;
    if (!ReadOpened(file, path, &text, &info))
        return false;
    platform::ProfileFile profile(text);
    profile.Add(section, key, value);
    // Renamed over while the lock is held: a writer waiting for the lock
    // finds the file replaced and takes the new one.
    return ReplaceWhole(path, profile.Text(), info);
}

} // namespace machine
