// The process's handle table: every HANDLE the layer gives out names a
// kernel object here. Objects are shared so that one thread may still use an
// object (a port in a read, say) while another closes its handle.
#pragma once

#include <memory>

#include "windef.h"

namespace platform {

class KernelObject {
public:
    virtual ~KernelObject() = default;
};

// Returns a new handle for the object (never null, never INVALID_HANDLE_VALUE).
HANDLE InsertHandle(std::shared_ptr<KernelObject> object);

// The object behind a handle, or null for an unknown handle.
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);

template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle)
{
    return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}

// Drops the handle; false for an unknown handle. The object is destroyed
// when its last user lets go of it.
bool RemoveHandle(HANDLE handle);

} // namespace platform
