// Suspension of threads. POSIX cannot stop a thread where it stands, so a
// SuspendThread takes hold when the thread next passes a safe point: every
// layer call that waits passes one before and after its wait.
#pragma once

namespace platform {

// Blocks the calling thread while its suspend count is above zero.
void SafePoint();

} // namespace platform
