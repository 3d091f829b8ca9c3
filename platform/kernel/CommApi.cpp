// The Windows COM-port calls, on the port objects behind the handles, with
// the failures tests can inject into the three set-up calls.
#include <atomic>

#include "CommPort.h"
#include "machine/Testing.h"
#include "winbase.h"
#include "winerror.h"

namespace platform {
namespace {

enum Injection { kOff = 0, kOnce = 1, kAlways = 2 };

std::atomic<int> gInjected[3];

// True when the call is to fail now; a one-shot failure is used up.
bool Injected(machine::testing::CommCall which)
{
    std::atomic<int> &slot = gInjected[static_cast<int>(which)];
    int mode = slot.load();
    if (mode == kOnce && slot.compare_exchange_strong(mode, kOff))
        return true;
    return mode == kAlways;
}

bool FailInjected(machine::testing::CommCall which)
{
    if (!Injected(which))
        return false;
    SetLastError(ERROR_GEN_FAILURE);
    return true;
}

std::shared_ptr<CommPort> PortOf(HANDLE handle)
{
    std::shared_ptr<CommPort> port = LookupHandleAs<CommPort>(handle);
    if (!port)
        SetLastError(ERROR_INVALID_HANDLE);
    return port;
}

} // namespace
} // namespace platform

namespace machine {
namespace testing {

void FailCommCall(CommCall which, bool fail)
{
    platform::gInjected[static_cast<int>(which)].store(fail ? platform::kAlways : platform::kOff);
}

void FailNextCommCall(CommCall which)
{
    platform::gInjected[static_cast<int>(which)].store(platform::kOnce);
}

void ResetCommFailures()
{
    for (std::atomic<int> &slot : platform::gInjected)
        slot.store(platform::kOff);
}

} // namespace testing
} // namespace machine

using machine::testing::CommCall;
using platform::PortOf;

BOOL WINAPI SetCommMask(HANDLE hFile, DWORD dwEvtMask)
{
    if (platform::FailInjected(CommCall::SetCommMask))
        return FALSE;
    auto port = PortOf(hFile);
    if (!port)
        return FALSE;
    const DWORD known = EV_RXCHAR | EV_RXFLAG | EV_TXEMPTY | EV_CTS | EV_DSR | EV_RLSD | EV_BREAK |
                        EV_ERR | EV_RING | EV_PERR | EV_RX80FULL | EV_EVENT1 | EV_EVENT2;
    if (dwEvtMask & ~known) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    port->SetMask(dwEvtMask);
    return TRUE;
}

BOOL WINAPI GetCommMask(HANDLE hFile, LPDWORD lpEvtMask)
{
    auto port = PortOf(hFile);
    if (!port)
        return FALSE;
    if (!lpEvtMask) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpEvtMask = port->Mask();
    return TRUE;
}

BOOL WINAPI SetCommState(HANDLE hFile, LPDCB lpDCB)
{
    if (platform::FailInjected(CommCall::SetCommState))
        return FALSE;
    auto port = PortOf(hFile);
    if (!port)
        return FALSE;
    if (!lpDCB) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return port->SetState(*lpDCB);
}

BOOL WINAPI GetCommState(HANDLE hFile, LPDCB lpDCB)
{
    auto port = PortOf(hFile);
    if (!port)
        return FALSE;
    if (!lpDCB) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpDCB = port->State();
    return TRUE;
}

BOOL WINAPI SetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts)
{
    if (platform::FailInjected(CommCall::SetCommTimeouts))
        return FALSE;
    auto port = PortOf(hFile);
    if (!port)
        return FALSE;
    // The serial driver refuses all three read time-outs at MAXDWORD.
    if (!lpCommTimeouts || (lpCommTimeouts->ReadIntervalTimeout == MAXDWORD &&
                            lpCommTimeouts->ReadTotalTimeoutMultiplier == MAXDWORD &&
                            lpCommTimeouts->ReadTotalTimeoutConstant == MAXDWORD)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    port->SetTimeouts(*lpCommTimeouts);
    return TRUE;
}

BOOL WINAPI GetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts)
{
    auto port = PortOf(hFile);
    if (!port)
        return FALSE;
    if (!lpCommTimeouts) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpCommTimeouts = port->Timeouts();
    return TRUE;
}

BOOL WINAPI PurgeComm(HANDLE hFile, DWORD dwFlags)
{
    auto port = PortOf(hFile);
    return port ? port->Purge(dwFlags) : FALSE;
}
