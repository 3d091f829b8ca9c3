// Clocks for tests: elapsed time and the calling thread's CPU time, in
// milliseconds.
#pragma once

#include <cstdint>

namespace testsupport {

int64_t MonotonicMs();
int64_t ThreadCpuMs();

// Milliseconds left until `deadline` (a MonotonicMs() value), never below 0.
int RemainingMs(int64_t deadline);

} // namespace testsupport
