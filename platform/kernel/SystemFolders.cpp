// The program's own path and the machine's standard folders.
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "ErrorCodes.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "machine/Testing.h"
#include "sysinfoapi.h"
#include "winbase.h"
#include "winerror.h"

namespace {

// Copies `text` as the folder calls do: its length when it fits with its
// NUL, else the size needed (NUL included) and nothing copied.
DWORD CopyOut(const std::string &text, LPSTR buffer, DWORD size)
{
    if (!buffer || size <= text.size())
        return static_cast<DWORD>(text.size() + 1);
    memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

// The same for a folder of the root that must be there: 0 with
// ERROR_PATH_NOT_FOUND when it is gone.
DWORD CopyOutFolder(const char *folder, LPSTR buffer, DWORD size)
{
    struct stat info;
    if (stat(machine::UnixPath(folder).c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    return CopyOut(folder, buffer, size);
}

std::mutex gModuleMutex;
std::string gModuleOverride; // Windows path; "" for the real file

// The program's file as a Windows path; "" with the error set when it
// cannot be had.
std::string ModulePath()
{
    {
        std::lock_guard<std::mutex> lock(gModuleMutex);
        if (!gModuleOverride.empty())
            return gModuleOverride;
    }
    char target[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", target, sizeof target - 1);
    if (length < 0) {
        SetLastError(platform::ErrorFromErrno(errno));
        return std::string();
    }
    target[length] = '\0';
    return machine::WindowsPath(target);
}

} // namespace

void machine::testing::SetModuleFileName(const std::string &windowsPath)
{
    std::lock_guard<std::mutex> lock(gModuleMutex);
    gModuleOverride = windowsPath;
}

// The process has one module, so every module handle names the program.
DWORD WINAPI GetModuleFileNameA(HMODULE, LPSTR lpFilename, DWORD nSize)
{
    const std::string path = ModulePath();
    if (path.empty())
        return 0;
    if (!lpFilename || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() < nSize) {
        memcpy(lpFilename, path.c_str(), path.size() + 1);
        return static_cast<DWORD>(path.size());
    }
    // Too small: cut to fit with its NUL, as Windows does.
    memcpy(lpFilename, path.c_str(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}

DWORD WINAPI GetTempPathA(DWORD nBufferLength, LPSTR lpBuffer)
{
    machine::RootPath(); // lays out the folders on first use
    return CopyOut(std::string(machine::kTempDir) + "\\", lpBuffer, nBufferLength);
}

UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize)
{
    return CopyOutFolder(machine::kWindowsDir, lpBuffer, uSize);
}

UINT WINAPI GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize)
{
    return CopyOutFolder(machine::kSystemDir, lpBuffer, uSize);
}
