// CreateFileA and the calls on the handles it gives: files, COM ports and
// the null device.
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "CommPort.h"
#include "ErrorCodes.h"
#include "FileAttributes.h"
#include "FileObject.h"
#include "PathResolution.h"
#include "SafePoint.h"
#include "winbase.h"
#include "winerror.h"

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

bool IsComName(const std::string &name)
{
    if (name.size() < 4 || !platform::SameNameIgnoringCase(name.substr(0, 3), "COM"))
        return false;
    for (size_t i = 3; i < name.size(); ++i)
        if (!isdigit(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

// A device name: "\\.\NAME" that is not a drive path, or a bare "COMn" or
// "NUL" (with or without a trailing colon), as Windows reserves them.
bool DeviceName(const char *name, std::string *device)
{
    if (IsSlash(name[0]) && IsSlash(name[1]) && name[2] == '.' && IsSlash(name[3])) {
        const char *rest = name + 4;
        if (isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':')
            return false;
        *device = rest;
        return true;
    }
    std::string bare = name;
    if (!bare.empty() && bare.back() == ':')
        bare.pop_back();
    if (IsComName(bare) || platform::SameNameIgnoringCase(bare, "NUL")) {
        *device = bare;
        return true;
    }
    return false;
}

HANDLE Insert(std::shared_ptr<platform::KernelObject> object)
{
    return object ? platform::InsertHandle(std::move(object)) : INVALID_HANDLE_VALUE;
}

// The object of type T behind `handle`; null with ERROR_INVALID_HANDLE.
template <typename T>
std::shared_ptr<T> ObjectOf(HANDLE handle)
{
    auto object = platform::LookupHandleAs<T>(handle);
    if (!object)
        SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

std::shared_ptr<platform::IoObject> IoOf(HANDLE handle) { return ObjectOf<platform::IoObject>(handle); }

std::shared_ptr<platform::FileObject> FileOf(HANDLE handle) { return ObjectOf<platform::FileObject>(handle); }

// What fstat says of the file behind a handle; false with the last error set.
bool StatOf(HANDLE handle, struct stat *info)
{
    auto file = FileOf(handle);
    if (!file)
        return false;
    if (fstat(file->Descriptor(), info) != 0) {
        SetLastError(platform::ErrorFromErrno(errno));
        return false;
    }
    return true;
}

// ReadFile and WriteFile: the checks, then `transfer(object, &done)` between
// two safe points, with the count done given back.
template <typename Transfer>
BOOL TransferOn(HANDLE handle, LPCVOID buffer, DWORD count, LPDWORD doneOut, LPOVERLAPPED overlapped,
                Transfer transfer)
{
    if (doneOut)
        *doneOut = 0;
    auto object = IoOf(handle);
    if (!object)
        return FALSE;
    if (overlapped || (!buffer && count)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD done = 0;
    platform::SafePoint();
    const BOOL ok = transfer(*object, &done);
    platform::SafePoint();
    if (doneOut)
        *doneOut = done;
    return ok;
}

} // namespace

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE)
{
    if (!lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string device;
    if (DeviceName(lpFileName, &device)) {
        if (platform::SameNameIgnoringCase(device, "NUL"))
            return Insert(platform::FileObject::Open("/dev/null", dwDesiredAccess, dwShareMode,
                                                     OPEN_EXISTING, 0));
        return Insert(platform::CommPort::Open(device, dwDesiredAccess));
    }
    std::string path;
    if (!platform::MapWindowsName(lpFileName, &path))
        return INVALID_HANDLE_VALUE;
    return Insert(platform::FileObject::Open(path, dwDesiredAccess, dwShareMode,
                                             dwCreationDisposition, dwFlagsAndAttributes));
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPOVERLAPPED lpOverlapped)
{
    return TransferOn(hFile, lpBuffer, nNumberOfBytesToRead, lpNumberOfBytesRead, lpOverlapped,
                      [&](platform::IoObject &object, DWORD *done) {
                          return object.Read(lpBuffer, nNumberOfBytesToRead, done);
                      });
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPOVERLAPPED lpOverlapped)
{
    return TransferOn(hFile, lpBuffer, nNumberOfBytesToWrite, lpNumberOfBytesWritten, lpOverlapped,
                      [&](platform::IoObject &object, DWORD *done) {
                          return object.Write(lpBuffer, nNumberOfBytesToWrite, done);
                      });
}

BOOL WINAPI CloseHandle(HANDLE hObject)
{
    if (!platform::RemoveHandle(hObject)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI FlushFileBuffers(HANDLE hFile)
{
    auto object = IoOf(hFile);
    if (!object)
        return FALSE;
    platform::SafePoint();
    const BOOL ok = object->Flush();
    platform::SafePoint();
    return ok;
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh)
{
    struct stat info;
    if (!StatOf(hFile, &info))
        return INVALID_FILE_SIZE;
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    if (lpFileSizeHigh)
        *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

BOOL WINAPI GetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION lpFileInformation)
{
    struct stat info;
    if (!StatOf(hFile, &info))
        return FALSE;
    if (!lpFileInformation) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const uint64_t device = static_cast<uint64_t>(info.st_dev);
    const uint64_t index = static_cast<uint64_t>(info.st_ino);
    const uint64_t size = S_ISREG(info.st_mode) ? static_cast<uint64_t>(info.st_size) : 0;
    lpFileInformation->dwFileAttributes = platform::AttributesOf(info);
    lpFileInformation->ftCreationTime = platform::FileTimeOf(info.st_mtim);
    lpFileInformation->ftLastAccessTime = platform::FileTimeOf(info.st_atim);
    lpFileInformation->ftLastWriteTime = platform::FileTimeOf(info.st_mtim);
    lpFileInformation->dwVolumeSerialNumber = static_cast<DWORD>(device ^ (device >> 32));
    lpFileInformation->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    lpFileInformation->nFileSizeLow = static_cast<DWORD>(size);
    lpFileInformation->nNumberOfLinks = static_cast<DWORD>(info.st_nlink);
    lpFileInformation->nFileIndexHigh = static_cast<DWORD>(index >> 32);
    lpFileInformation->nFileIndexLow = static_cast<DWORD>(index);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                            DWORD dwMoveMethod)
{
    auto file = FileOf(hFile);
    if (!file)
        return INVALID_SET_FILE_POINTER;
    int64_t distance = lDistanceToMove;
    if (lpDistanceToMoveHigh)
        distance = static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) |
                                        static_cast<uint32_t>(lDistanceToMove));
    int whence;
    switch (dwMoveMethod) {
    case FILE_BEGIN: whence = SEEK_SET; break;
    case FILE_CURRENT: whence = SEEK_CUR; break;
    case FILE_END: whence = SEEK_END; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return INVALID_SET_FILE_POINTER;
    }
    const off_t at = lseek(file->Descriptor(), static_cast<off_t>(distance), whence);
    if (at < 0) {
        SetLastError(errno == EINVAL ? ERROR_NEGATIVE_SEEK : platform::ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    const uint64_t position = static_cast<uint64_t>(at);
    if (lpDistanceToMoveHigh)
        *lpDistanceToMoveHigh = static_cast<LONG>(position >> 32);
    else if (position > 0xFFFFFFFEu) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(position);
}
