#include <atomic>
#include <csignal>
#include <sys/time.h>

#include <gtest/gtest.h>

#include "TestClock.h"
#include "machine/Testing.h"
#include "windows.h"

namespace {

std::atomic<ULONGLONG> gFakeTicks{0};
ULONGLONG FakeTicks() { return gFakeTicks.load(); }

class ClockTest : public ::testing::Test {
protected:
    void TearDown() override { machine::testing::SetTickSource(nullptr); }
};

TEST_F(ClockTest, SleepLastsAtLeastItsTime)
{
    const ULONGLONG before = GetTickCount64();
    Sleep(200);
    const ULONGLONG after = GetTickCount64();
    EXPECT_GE(after - before, 200u);
    EXPECT_LT(after - before, 20000u) << "returned eventually";
    Sleep(0);
}

volatile sig_atomic_t gSignals = 0;
void CountSignal(int) { gSignals = gSignals + 1; }

TEST_F(ClockTest, SleepGoesOnAfterSignals)
{
    struct sigaction action = {};
    action.sa_handler = CountSignal; // no SA_RESTART: the sleep sees EINTR
    struct sigaction previous;
    ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
    itimerval every{{0, 20000}, {0, 20000}};
    ASSERT_EQ(setitimer(ITIMER_REAL, &every, nullptr), 0);

    const int64_t before = testsupport::MonotonicMs();
    Sleep(300);
    const int64_t elapsed = testsupport::MonotonicMs() - before;

    itimerval off{};
    setitimer(ITIMER_REAL, &off, nullptr);
    sigaction(SIGALRM, &previous, nullptr);
    EXPECT_GT(gSignals, 0);
    EXPECT_GE(elapsed, 299);
}

TEST_F(ClockTest, TheTickSourceCanBeReplacedAndRestored)
{
    gFakeTicks = 0x100000005ull;
    machine::testing::SetTickSource(FakeTicks);
    EXPECT_EQ(GetTickCount64(), 0x100000005ull);
    EXPECT_EQ(GetTickCount(), 5u) << "the 32-bit count wraps";
    gFakeTicks = 42;
    EXPECT_EQ(GetTickCount64(), 42u);

    machine::testing::SetTickSource(nullptr);
    const ULONGLONG real = GetTickCount64();
    const int64_t monotonic = testsupport::MonotonicMs();
    EXPECT_LE(static_cast<int64_t>(real) - monotonic, 1000);
    EXPECT_GE(static_cast<int64_t>(real) - monotonic, -1000);
}

TEST_F(ClockTest, TicksNeverGoBack)
{
    ULONGLONG last = GetTickCount64();
    for (int i = 0; i < 20; ++i) {
        Sleep(1);
        const ULONGLONG now = GetTickCount64();
        EXPECT_GE(now, last);
        last = now;
    }
}

} // namespace
