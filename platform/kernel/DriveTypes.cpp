// GetDriveTypeA: a drive's type from the machine root's drive table.
#include <cctype>

#include "fileapi.h"
#include "machine/Drives.h"
#include "winbase.h"

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

// The drive letter of "X:\" or "X:", else 0.
char RootLetter(const char *path)
{
    if (!isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':')
        return 0;
    if (path[2] == '\0' || (IsSlash(path[2]) && path[3] == '\0'))
        return path[0];
    return 0;
}

} // namespace

UINT WINAPI GetDriveTypeA(LPCSTR lpRootPathName)
{
    if (!lpRootPathName) {
        char current[MAX_PATH * 4];
        const DWORD length = GetCurrentDirectoryA(sizeof current, current);
        if (length == 0 || length >= sizeof current)
            return DRIVE_UNKNOWN;
        return machine::DriveType(current[0]);
    }
    const char letter = RootLetter(lpRootPathName);
    return letter ? machine::DriveType(letter) : DRIVE_NO_ROOT_DIR;
}
