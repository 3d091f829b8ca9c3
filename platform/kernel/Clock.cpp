#include "Clock.h"

#include <atomic>
#include <cerrno>
#include <limits>
#include <sched.h>
#include <time.h>

#include "SafePoint.h"
#include "machine/Testing.h"
#include "winbase.h"

namespace platform {
namespace {

std::atomic<ULONGLONG (*)()> gTickSource{nullptr};

timespec ToTimespec(int64_t nanos)
{
    timespec at;
    at.tv_sec = static_cast<time_t>(nanos / 1000000000);
    at.tv_nsec = static_cast<long>(nanos % 1000000000);
    return at;
}

} // namespace

int64_t MonotonicNanos()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int64_t DeadlineAfter(int64_t start, uint64_t ms)
{
    const int64_t limit = std::numeric_limits<int64_t>::max();
    if (ms > static_cast<uint64_t>((limit - start) / kNanosPerMilli))
        return limit;
    return start + static_cast<int64_t>(ms) * kNanosPerMilli;
}

void SleepUntil(int64_t deadline)
{
    const timespec at = ToTimespec(deadline);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
}

} // namespace platform

namespace machine {
namespace testing {

void SetTickSource(ULONGLONG (*source)()) { platform::gTickSource.store(source); }

} // namespace testing
} // namespace machine

void WINAPI Sleep(DWORD dwMilliseconds)
{
    platform::SafePoint();
    if (dwMilliseconds == 0) {
        sched_yield();
    } else if (dwMilliseconds == INFINITE) {
        for (;;)
            platform::SleepUntil(std::numeric_limits<int64_t>::max());
    } else {
        platform::SleepUntil(platform::DeadlineAfter(platform::MonotonicNanos(), dwMilliseconds));
    }
    platform::SafePoint();
}

ULONGLONG WINAPI GetTickCount64()
{
    if (ULONGLONG (*source)() = platform::gTickSource.load())
        return source();
    return static_cast<ULONGLONG>(platform::MonotonicNanos() / platform::kNanosPerMilli);
}

DWORD WINAPI GetTickCount() { return static_cast<DWORD>(GetTickCount64()); }
