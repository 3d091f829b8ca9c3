// CreateThread, suspend counts, safe points and waiting on thread handles.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "windows.h"

#include "Waiting.h"

using threads_test::kGenerousMs;
using threads_test::WaitUntil;

namespace {

const DWORD kFailed = static_cast<DWORD>(-1);

// A gate a thread routine can block on until the test opens it.
class Gate {
public:
    void Open()
    {
        std::lock_guard<std::mutex> hold(FLock);
        FOpen = true;
        FChanged.notify_all();
    }
    void Pass()
    {
        std::unique_lock<std::mutex> hold(FLock);
        FChanged.wait(hold, [this] { return FOpen; });
    }

private:
    std::mutex FLock;
    std::condition_variable FChanged;
    bool FOpen = false;
};

struct Counting {
    std::atomic<bool> started{false};
    std::atomic<bool> stop{false};
    std::atomic<int> count{0};
};

DWORD WINAPI MarkStarted(LPVOID parameter)
{
    static_cast<Counting *>(parameter)->started = true;
    return 7;
}

// Counts in steps that sleep: every step passes the safe points of Sleep.
DWORD WINAPI CountInSleeps(LPVOID parameter)
{
    auto *counting = static_cast<Counting *>(parameter);
    counting->started = true;
    while (!counting->stop) {
        Sleep(5);
        ++counting->count;
    }
    return 0;
}

// The count after the thread has had time to reach its next safe point and
// to make any step it would still make.
int SettledCount(const Counting &counting)
{
    Sleep(100);
    return counting.count;
}

class Threads : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (HANDLE handle : FHandles)
            CloseHandle(handle);
    }

    HANDLE Start(LPTHREAD_START_ROUTINE routine, void *parameter, DWORD flags, DWORD *id = nullptr)
    {
        HANDLE handle = CreateThread(nullptr, 0, routine, parameter, flags, id);
        if (handle)
            FHandles.push_back(handle);
        return handle;
    }

private:
    std::vector<HANDLE> FHandles;
};

TEST_F(Threads, CreatedSuspendedRunsOnlyAfterResume)
{
    Counting counting;
    HANDLE thread = Start(MarkStarted, &counting, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);

    EXPECT_EQ(WaitForSingleObject(thread, 200), WAIT_TIMEOUT);
    EXPECT_FALSE(counting.started);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);

    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, kGenerousMs), WAIT_OBJECT_0);
    EXPECT_TRUE(counting.started);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 7u);
    // An ended thread stays signalled.
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
}

TEST_F(Threads, SuspensionsCountAsOnWindows)
{
    Counting counting;
    HANDLE thread = Start(MarkStarted, &counting, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);

    EXPECT_EQ(SuspendThread(thread), 1u); // created suspended: count was 1
    EXPECT_EQ(SuspendThread(thread), 2u);
    EXPECT_EQ(ResumeThread(thread), 3u);
    EXPECT_EQ(ResumeThread(thread), 2u);
    EXPECT_EQ(WaitForSingleObject(thread, 200), WAIT_TIMEOUT) << "one suspension is still in force";
    EXPECT_FALSE(counting.started);

    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, kGenerousMs), WAIT_OBJECT_0);
    EXPECT_TRUE(counting.started);
    EXPECT_EQ(ResumeThread(thread), 0u) << "resuming a thread that is not suspended changes nothing";
}

TEST_F(Threads, ThreadSuspendedInSleepMakesNoProgressUntilResumed)
{
    Counting counting;
    HANDLE thread = Start(CountInSleeps, &counting, 0);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return counting.count > 3; }));

    EXPECT_EQ(SuspendThread(thread), 0u);
    const int held = SettledCount(counting);
    Sleep(500);
    EXPECT_EQ(counting.count, held) << "a suspended thread counted on";

    // Suspended twice: one resume is not enough.
    EXPECT_EQ(SuspendThread(thread), 1u);
    EXPECT_EQ(ResumeThread(thread), 2u);
    Sleep(300);
    EXPECT_EQ(counting.count, held);

    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_TRUE(WaitUntil([&] { return counting.count > held + 2; }));

    counting.stop = true;
    EXPECT_EQ(WaitForSingleObject(thread, kGenerousMs), WAIT_OBJECT_0);
}

