// GetEnvironmentVariableA: the process environment, and the machine's
// standard variables where the process sets none.
#include <cstring>
#include <string>

#include "PathResolution.h"
#include "machine/MachineRoot.h"
#include "processenv.h"
#include "winbase.h"
#include "winerror.h"

extern char **environ;

namespace {

// The value of `name` in the process environment, the exact spelling
// first, else the first entry that differs only in case.
bool ProcessVariable(const std::string &name, std::string *value)
{
    const char *folded = nullptr;
    for (char **entry = environ; entry && *entry; ++entry) {
        const char *equals = strchr(*entry, '=');
        if (!equals || equals == *entry)
            continue;
        const std::string entryName(*entry, static_cast<size_t>(equals - *entry));
        if (entryName == name) {
            *value = equals + 1;
            return true;
        }
        if (!folded && platform::SameNameIgnoringCase(entryName, name))
            folded = equals + 1;
    }
    if (!folded)
        return false;
    *value = folded;
    return true;
}

bool MachineVariable(const std::string &name, std::string *value)
{
    struct Standard {
        const char *name;
        const char *value;
    };
    static const Standard standard[] = {
        {"ProgramFiles", machine::kProgramFilesDir}, {"SystemRoot", machine::kWindowsDir},
        {"windir", machine::kWindowsDir},            {"SystemDrive", "C:"},
        {"USERPROFILE", machine::kUserProfileDir},
    };
    for (const Standard &entry : standard) {
        if (platform::SameNameIgnoringCase(name, entry.name)) {
            machine::RootPath(); // the folder it names is laid out
            *value = entry.value;
            return true;
        }
    }
    return false;
}

} // namespace

DWORD WINAPI GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize)
{
    if (!lpName || !*lpName) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    std::string value;
    if (!ProcessVariable(lpName, &value) && !MachineVariable(lpName, &value)) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    if (!lpBuffer || nSize <= value.size())
        return static_cast<DWORD>(value.size() + 1);
    memcpy(lpBuffer, value.c_str(), value.size() + 1);
    if (value.empty())
        SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(value.size());
}
