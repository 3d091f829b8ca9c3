// The shell's special folders, in the machine root.
#pragma once

#include "windef.h"

#define CSIDL_DESKTOP 0x0000
#define CSIDL_PERSONAL 0x0005
#define CSIDL_DESKTOPDIRECTORY 0x0010
#define CSIDL_WINDOWS 0x0024
#define CSIDL_SYSTEM 0x0025
#define CSIDL_PROGRAM_FILES 0x0026
#define CSIDL_PROFILE 0x0028
#define CSIDL_FLAG_CREATE 0x8000

// Writes the folder's Windows path (at most MAX_PATH bytes with its NUL)
// into pszPath. FALSE, with pszPath emptied, for a folder id not listed
// above and for a folder that does not exist unless fCreate asks to create
// it (with its parents).
BOOL WINAPI SHGetSpecialFolderPathA(HWND hwnd, LPSTR pszPath, int csidl, BOOL fCreate);
