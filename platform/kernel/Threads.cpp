// Threads with Windows suspend counts on POSIX threads, and the waiting
// call. A thread's count is kept in its ThreadObject; the thread itself
// blocks at its next safe point while the count is above zero, so it is
// never stopped while it holds a lock of the layer or of the allocator.

#include <pthread.h>
#include <climits>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "windows.h"

#include "Handles.h"
#include "SafePoint.h"
#include "Waitable.h"

#ifndef ERROR_SIGNAL_REFUSED
#define ERROR_SIGNAL_REFUSED 156L
#endif

namespace platform {
namespace {

const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));
const DWORD kFailed = static_cast<DWORD>(-1);

std::atomic<DWORD> gNextThreadId{0x1004};

DWORD NewThreadId() { return gNextThreadId.fetch_add(4); }

class ThreadObject final : public Waitable {
public:
    ThreadObject(LPTHREAD_START_ROUTINE routine, LPVOID parameter, bool suspended)
        : FRoutine(routine), FParameter(parameter), FId(NewThreadId()), FCount(suspended ? 1 : 0)
    {
    }

    DWORD Id() const { return FId; }
    LPTHREAD_START_ROUTINE Routine() const { return FRoutine; }
    LPVOID Parameter() const { return FParameter; }

    DWORD Suspend()
    {
        std::lock_guard<std::mutex> hold(FLock);
        if (FCount >= MAXIMUM_SUSPEND_COUNT) {
            SetLastError(ERROR_SIGNAL_REFUSED);
            return kFailed;
        }
        return FCount++;
    }

    DWORD Resume()
    {
        std::lock_guard<std::mutex> hold(FLock);
        DWORD previous = FCount;
        if (FCount > 0 && --FCount == 0)
            FChanged.notify_all();
        return previous;
    }

    // Called on the thread itself.
    void HoldWhileSuspended()
    {
        std::unique_lock<std::mutex> hold(FLock);
        FChanged.wait(hold, [this] { return FCount == 0; });
    }

    void Finish(DWORD exitCode)
    {
        std::lock_guard<std::mutex> hold(FLock);
        FExitCode = exitCode;
        FFinished = true;
        FChanged.notify_all();
    }

    DWORD ExitCode()
    {
        std::lock_guard<std::mutex> hold(FLock);
        return FFinished ? FExitCode : STILL_ACTIVE;
    }

    DWORD Wait(DWORD milliseconds) override
    {
        std::unique_lock<std::mutex> hold(FLock);
        auto ended = [this] { return FFinished; };
        if (milliseconds == INFINITE) {
            FChanged.wait(hold, ended);
            return WAIT_OBJECT_0;
        }
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        return FChanged.wait_until(hold, deadline, ended) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    }

private:
    const LPTHREAD_START_ROUTINE FRoutine;
    const LPVOID FParameter;
    const DWORD FId;
    std::mutex FLock;
    std::condition_variable FChanged;
    DWORD FCount;
    bool FFinished = false;
    DWORD FExitCode = STILL_ACTIVE;
};

// The calling thread's object when CreateThread made it, and its id.
thread_local std::shared_ptr<ThreadObject> tSelf;
thread_local DWORD tThreadId = 0;
// The code that ExitThread leaves for the unwinding start routine.
thread_local DWORD tExitCode = 0;

// Marks the thread ended however its routine leaves: by returning or by
// ExitThread's unwinding.
struct EndOfThread {
    std::shared_ptr<ThreadObject> self;
    ~EndOfThread()
    {
        self->Finish(tExitCode);
        tSelf.reset();
    }
};

void *StartRoutine(void *argument)
{
    std::unique_ptr<std::shared_ptr<ThreadObject>> start(static_cast<std::shared_ptr<ThreadObject> *>(argument));
    tSelf = *start;
    tThreadId = tSelf->Id();
    EndOfThread end{std::move(*start)};
    start.reset();
    end.self->HoldWhileSuspended(); // created suspended: wait for the first resume
    tExitCode = end.self->Routine()(end.self->Parameter());
    return nullptr;
}

std::shared_ptr<ThreadObject> ThreadBehind(HANDLE handle)
{
    if (handle == kCurrentThread)
        return tSelf;
    return LookupHandleAs<ThreadObject>(handle);
}

} // namespace

void SafePoint()
{
    if (tSelf)
        tSelf->HoldWhileSuspended();
}

} // namespace platform

using platform::ThreadBehind;

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T dwStackSize, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId)
{
    if (!lpStartAddress) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto object = std::make_shared<platform::ThreadObject>(lpStartAddress, lpParameter,
                                                            (dwCreationFlags & CREATE_SUSPENDED) != 0);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (dwStackSize > 0)
        pthread_attr_setstacksize(&attributes, std::max<size_t>(dwStackSize, static_cast<size_t>(PTHREAD_STACK_MIN)));
    auto *start = new std::shared_ptr<platform::ThreadObject>(object);
    pthread_t thread;
    int failure = pthread_create(&thread, &attributes, platform::StartRoutine, start);
    pthread_attr_destroy(&attributes);
    if (failure != 0) {
        delete start;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (lpThreadId)
        *lpThreadId = object->Id();
    return platform::InsertHandle(object);
}

DWORD WINAPI SuspendThread(HANDLE hThread)
{
    auto thread = ThreadBehind(hThread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return platform::kFailed;
    }
    DWORD previous = thread->Suspend();
    if (previous != platform::kFailed && thread == platform::tSelf)
        thread->HoldWhileSuspended(); // a thread that suspends itself stops here
    return previous;
}

DWORD WINAPI ResumeThread(HANDLE hThread)
{
    auto thread = ThreadBehind(hThread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return platform::kFailed;
    }
    return thread->Resume();
}

HANDLE WINAPI GetCurrentThread() { return platform::kCurrentThread; }

DWORD WINAPI GetCurrentThreadId()
{
    if (platform::tThreadId == 0)
        platform::tThreadId = platform::NewThreadId();
    return platform::tThreadId;
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode)
{
    if (!lpExitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (hThread == platform::kCurrentThread) {
        *lpExitCode = STILL_ACTIVE; // the caller is running
        return TRUE;
    }
    auto thread = ThreadBehind(hThread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *lpExitCode = thread->ExitCode();
    return TRUE;
}

void WINAPI ExitThread(DWORD dwExitCode)
{
    platform::tExitCode = dwExitCode;
    pthread_exit(nullptr);
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds)
{
    std::shared_ptr<platform::Waitable> object;
    if (hHandle == platform::kCurrentThread)
        object = platform::tSelf;
    else
        object = platform::LookupHandleAs<platform::Waitable>(hHandle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    platform::SafePoint();
    DWORD result = object->Wait(dwMilliseconds);
    platform::SafePoint();
    return result;
}
