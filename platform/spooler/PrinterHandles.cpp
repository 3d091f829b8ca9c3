#include "spooler/PrinterHandles.h"

#include <cstdint>
#include <map>
#include <mutex>

namespace spooler {
namespace {

std::mutex gLock;
std::map<uintptr_t, PrinterHandle> gHandles;
uintptr_t gNext = 0x50000;

} // namespace

HANDLE OpenPrinterHandle(const PrinterHandle &printer)
{
    std::lock_guard<std::mutex> hold(gLock);
    const uintptr_t value = gNext;
    gNext += 4;
    gHandles.emplace(value, printer);
    return reinterpret_cast<HANDLE>(value);
}

bool FindPrinterHandle(HANDLE handle, PrinterHandle *printer)
{
    std::lock_guard<std::mutex> hold(gLock);
    auto found = gHandles.find(reinterpret_cast<uintptr_t>(handle));
    if (found == gHandles.end())
        return false;
    *printer = found->second;
    return true;
}

bool ClosePrinterHandle(HANDLE handle)
{
    std::lock_guard<std::mutex> hold(gLock);
    return gHandles.erase(reinterpret_cast<uintptr_t>(handle)) > 0;
}

} // namespace spooler
