#include "spooler/InjectedFailures.h"

#include <atomic>

#include "winbase.h"

namespace {

constexpr int kCalls = static_cast<int>(machine::testing::SpoolerCall::AddPrinter) + 1;

// Calls to go before the failing one plus one; 0 while off.
std::atomic<int> gCountdown[kCalls];
std::atomic<DWORD> gError[kCalls];

} // namespace

namespace machine {
namespace testing {

void FailSpoolerCall(SpoolerCall which, int nth, DWORD error)
{
    const int slot = static_cast<int>(which);
    gError[slot].store(error);
    gCountdown[slot].store(nth > 0 ? nth : 0);
}

void ResetSpoolerFailures()
{
    for (std::atomic<int> &countdown : gCountdown)
        countdown.store(0);
}

} // namespace testing
} // namespace machine

namespace spooler {

bool InjectedFailure(machine::testing::SpoolerCall which)
{
    const int slot = static_cast<int>(which);
    int left = gCountdown[slot].load();
    while (left > 0 && !gCountdown[slot].compare_exchange_weak(left, left - 1)) {
    }
    if (left != 1)
        return false;
    SetLastError(gError[slot].load());
    return true;
}

} // namespace spooler