struct Waiter {
    HANDLE target = nullptr;
    std::atomic<bool> waiting{false};
    std::atomic<bool> through{false};
    DWORD result = 0;
};

DWORD WINAPI WaitForTarget(LPVOID parameter)
{
    auto *waiter = static_cast<Waiter *>(parameter);
    waiter->waiting = true;
    waiter->result = WaitForSingleObject(waiter->target, INFINITE);
    waiter->through = true;
    return 0;
}

DWORD WINAPI PassGate(LPVOID parameter)
{
    static_cast<Gate *>(parameter)->Pass();
    return 0;
}

TEST_F(Threads, WaitThatEndsWhileSuspendedReturnsOnlyAfterResume)
{
    Gate gate;
    Waiter waiter;
    waiter.target = Start(PassGate, &gate, 0);
    HANDLE thread = Start(WaitForTarget, &waiter, 0);
    ASSERT_NE(waiter.target, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return waiter.waiting.load(); }));

    EXPECT_EQ(SuspendThread(thread), 0u);
    gate.Open();
    EXPECT_EQ(WaitForSingleObject(waiter.target, kGenerousMs), WAIT_OBJECT_0);
    Sleep(300);
    EXPECT_FALSE(waiter.through) << "the wait returned to a suspended thread";

    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, kGenerousMs), WAIT_OBJECT_0);
    EXPECT_TRUE(waiter.through);
    EXPECT_EQ(waiter.result, WAIT_OBJECT_0);
}

struct SelfSuspending {
    std::atomic<int> phase{0};
};

DWORD WINAPI SuspendSelf(LPVOID parameter)
{
    auto *self = static_cast<SelfSuspending *>(parameter);
    self->phase = 1;
    SuspendThread(GetCurrentThread());
    self->phase = 2;
    return 0;
}

TEST_F(Threads, ThreadThatSuspendsItselfStopsAtOnce)
{
    SelfSuspending self;
    HANDLE thread = Start(SuspendSelf, &self, 0);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return self.phase >= 1; }));
    EXPECT_EQ(WaitForSingleObject(thread, 300), WAIT_TIMEOUT);
    EXPECT_EQ(self.phase, 1);

    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, kGenerousMs), WAIT_OBJECT_0);
    EXPECT_EQ(self.phase, 2);
}

struct Blocked {
    Gate gate;
    DWORD code = 0;
};

DWORD WINAPI ReturnAfterGate(LPVOID parameter)
{
    auto *blocked = static_cast<Blocked *>(parameter);
    blocked->gate.Pass();
    return blocked->code;
}

TEST_F(Threads, WaitTimesOutWhileRunningAndGivesTheExitCode)
{
    for (DWORD code : {0u, 1u, 42u, 0xFFFFFFFEu}) {
        Blocked blocked;
        blocked.code = code;
        HANDLE thread = Start(ReturnAfterGate, &blocked, 0);
        ASSERT_NE(thread, nullptr);

        EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
        EXPECT_EQ(WaitForSingleObject(thread, 50), WAIT_TIMEOUT);
        DWORD exitCode = 0;
        EXPECT_TRUE(GetExitCodeThread(thread, &exitCode));
        EXPECT_EQ(exitCode, STILL_ACTIVE);

        blocked.gate.Open();
        EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
        EXPECT_TRUE(GetExitCodeThread(thread, &exitCode));
        EXPECT_EQ(exitCode, code);
    }
}

struct Unwinding {
    std::atomic<bool> cleaned{false};
    std::atomic<bool> pastExit{false};
};

struct CleanUp {
    Unwinding *unwinding;
    ~CleanUp() { unwinding->cleaned = true; }
};

void LeaveFromDeepInside(Unwinding *unwinding)
{
    CleanUp cleanUp{unwinding};
    ExitThread(42);
}

DWORD WINAPI ExitEarly(LPVOID parameter)
{
    auto *unwinding = static_cast<Unwinding *>(parameter);
    LeaveFromDeepInside(unwinding);
    unwinding->pastExit = true;
    return 1;
}

TEST_F(Threads, ExitThreadEndsWithItsCodeAndUnwinds)
{
    Unwinding unwinding;
    HANDLE thread = Start(ExitEarly, &unwinding, 0);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, kGenerousMs), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_TRUE(unwinding.cleaned);
    EXPECT_FALSE(unwinding.pastExit);
}

