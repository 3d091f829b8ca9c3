#include "Thread.h"

#include "windows.h"

TThread::TThread(bool CreateSuspended)
{
    FHandle = CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &FThreadID);
    FSuspended = FHandle != nullptr;
    if (FHandle && !CreateSuspended)
        Resume();
}

TThread::~TThread()
{
    if (!FHandle)
        return;
    TerminateAndWait();
    CloseHandle(FHandle);
}

void TThread::TerminateAndWait()
{
    if (!FHandle || GetCurrentThreadId() == FThreadID)
        return;
    Terminate();
    // Every suspension must be taken back, or the thread never ends.
    for (DWORD previous = ResumeThread(FHandle); previous != static_cast<DWORD>(-1) && previous > 1;
         previous = ResumeThread(FHandle)) {
    }
    FSuspended = false;
    WaitForSingleObject(FHandle, INFINITE);
}

DWORD WINAPI TThread::ThreadProc(LPVOID self)
{
    TThread *thread = static_cast<TThread *>(self);
    if (!thread->FTerminated)
        thread->Execute();
    const DWORD exitCode = static_cast<DWORD>(thread->FReturnValue.load());
    if (thread->FFreeOnTerminate)
        delete thread;
    return exitCode;
}

void TThread::Resume()
{
    // Not suspended once the last suspension is taken back, and also when
    // there was none left or no thread at all: a caller that resumes while
    // Suspended() holds must come to an end.
    const DWORD previous = ResumeThread(FHandle);
    if (previous <= 1 || previous == static_cast<DWORD>(-1))
        FSuspended = false;
}

void TThread::Suspend()
{
    FSuspended = true;
    SuspendThread(FHandle);
}

void TThread::SetSuspended(bool suspended)
{
    if (suspended != FSuspended)
        suspended ? Suspend() : Resume();
}

void TThread::Terminate() { FTerminated = true; }

DWORD TThread::WaitFor()
{
    if (!FHandle || GetCurrentThreadId() == FThreadID)
        return STILL_ACTIVE;
    WaitForSingleObject(FHandle, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeThread(FHandle, &exitCode);
    return exitCode;
}

bool TThread::Terminated() const
{
    platform::SafePoint();
    return FTerminated;
}
