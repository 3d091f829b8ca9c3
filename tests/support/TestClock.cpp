#include "TestClock.h"

#include <time.h>

namespace testsupport {
namespace {

int64_t Ms(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

} // namespace

int64_t MonotonicMs() { return Ms(CLOCK_MONOTONIC); }

int64_t ThreadCpuMs() { return Ms(CLOCK_THREAD_CPUTIME_ID); }

int RemainingMs(int64_t deadline)
{
    const int64_t left = deadline - MonotonicMs();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace testsupport
