// The process's command line and environment variables.
#pragma once

#include "windef.h"

// The command line the process was started with, whole: as CreateProcessA
// or ShellExecuteA gave it, or, for a program started from a Unix shell,
// its Windows path and its arguments quoted as the C runtime splits them.
LPSTR WINAPI GetCommandLineA();

// Copies the variable's value with its NUL and returns its length; a
// buffer too small gets nothing and the size needed (NUL included). A
// variable that is not set gives 0 and ERROR_ENVVAR_NOT_FOUND; one set to
// the empty string gives 0 and ERROR_SUCCESS. Names compare without regard
// to case. The machine's standard variables that the process environment
// does not set have the machine root's values: "ProgramFiles" (C:\Program
// Files), "SystemRoot" and "windir" (C:\Windows), "SystemDrive" (C:) and
// "USERPROFILE"; every other variable comes from the process environment.
DWORD WINAPI GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize);
