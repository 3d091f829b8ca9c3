#include "Handles.h"

#include <mutex>
#include <unordered_map>

namespace platform {
namespace {

std::mutex gLock;
std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> gTable;
uintptr_t gNext = 0x100;

} // namespace

HANDLE InsertHandle(std::shared_ptr<KernelObject> object)
{
    std::lock_guard<std::mutex> hold(gLock);
    uintptr_t value = gNext;
    gNext += 4;
    gTable.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle)
{
    std::lock_guard<std::mutex> hold(gLock);
    auto found = gTable.find(reinterpret_cast<uintptr_t>(handle));
    return found == gTable.end() ? nullptr : found->second;
}

bool RemoveHandle(HANDLE handle)
{
    std::shared_ptr<KernelObject> doomed;
    {
        std::lock_guard<std::mutex> hold(gLock);
        auto found = gTable.find(reinterpret_cast<uintptr_t>(handle));
        if (found == gTable.end())
            return false;
        doomed = std::move(found->second);
        gTable.erase(found);
    }
    return true; // doomed is released outside the lock
}

} // namespace platform