struct Identity {
    std::atomic<DWORD> seen{0};
    HANDLE pseudo = nullptr;
    DWORD pseudoCode = 0;
};

DWORD WINAPI NoteIdentity(LPVOID parameter)
{
    auto *identity = static_cast<Identity *>(parameter);
    identity->pseudo = GetCurrentThread();
    GetExitCodeThread(identity->pseudo, &identity->pseudoCode);
    identity->seen = GetCurrentThreadId();
    return 0;
}

TEST_F(Threads, ThreadIdsAreTheOnesTheThreadsSee)
{
    Identity first, second;
    DWORD firstId = 0, secondId = 0;
    HANDLE a = Start(NoteIdentity, &first, 0, &firstId);
    HANDLE b = Start(NoteIdentity, &second, 0, &secondId);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(WaitForSingleObject(a, kGenerousMs), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(b, kGenerousMs), WAIT_OBJECT_0);

    EXPECT_EQ(first.seen, firstId);
    EXPECT_EQ(second.seen, secondId);
    EXPECT_NE(firstId, secondId);
    EXPECT_NE(firstId, GetCurrentThreadId());
    EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
    EXPECT_NE(first.pseudo, a) << "GetCurrentThread gives a pseudo handle";
    EXPECT_EQ(first.pseudoCode, STILL_ACTIVE);
}

TEST_F(Threads, ClosingTheHandleLeavesTheThreadRunning)
{
    Blocked blocked;
    std::atomic<bool> done{false};
    struct Job {
        Blocked *blocked;
        std::atomic<bool> *done;
    } job{&blocked, &done};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
            auto *job = static_cast<Job *>(parameter);
            job->blocked->gate.Pass();
            *job->done = true;
            return 0;
        },
        &job, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);

    blocked.gate.Open();
    EXPECT_TRUE(WaitUntil([&] { return done.load(); }));
}

TEST_F(Threads, BadHandlesFailWithInvalidHandle)
{
    Counting counting;
    HANDLE closed = CreateThread(nullptr, 0, MarkStarted, &counting, 0, nullptr);
    ASSERT_NE(closed, nullptr);
    ASSERT_EQ(WaitForSingleObject(closed, kGenerousMs), WAIT_OBJECT_0);
    ASSERT_TRUE(CloseHandle(closed));

    const HANDLE bad[] = {nullptr, closed, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x7777770))};
    for (HANDLE handle : bad) {
        SCOPED_TRACE(reinterpret_cast<uintptr_t>(handle));
        SetLastError(0);
        EXPECT_EQ(SuspendThread(handle), kFailed);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(0);
        EXPECT_EQ(ResumeThread(handle), kFailed);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(0);
        EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        DWORD code = 12345;
        EXPECT_FALSE(GetExitCodeThread(handle, &code));
        EXPECT_EQ(code, 12345u);
    }
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(Threads, ThreadsNotMadeByCreateThreadAreNeverSuspended)
{
    // The test's own thread: its pseudo handle cannot be suspended, and its
    // safe points never block.
    EXPECT_EQ(SuspendThread(GetCurrentThread()), kFailed);
    platform::SafePoint();

    std::atomic<bool> passed{false};
    std::thread foreign([&] {
        EXPECT_EQ(SuspendThread(GetCurrentThread()), kFailed);
        Sleep(1);
        passed = true;
    });
    foreign.join();
    EXPECT_TRUE(passed);
}

TEST_F(Threads, SuspendCountStopsAtTheWindowsMaximum)
{
    Counting counting;
    HANDLE thread = Start(MarkStarted, &counting, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    for (DWORD count = 1; count < MAXIMUM_SUSPEND_COUNT; ++count)
        ASSERT_EQ(SuspendThread(thread), count);
    EXPECT_EQ(SuspendThread(thread), kFailed);
    for (DWORD count = MAXIMUM_SUSPEND_COUNT; count > 0; --count)
        ASSERT_EQ(ResumeThread(thread), count);
    EXPECT_EQ(WaitForSingleObject(thread, kGenerousMs), WAIT_OBJECT_0);
    EXPECT_TRUE(counting.started);
}

} // namespace
