// Files and folders by name: delete, attributes, folders, move and copy, and
// the current folder.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "ErrorCodes.h"
#include "FileAttributes.h"
#include "FileObject.h"
#include "PathResolution.h"
#include "PendingRenames.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "psapi/MachineProcesses.h"
#include "winbase.h"
#include "winerror.h"

namespace {

using platform::MapWindowsName;
using platform::SetLastErrorForPath;

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

// Copies the file `from` to `to` (created with `from`'s permissions; an
// existing `to` is replaced unless `exclusive`).
BOOL CopyContents(const std::string &from, const std::string &to, bool exclusive)
{
    const int source = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return SetLastErrorForPath(errno, from), FALSE;
    struct stat info;
    if (fstat(source, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(source);
        return Fail(ERROR_ACCESS_DENIED);
    }
    struct stat existing;
    if (stat(to.c_str(), &existing) == 0) {
        if (exclusive) {
            close(source);
            return Fail(ERROR_FILE_EXISTS);
        }
        if (S_ISDIR(existing.st_mode) || platform::IsReadOnly(existing)) {
            close(source);
            return Fail(ERROR_ACCESS_DENIED);
        }
        if (existing.st_dev == info.st_dev && existing.st_ino == info.st_ino) {
            close(source);
            return Fail(ERROR_SHARING_VIOLATION);
        }
    }
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
    const int target = open(to.c_str(), flags, info.st_mode & 07777);
    if (target < 0) {
        const int error = errno;
        close(source);
        return SetLastErrorForPath(error, to), FALSE;
    }
    char buffer[65536];
    BOOL ok = TRUE;
    for (;;) {
        ssize_t n = read(source, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n < 0)
                ok = Fail(platform::ErrorFromErrno(errno));
            break;
        }
        for (ssize_t written = 0; written < n;) {
            ssize_t w = write(target, buffer + written, static_cast<size_t>(n - written));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                ok = Fail(w < 0 ? platform::ErrorFromErrno(errno) : ERROR_DISK_FULL);
                break;
            }
            written += w;
        }
        if (!ok)
            break;
    }
    fchmod(target, info.st_mode & 07777);
    close(source);
    if (close(target) != 0 && ok)
        ok = Fail(platform::ErrorFromErrno(errno));
    return ok;
}

std::string FolderOf(const std::string &path)
{
    std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string LastComponent(const char *windowsName)
{
    std::string name = windowsName;
    while (!name.empty() && (name.back() == '\\' || name.back() == '/'))
        name.pop_back();
    std::string::size_type cut = name.find_last_of("\\/:");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

} // namespace

BOOL WINAPI DeleteFileA(LPCSTR lpFileName)
{
    std::string path;
    if (!MapWindowsName(lpFileName, &path))
        return FALSE;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return SetLastErrorForPath(errno, path), FALSE;
    if (S_ISDIR(info.st_mode) || (S_ISREG(info.st_mode) && platform::IsReadOnly(info)))
        return Fail(ERROR_ACCESS_DENIED);
    if (!platform::FileObject::DeletionShared(path))
        return Fail(ERROR_SHARING_VIOLATION);
    // The program file of a running process of this machine cannot be
    // deleted, as Windows keeps a running image. Only a file that can be
    // run at all is looked for.
    if (S_ISREG(info.st_mode) && (info.st_mode & 0111) &&
        psapi::MachineRunsProgram(info.st_dev, info.st_ino, machine::RootPath()))
        return Fail(ERROR_ACCESS_DENIED);
    if (unlink(path.c_str()) != 0)
        return SetLastErrorForPath(errno, path), FALSE;
    return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName)
{
    std::string path;
    if (!MapWindowsName(lpFileName, &path))
        return INVALID_FILE_ATTRIBUTES;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        SetLastErrorForPath(errno, path);
        return INVALID_FILE_ATTRIBUTES;
    }
    return platform::AttributesOf(info);
}

BOOL WINAPI SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes)
{
    std::string path;
    if (!MapWindowsName(lpFileName, &path))
        return FALSE;
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return SetLastErrorForPath(errno, path), FALSE;
    if (S_ISDIR(info.st_mode))
        return TRUE; // a folder's read-only flag means nothing to Windows either
    mode_t mode = info.st_mode & 07777;
    mode = (dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? mode & ~(S_IWUSR | S_IWGRP | S_IWOTH)
                                                         : mode | S_IWUSR;
    if (chmod(path.c_str(), mode) != 0)
        return Fail(platform::ErrorFromErrno(errno));
    return TRUE;
}

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES)
{
    std::string path;
    if (!MapWindowsName(lpPathName, &path))
        return FALSE;
    if (mkdir(path.c_str(), 0777) != 0) {
        if (errno == EEXIST)
            return Fail(ERROR_ALREADY_EXISTS);
        return Fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : platform::ErrorFromErrno(errno));
    }
    return TRUE;
}

