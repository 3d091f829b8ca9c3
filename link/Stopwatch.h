// TStopwatch: the one rule by which the device link measures its time
// limits. Time comes from the monotonic tick count (GetTickCount64), so a
// change of the time of day never ends or stretches a wait. A limit has run
// out when the whole milliseconds elapsed since the start are greater than
// the limit; equal still counts as in time. The waits test their limit only
// between reads, so every wait reads at least once.
#pragma once

#include "windows.h"

class TStopwatch {
public:
  TStopwatch() : FStart(GetTickCount64()) {}

  // Milliseconds since the start, as the absolute difference of the ticks.
  ULONGLONG Elapsed() const {
    const ULONGLONG now = GetTickCount64();
    return now >= FStart ? now - FStart : FStart - now;
  }

  // True when more than `limit` ms have passed; a negative limit has always
  // run out.
  bool Exceeded(long long limit) const {
    return limit < 0 || Elapsed() > static_cast<ULONGLONG>(limit);
  }

private:
  ULONGLONG FStart;
};
