// System information of the Windows API on POSIX: the Windows version, the
// machine's Windows and system folders, and the tick count.
#pragma once

#include "windef.h"

// The version of the machine's Windows: its family is the NT family unless
// the machine root's setting "windows-family" (machine/MachineRoot.h) reads
// "95". NT family: 5.1, build 2600 (Windows XP), high bit clear; 95 family:
// 4.10 (Windows 98), high bit set. Major version in the low byte, minor in
// the next.
DWORD WINAPI GetVersion();

// The machine root's Windows folder ("C:\Windows") and system folder
// ("C:\Windows\System32"), without a trailing backslash. A buffer too
// small (or NULL) gives the size needed, NUL included, and nothing copied.
// 0 with ERROR_PATH_NOT_FOUND when the folder is missing from the root.
UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize);
UINT WINAPI GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize);

DWORD WINAPI GetTickCount();
ULONGLONG WINAPI GetTickCount64();