BOOL WINAPI RemoveDirectoryA(LPCSTR lpPathName)
{
    std::string path;
    if (!MapWindowsName(lpPathName, &path))
        return FALSE;
    if (rmdir(path.c_str()) != 0) {
        switch (errno) {
        case ENOTDIR: return Fail(ERROR_DIRECTORY);
        case EEXIST:
        case ENOTEMPTY: return Fail(ERROR_DIR_NOT_EMPTY);
        default: return SetLastErrorForPath(errno, path), FALSE;
        }
    }
    return TRUE;
}

namespace {

// Moves the entry `from` to `to` (Unix paths; `newName` is the Windows name
// that was asked for, whose spelling a rename that changes only case takes).
// An existing `to` is replaced only when `replace` and it is a file that is
// not read-only; across file systems files are copied when `copyAllowed`,
// folders never, as on Windows.
BOOL MoveEntry(const std::string &from, const std::string &to, const char *newName, bool replace, bool copyAllowed)
{
    struct stat source, target;
    if (lstat(from.c_str(), &source) != 0)
        return SetLastErrorForPath(errno, from), FALSE;
    std::string destination = to;
    if (lstat(to.c_str(), &target) == 0) {
        if (source.st_dev == target.st_dev && source.st_ino == target.st_ino) {
            // The same entry under another case: a rename that changes only case.
            destination = FolderOf(to) + "/" + LastComponent(newName);
            if (destination == from)
                return TRUE;
            if (rename(from.c_str(), destination.c_str()) != 0)
                return Fail(platform::ErrorFromErrno(errno));
            return TRUE;
        }
        if (!replace)
            return Fail(ERROR_ALREADY_EXISTS);
        if (S_ISDIR(source.st_mode) || S_ISDIR(target.st_mode) || platform::IsReadOnly(target))
            return Fail(ERROR_ACCESS_DENIED);
        if (rename(from.c_str(), to.c_str()) == 0)
            return TRUE;
    } else {
        if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return TRUE;
        if (errno == EINVAL && rename(from.c_str(), to.c_str()) == 0)
            return TRUE; // a file system without RENAME_NOREPLACE
        if (errno == EEXIST)
            return Fail(ERROR_ALREADY_EXISTS);
    }
    if (errno == EXDEV) {
        if (S_ISDIR(source.st_mode) || !copyAllowed)
            return Fail(ERROR_NOT_SAME_DEVICE);
        if (!CopyContents(from, to, !replace))
            return FALSE;
        unlink(from.c_str());
        return TRUE;
    }
    return SetLastErrorForPath(errno, errno == ENOENT ? to : from), FALSE;
}

} // namespace

BOOL WINAPI MoveFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName)
{
    std::string from, to;
    if (!MapWindowsName(lpExistingFileName, &from) || !MapWindowsName(lpNewFileName, &to))
        return FALSE;
    return MoveEntry(from, to, lpNewFileName, false, true);
}

BOOL WINAPI MoveFileExA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags)
{
    if (machine::Family() == machine::WindowsFamily::Windows95)
        return Fail(ERROR_CALL_NOT_IMPLEMENTED);
    const DWORD known =
        MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_WRITE_THROUGH;
    const bool delay = dwFlags & MOVEFILE_DELAY_UNTIL_REBOOT;
    if ((dwFlags & ~known) || (!lpNewFileName && !delay) || (delay && (dwFlags & MOVEFILE_COPY_ALLOWED)))
        return Fail(ERROR_INVALID_PARAMETER);
    std::string from, to;
    if (!MapWindowsName(lpExistingFileName, &from) || (lpNewFileName && !MapWindowsName(lpNewFileName, &to)))
        return FALSE;
    if (!delay)
        return MoveEntry(from, to, lpNewFileName, dwFlags & MOVEFILE_REPLACE_EXISTING,
                         dwFlags & MOVEFILE_COPY_ALLOWED);
    platform::PendingRename pending;
    pending.from = machine::WindowsPath(from);
    if (lpNewFileName) {
        pending.to = machine::WindowsPath(to);
        pending.replace = dwFlags & MOVEFILE_REPLACE_EXISTING;
    }
    const LONG result = platform::RecordPendingRename(pending);
    return result == ERROR_SUCCESS ? TRUE : Fail(static_cast<DWORD>(result));
}

BOOL WINAPI CopyFileA(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists)
{
    std::string from, to;
    if (!MapWindowsName(lpExistingFileName, &from) || !MapWindowsName(lpNewFileName, &to))
        return FALSE;
    return CopyContents(from, to, bFailIfExists != FALSE);
}

DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer)
{
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer)) {
        SetLastError(platform::ErrorFromErrno(errno));
        return 0;
    }
    const std::string path = machine::WindowsPath(buffer);
    if (!lpBuffer || nBufferLength <= path.size())
        return static_cast<DWORD>(path.size() + 1);
    path.copy(lpBuffer, path.size());
    lpBuffer[path.size()] = '\0';
    return static_cast<DWORD>(path.size());
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName)
{
    std::string path;
    if (!MapWindowsName(lpPathName, &path))
        return FALSE;
    if (chdir(path.c_str()) != 0)
        return SetLastErrorForPath(errno, path), FALSE;
    return TRUE;
}
