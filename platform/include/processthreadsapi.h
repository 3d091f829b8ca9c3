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
// Process handles come from OpenProcess over /proc; the process status calls
// that read them are in psapi.h.
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

// ---- Layer extension (not part of Windows) ----------------------------------------

namespace platform {
// A suspension safe point for code above the layer that runs for a while
// without calling a waiting function: blocks while the calling thread is
// suspended, returns at once otherwise.
void SafePoint();
} // namespace platform
