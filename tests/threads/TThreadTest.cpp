// The class library's thread on the layer's threads.

#include <atomic>
#include <functional>
#include <future>

#include <gtest/gtest.h>

#include "Thread.h"
#include "windows.h"

#include "Waiting.h"

using threads_test::kGenerousMs;
using threads_test::WaitUntil;

namespace {

// Counts in sleeping steps until it is told to stop.
class TCounter : public TThread {
public:
    explicit TCounter(bool createSuspended) : TThread(createSuspended) {}
    ~TCounter() override { TerminateAndWait(); }

    std::atomic<int> Count{0};
    std::atomic<bool> Ran{false};
    int Result = 0;

protected:
    void Execute() override
    {
        Ran = true;
        while (!Terminated()) {
            Sleep(5);
            ++Count;
        }
        SetReturnValue(Result);
    }
};

// Runs a destructor or a wait on a helper thread, so that a fault shows as a
// failed bound instead of a hung test.
bool EndsWithin(const std::function<void()> &action, int limitMs = kGenerousMs)
{
    auto done = std::async(std::launch::async, action);
    return done.wait_for(std::chrono::milliseconds(limitMs)) == std::future_status::ready;
}

TEST(TThreadTest, CreatedSuspendedRunsAfterResume)
{
    TCounter thread(true);
    EXPECT_TRUE(thread.Suspended());
    EXPECT_NE(thread.Handle(), nullptr);
    EXPECT_NE(thread.ThreadID(), 0u);
    Sleep(200);
    EXPECT_FALSE(thread.Ran);

    thread.Resume();
    EXPECT_FALSE(thread.Suspended());
    EXPECT_TRUE(WaitUntil([&] { return thread.Count > 2; }));
}

TEST(TThreadTest, CreatedRunningStartsAtOnce)
{
    TCounter thread(false);
    EXPECT_FALSE(thread.Suspended());
    EXPECT_TRUE(WaitUntil([&] { return thread.Count > 2; }));
}

TEST(TThreadTest, SuspensionsCountAsWindowsThreadSuspensions)
{
    TCounter thread(true);
    thread.Suspend(); // created suspended and suspended once more: two
    thread.Resume();
    EXPECT_TRUE(thread.Suspended());
    Sleep(200);
    EXPECT_FALSE(thread.Ran) << "one resume ran a thread suspended twice";

    thread.Resume();
    EXPECT_FALSE(thread.Suspended());
    EXPECT_TRUE(WaitUntil([&] { return thread.Count > 2; }));

    thread.Suspend();
    EXPECT_TRUE(thread.Suspended());
    Sleep(100);
    const int held = thread.Count;
    Sleep(400);
    EXPECT_EQ(thread.Count, held);
    thread.SetSuspended(false);
    EXPECT_TRUE(WaitUntil([&] { return thread.Count > held + 2; }));
}

TEST(TThreadTest, ResumingUntilNotSuspendedAlwaysEnds)
{
    // The count taken back behind the object's back: the next Resume finds
    // nothing to take back and must still clear Suspended().
    TCounter thread(true);
    thread.Suspend();
    EXPECT_EQ(ResumeThread(thread.Handle()), 2u);
    EXPECT_EQ(ResumeThread(thread.Handle()), 1u);
    EXPECT_TRUE(thread.Suspended());
    int resumes = 0;
    while (thread.Suspended() && resumes < 10) {
        thread.Resume();
        ++resumes;
    }
    EXPECT_EQ(resumes, 1);
    EXPECT_TRUE(WaitUntil([&] { return thread.Count > 0; }));
}

TEST(TThreadTest, TerminateEndsTheLoopAndWaitForGivesTheReturnValue)
{
    for (int result : {0, 3, -1}) {
        TCounter thread(true);
        thread.Result = result;
        thread.Resume();
        ASSERT_TRUE(WaitUntil([&] { return thread.Count > 0; }));
        thread.Terminate();
        EXPECT_EQ(thread.WaitFor(), static_cast<DWORD>(result));
        DWORD code = 0;
        EXPECT_TRUE(GetExitCodeThread(thread.Handle(), &code));
        EXPECT_EQ(code, static_cast<DWORD>(result));
    }
}

// Leaves everything to the class library's destructor: its Execute uses
// only state outside the object, which outlives it.
struct TOutside {
    std::atomic<int> count{0};
    std::atomic<bool> ran{false};
    std::atomic<bool> ended{false};
};
TOutside gOutside;

class TPlain : public TThread {
public:
    explicit TPlain(bool createSuspended) : TThread(createSuspended) {}

protected:
    void Execute() override
    {
        gOutside.ran = true;
        while (!Terminated()) {
            Sleep(5);
            ++gOutside.count;
        }
        gOutside.ended = true;
    }
};

class TThreadDestructor : public ::testing::Test {
protected:
    void SetUp() override
    {
        gOutside.count = 0;
        gOutside.ran = false;
        gOutside.ended = false;
    }
};

TEST_F(TThreadDestructor, EndsAThreadSuspendedTwice)
{
    TThread *thread = new TPlain(false);
    ASSERT_TRUE(WaitUntil([&] { return gOutside.count > 0; }));
    thread->Suspend();
    thread->Suspend();
    EXPECT_TRUE(EndsWithin([thread] { delete thread; }));
    EXPECT_TRUE(gOutside.ended) << "Execute did not run to its end";
}

TEST_F(TThreadDestructor, EndsARunningThread)
{
    TThread *thread = new TPlain(false);
    ASSERT_TRUE(WaitUntil([&] { return gOutside.count > 0; }));
    EXPECT_TRUE(EndsWithin([thread] { delete thread; }));
    EXPECT_TRUE(gOutside.ended);
}

TEST_F(TThreadDestructor, SkipsExecuteOfANeverStartedThread)
{
    TThread *thread = new TPlain(true);
    EXPECT_TRUE(EndsWithin([thread] { delete thread; }));
    EXPECT_FALSE(gOutside.ran);
}

// Suspends itself between two phases, as a worker that waits to be woken.
class TSelfSuspending : public TThread {
public:
    TSelfSuspending() : TThread(true) {}
    ~TSelfSuspending() override { TerminateAndWait(); }
    std::atomic<int> Phase{0};

protected:
    void Execute() override
    {
        Phase = 1;
        Suspend();
        Phase = 2;
    }
};

TEST(TThreadTest, ThreadThatSuspendsItselfWaitsForResume)
{
    TSelfSuspending thread;
    thread.Resume();
    ASSERT_TRUE(WaitUntil([&] { return thread.Phase >= 1; }));
    EXPECT_EQ(WaitForSingleObject(thread.Handle(), 300), WAIT_TIMEOUT);
    EXPECT_EQ(thread.Phase, 1);
    EXPECT_TRUE(thread.Suspended());

    thread.Resume();
    EXPECT_EQ(thread.WaitFor(), 0u);
    EXPECT_EQ(thread.Phase, 2);
}

// Works without calling any waiting function: reading Terminated() is its
// only safe point.
class TWorker : public TThread {
public:
    TWorker() : TThread(true) {}
    ~TWorker() override { TerminateAndWait(); }
    std::atomic<long> Steps{0};

protected:
    void Execute() override
    {
        volatile unsigned sink = 0;
        while (!Terminated()) {
            for (unsigned i = 0; i < 2000; ++i)
                sink = sink + i;
            ++Steps;
        }
    }
};

TEST(TThreadTest, ReadingTerminatedIsASafePoint)
{
    TWorker thread;
    thread.Resume();
    ASSERT_TRUE(WaitUntil([&] { return thread.Steps > 10; }));
    thread.Suspend();
    Sleep(100);
    const long held = thread.Steps;
    Sleep(300);
    EXPECT_EQ(thread.Steps, held);
    thread.Resume();
    EXPECT_TRUE(WaitUntil([&] { return thread.Steps > held; }));
}

// Deletes itself when its Execute returns.
class TFreeing : public TThread {
public:
    explicit TFreeing(std::atomic<bool> *deleted) : TThread(true), FDeleted(deleted) {}
    ~TFreeing() override { *FDeleted = true; }

protected:
    void Execute() override {}

private:
    std::atomic<bool> *FDeleted;
};

TEST(TThreadTest, FreeOnTerminateDeletesTheObjectOnItsThread)
{
    std::atomic<bool> deleted{false};
    auto *thread = new TFreeing(&deleted);
    EXPECT_FALSE(thread->FreeOnTerminate());
    thread->SetFreeOnTerminate(true);
    thread->Resume();
    EXPECT_TRUE(WaitUntil([&] { return deleted.load(); }));
}

} // namespace
