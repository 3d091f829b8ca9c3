// A kernel object that ReadFile and WriteFile reach: a file or a COM port.
#pragma once

#include "Handles.h"

namespace platform {

class IoObject : public KernelObject {
public:
    // Each sets the last error when it returns FALSE; `done` is never null.
    virtual BOOL Read(void *buffer, DWORD count, DWORD *done) = 0;
    virtual BOOL Write(const void *buffer, DWORD count, DWORD *done) = 0;
    virtual BOOL Flush() = 0;
};

} // namespace platform
