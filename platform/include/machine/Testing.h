// Hooks for tests of code that sits on the platform layer. Everything here is
// off by default and costs nothing while off.
#pragma once

#include "windef.h"

#include <string>

namespace machine {
namespace testing {

enum class CommCall { SetCommMask, SetCommTimeouts, SetCommState };

// Makes every call of `which` fail (FALSE, ERROR_GEN_FAILURE) while `fail`
// is true, before it looks at its arguments.
void FailCommCall(CommCall which, bool fail);

// Makes only the next call of `which` fail as above.
void FailNextCommCall(CommCall which);

// Turns every injected failure off.
void ResetCommFailures();

// Replaces the source of GetTickCount and GetTickCount64 (milliseconds);
// nullptr restores the monotonic clock. The source may be called from any
// thread.
void SetTickSource(ULONGLONG (*source)());

enum class SpoolerCall { EnumPorts, AddMonitor, AddPort, DeletePort, DeleteMonitor, AddPrinter };

// Makes the call of `which` that comes `nth` from now (1: the next one)
// fail with `error` before it looks at its arguments, once; the calls
// before it run as usual.
void FailSpoolerCall(SpoolerCall which, int nth, DWORD error);

// Turns every injected spooler failure off.
void ResetSpoolerFailures();

// Makes GetModuleFileNameA name `windowsPath` as the program's file, as if
// the program had been started from there (an installer run from its
// media, say); "" restores the program's real file.
void SetModuleFileName(const std::string &windowsPath);

} // namespace testing
} // namespace machine
