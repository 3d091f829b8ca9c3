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

std::shared_ptr<CommPort> PortOf(HANDLE handle)
{
    std::shared_ptr<CommPort> port = LookupHandleAs<CommPort>(handle);
    if (!port)
        SetLastError(ERROR_INVALID_HANDLE);
    return port;
}

// The port behind `handle` for a call whose argument is valid or not; null
// with the last error set (a bad handle goes before a bad argument).
std::shared_ptr<CommPort> PortFor(HANDLE handle, bool argumentValid)
{
    std::shared_ptr<CommPort> port = PortOf(handle);
    if (port && !argumentValid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return port;
}

// The same for one of the set-up calls, which tests can make fail first.
std::shared_ptr<CommPort> PortForSetUp(machine::testing::CommCall which, HANDLE handle, bool argumentValid)
{
    if (Injected(which)) {
        SetLastError(ERROR_GEN_FAILURE);
        return nullptr;
    }
    return PortFor(handle, argumentValid);
}

// GetCommMask, GetCommState and GetCommTimeouts: what `get` reads from the
// port behind `handle`, into *out.
template <typename T>
BOOL GiveFromPort(HANDLE handle, T *out, T (CommPort::*get)())
{
    std::shared_ptr<CommPort> port = PortFor(handle, out != nullptr);
    if (!port)
        return FALSE;
    *out = (port.get()->*get)();
    return TRUE;
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
using platform::CommPort;
using platform::GiveFromPort;
using platform::PortForSetUp;
using platform::PortOf;

BOOL WINAPI SetCommMask(HANDLE hFile, DWORD dwEvtMask)
{
    const DWORD known = EV_RXCHAR | EV_RXFLAG | EV_TXEMPTY | EV_CTS | EV_DSR | EV_RLSD | EV_BREAK |
                        EV_ERR | EV_RING | EV_PERR | EV_RX80FULL | EV_EVENT1 | EV_EVENT2;
    auto port = PortForSetUp(CommCall::SetCommMask, hFile, !(dwEvtMask & ~known));
    if (!port)
        return FALSE;
    port->SetMask(dwEvtMask);
    return TRUE;
}

BOOL WINAPI GetCommMask(HANDLE hFile, LPDWORD lpEvtMask)
{
    return GiveFromPort(hFile, lpEvtMask, &CommPort::Mask);
}

BOOL WINAPI SetCommState(HANDLE hFile, LPDCB lpDCB)
{
    auto port = PortForSetUp(CommCall::SetCommState, hFile, lpDCB != nullptr);
    if (!port)
        return FALSE;
    return port->SetState(*lpDCB);
}

BOOL WINAPI GetCommState(HANDLE hFile, LPDCB lpDCB)
{
    return GiveFromPort(hFile, lpDCB, &CommPort::State);
}

BOOL WINAPI SetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts)
{
    // The serial driver refuses all three read time-outs at MAXDWORD.
    const bool valid = lpCommTimeouts && !(lpCommTimeouts->ReadIntervalTimeout == MAXDWORD &&
                                           lpCommTimeouts->ReadTotalTimeoutMultiplier == MAXDWORD &&
                                           lpCommTimeouts->ReadTotalTimeoutConstant == MAXDWORD);
    auto port = PortForSetUp(CommCall::SetCommTimeouts, hFile, valid);
    if (!port)
        return FALSE;
    port->SetTimeouts(*lpCommTimeouts);
    return TRUE;
}

BOOL WINAPI GetCommTimeouts(HANDLE hFile, LPCOMMTIMEOUTS lpCommTimeouts)
{
    return GiveFromPort(hFile, lpCommTimeouts, &CommPort::Timeouts);
}

BOOL WINAPI PurgeComm(HANDLE hFile, DWORD dwFlags)
{
    auto port = PortOf(hFile);
    return port ? port->Purge(dwFlags) : FALSE;
}
