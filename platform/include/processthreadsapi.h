// Threads and processes of the Windows API on POSIX, and waiting on kernel
// objects.
//
// Threads made by CreateThread carry Windows suspend counts: SuspendThread
// and ResumeThread return the previous count, and a thread suspended n times
// runs again only after n resumes. POSIX cannot stop a thread where it
// stands, so a suspension takes hold at the thread's next safe point: the
// layer's waiting calls (Sleep, ReadFile, WriteFile, WaitForSingleObject)
// pass one before and after they wait, and a thread that suspends itself
// stops at once. Threads not made by CreateThread are never suspended.
//
// Processes are started by CreateProcessA (how a Windows program path maps
// to something that runs here: machine/Programs.h) or looked at by
// OpenProcess over /proc; the process status calls that read them are in
// psapi.h. A process handle is signalled when the process has ended.
#pragma once

#include "windef.h"
#include "winmain.h"

// ---- Shared with the file calls; whichever header comes first defines it ----

#ifndef ARV_SECURITY_ATTRIBUTES_DEFINED
#define ARV_SECURITY_ATTRIBUTES_DEFINED
typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;
#endif

// ---- Waiting -------------------------------------------------------------------

#ifndef WAIT_OBJECT_0
#define WAIT_OBJECT_0 0x00000000u
#endif
#ifndef WAIT_ABANDONED
#define WAIT_ABANDONED 0x00000080u
#endif
#ifndef WAIT_TIMEOUT
#define WAIT_TIMEOUT 258u
#endif
#ifndef WAIT_FAILED
#define WAIT_FAILED 0xFFFFFFFFu
#endif
#ifndef STILL_ACTIVE
#define STILL_ACTIVE 259u
#endif

// Waits until the object is signalled (a thread or process has ended) or the
// time-out passes (INFINITE: no limit). WAIT_FAILED with the last error
// ERROR_INVALID_HANDLE for a handle that cannot be waited on.
DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);

// ---- Threads -------------------------------------------------------------------

#define CREATE_SUSPENDED 0x00000004u
#define MAXIMUM_SUSPEND_COUNT 127u

typedef DWORD(WINAPI *LPTHREAD_START_ROUTINE)(LPVOID lpThreadParameter);

// Starts `lpStartAddress(lpParameter)` on a new thread; with CREATE_SUSPENDED
// the routine does not begin before ResumeThread. The handle is signalled
// when the thread ends; its exit code is the routine's result. Stack sizes
// below the system's minimum are raised to it.
HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize,
                           LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                           DWORD dwCreationFlags, LPDWORD lpThreadId);

// Both return the previous suspend count, (DWORD)-1 for a bad handle (and
// for a thread that CreateThread did not make). A thread that suspends
// itself stops here until it is resumed.
DWORD WINAPI SuspendThread(HANDLE hThread);
DWORD WINAPI ResumeThread(HANDLE hThread);

// A pseudo handle for the calling thread, valid only on that thread.
HANDLE WINAPI GetCurrentThread();
DWORD WINAPI GetCurrentThreadId();
// STILL_ACTIVE while the thread runs.
BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
// Ends the calling thread with the exit code, unwinding its stack.
[[noreturn]] void WINAPI ExitThread(DWORD dwExitCode);

// ---- Processes -------------------------------------------------------------------

#define PROCESS_TERMINATE 0x0001u
#define PROCESS_VM_READ 0x0010u
#define PROCESS_QUERY_INFORMATION 0x0400u
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000u
#ifndef SYNCHRONIZE
#define SYNCHRONIZE 0x00100000u
#endif
#define PROCESS_ALL_ACCESS 0x001F0FFFu

// A handle on a running process. Fails (NULL) with ERROR_INVALID_PARAMETER
// for an id that names no process and with ERROR_ACCESS_DENIED when the
// system refuses to show the process to us.
HANDLE WINAPI OpenProcess(DWORD dwDesiredAccess, BOOL bInheritHandle, DWORD dwProcessId);
// A pseudo handle for the calling process; it needs no CloseHandle.
HANDLE WINAPI GetCurrentProcess();
DWORD WINAPI GetCurrentProcessId();

// ---- Starting processes -------------------------------------------------------------

#define DEBUG_PROCESS 0x00000001u
#define DEBUG_ONLY_THIS_PROCESS 0x00000002u
#define DETACHED_PROCESS 0x00000008u
#define CREATE_NEW_CONSOLE 0x00000010u
#define NORMAL_PRIORITY_CLASS 0x00000020u
#define IDLE_PRIORITY_CLASS 0x00000040u
#define HIGH_PRIORITY_CLASS 0x00000080u
#define REALTIME_PRIORITY_CLASS 0x00000100u
#define CREATE_NEW_PROCESS_GROUP 0x00000200u
#define CREATE_UNICODE_ENVIRONMENT 0x00000400u
#define CREATE_NO_WINDOW 0x08000000u

#define STARTF_USESHOWWINDOW 0x00000001u
#define STARTF_USESIZE 0x00000002u
#define STARTF_USEPOSITION 0x00000004u
#define STARTF_USESTDHANDLES 0x00000100u

typedef struct _STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
} STARTUPINFOA, *LPSTARTUPINFOA;

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION, *PPROCESS_INFORMATION, *LPPROCESS_INFORMATION;

// Starts a program as a new process that runs on its own; the caller gets a
// process handle and a handle on its main thread (both signalled when the
// process ends; close both).
//
// Without lpApplicationName the program is the command line's first word,
// found as Windows finds it (machine/Programs.h); with it, that file alone.
// The program receives the command line whole (GetCommandLineA, WinMain's
// lpCmdLine) and, as its argv, the command line split by the C runtime's
// rules. Runs in lpCurrentDirectory (a Windows path) or the caller's
// folder, with lpEnvironment ("NAME=value" strings, each ended by a NUL,
// then one more NUL) or the caller's environment. With STARTF_USESTDHANDLES
// the standard handles that are files of this process are given to it.
//
// A program that cannot be started leaves nothing behind: FALSE with
// ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND (no such file),
// ERROR_ACCESS_DENIED (a folder, or not executable), ERROR_BAD_EXE_FORMAT
// (a file that does not run here), ERROR_INVALID_PARAMETER; CREATE_SUSPENDED
// and CREATE_UNICODE_ENVIRONMENT give ERROR_NOT_SUPPORTED. The other
// creation flags (priority, console) are accepted and have no effect.
BOOL WINAPI CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine,
                           LPSECURITY_ATTRIBUTES lpProcessAttributes, LPSECURITY_ATTRIBUTES lpThreadAttributes,
                           BOOL bInheritHandles, DWORD dwCreationFlags, LPVOID lpEnvironment,
                           LPCSTR lpCurrentDirectory, LPSTARTUPINFOA lpStartupInfo,
                           LPPROCESS_INFORMATION lpProcessInformation);

// STILL_ACTIVE while the process runs, then its exit code: the code it
// exited with, the code given to TerminateProcess, or 128 plus the number
// of a signal that ended it. A process that this one did not start gives 0
// once it has ended (its code is not known here).
BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode);

// Ends the process at once; its exit code becomes uExitCode. Needs
// PROCESS_TERMINATE on handles from OpenProcess (ERROR_ACCESS_DENIED).
BOOL WINAPI TerminateProcess(HANDLE hProcess, UINT uExitCode);

// ---- Layer extension (not part of Windows) ----------------------------------------

namespace platform {
// A suspension safe point for code above the layer that runs for a while
// without calling a waiting function: blocks while the calling thread is
// suspended, returns at once otherwise.
void SafePoint();
} // namespace platform
