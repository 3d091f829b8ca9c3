// The monotonic clock that every wait of the layer measures against.
#pragma once

#include <cstdint>

namespace platform {

// Nanoseconds of CLOCK_MONOTONIC.
int64_t MonotonicNanos();

constexpr int64_t kNanosPerMilli = 1000000;

// A deadline `ms` milliseconds after `start` (nanoseconds), saturating.
int64_t DeadlineAfter(int64_t start, uint64_t ms);

// Sleeps until the monotonic clock reaches `deadline`, resuming after signals.
void SleepUntil(int64_t deadline);

} // namespace platform
