// The process status calls of the Windows API over /proc.
#pragma once

#include "windef.h"

// Fills `lpidProcess` with at most cb / 4 ids of running processes and sets
// *lpcbNeeded to the bytes written. As on Windows a full buffer is no
// failure: a caller that gets cb bytes back may have missed some.
BOOL WINAPI EnumProcesses(DWORD *lpidProcess, DWORD cb, LPDWORD lpcbNeeded);

// The base name of the process's executable (hModule NULL: the program
// itself) into lpBaseName, cut to nSize - 1 bytes and terminated. Returns
// the length copied, 0 on failure (the buffer is then left as it was). The
// handle needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ.
DWORD WINAPI GetModuleBaseNameA(HANDLE hProcess, HMODULE hModule, LPSTR lpBaseName, DWORD nSize);
