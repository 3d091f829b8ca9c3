// Kernel objects that WaitForSingleObject can wait on: threads and
// processes. An object is signalled once it has ended, and stays so.
#pragma once

#include "Handles.h"

namespace platform {

class Waitable : public KernelObject {
public:
    // Blocks until the object is signalled or `milliseconds` pass (INFINITE:
    // no limit). Returns WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED (with
    // the last error set).
    virtual DWORD Wait(DWORD milliseconds) = 0;
};

} // namespace platform
