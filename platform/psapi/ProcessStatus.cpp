// EnumProcesses and GetModuleBaseNameA over /proc. The list holds the
// processes of this machine root only (psapi/MachineProcesses.h).

#include <dirent.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "windows.h"
#include "psapi.h"

#include "machine/MachineRoot.h"
#include "psapi/MachineProcesses.h"
#include "psapi/ProcessObject.h"

namespace {

// The decimal process id that a /proc entry's name spells, or 0.
DWORD ProcessIdOf(const char *name)
{
    DWORD id = 0;
    if (!*name)
        return 0;
    for (const char *c = name; *c; ++c) {
        if (*c < '0' || *c > '9' || id > 0xFFFFFFFFu / 10)
            return 0;
        id = id * 10 + static_cast<DWORD>(*c - '0');
    }
    return id;
}

} // namespace

BOOL WINAPI EnumProcesses(DWORD *lpidProcess, DWORD cb, LPDWORD lpcbNeeded)
{
    if (!lpcbNeeded || (!lpidProcess && cb > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DIR *folder = opendir("/proc");
    if (!folder) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const std::string root = machine::RootPath();
    const DWORD room = cb / sizeof(DWORD);
    DWORD count = 0;
    while (count < room) {
        const dirent *entry = readdir(folder);
        if (!entry)
            break;
        DWORD id = ProcessIdOf(entry->d_name);
        if (id != 0 && psapi::RunsOnMachine(static_cast<pid_t>(id), root))
            lpidProcess[count++] = id;
    }
    closedir(folder);
    *lpcbNeeded = count * sizeof(DWORD);
    return TRUE;
}

DWORD WINAPI GetModuleBaseNameA(HANDLE hProcess, HMODULE hModule, LPSTR lpBaseName, DWORD nSize)
{
    if (!lpBaseName || nSize == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto process = platform::ProcessBehind(hProcess);
    if (!process) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (hModule) {
        // Only the program's own module is known.
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!process->Allows(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    std::string path;
    if (!platform::ExecutablePath(process->Pid(), &path)) {
        SetLastError(errno == ENOENT || errno == ESRCH ? ERROR_INVALID_HANDLE : ERROR_ACCESS_DENIED);
        return 0;
    }
    size_t slash = path.rfind('/');
    const char *base = path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
    size_t length = std::min<size_t>(strlen(base), nSize - 1);
    memcpy(lpBaseName, base, length);
    lpBaseName[length] = 0;
    return static_cast<DWORD>(length);
}
