#include "ProcessCheck.h"

#include <cstring>

#include "windows.h"
#include "psapi.h"

namespace {

constexpr DWORD kProcessIds = 1024;
constexpr DWORD kNameBuffer = 50;

} // namespace

bool IsModuleRunning(const char *moduleName)
{
    DWORD ids[kProcessIds];
    DWORD bytes = 0;
    if (!EnumProcesses(ids, sizeof ids, &bytes))
        return false;
    const DWORD count = bytes / sizeof(DWORD);
    for (DWORD i = 0; i < count; ++i) {
        if (ids[i] == 0)
            continue;
        char module[kNameBuffer];
        memset(module, 0, sizeof module);
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i]);
        if (process) {
            GetModuleBaseNameA(process, nullptr, module, sizeof module);
            CloseHandle(process);
        }
        // A name that fills the buffer is compared no further than it.
        if (strncmp(module, moduleName, sizeof module) == 0)
            return true;
    }
    return false;
}
