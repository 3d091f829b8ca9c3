// Ports: each belongs to a monitor, which adds it; listed monitor by
// monitor, and removed while no printer prints to them.
#include "winspool.h"

#include "machine/Spooler.h"
#include "spooler/InfoBuffer.h"
#include "spooler/InjectedFailures.h"
#include "spooler/RedirectMonitor.h"
#include "spooler/SpoolerStore.h"

using spooler::Fail;

BOOL WINAPI EnumPortsA(LPSTR pName, DWORD Level, LPBYTE pPort, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned)
{
    if (spooler::InjectedFailure(machine::testing::SpoolerCall::EnumPorts))
        return FALSE;
    if (!spooler::CheckEnumeration(pName, Level, 2, pPort, cbBuf, pcbNeeded, pcReturned))
        return FALSE;
    const std::vector<spooler::PortRecord> ports = spooler::Ports();
    const std::string description = spooler::kRedirectPortDescription;
    size_t stringBytes = 0;
    for (const spooler::PortRecord &port : ports) {
        stringBytes += port.port.size() + 1;
        if (Level == 2)
            stringBytes += port.monitor.size() + 1 + description.size() + 1;
    }
    const size_t infoSize = Level == 1 ? sizeof(PORT_INFO_1A) : sizeof(PORT_INFO_2A);
    spooler::InfoBuffer buffer(pPort, cbBuf, ports.size(), infoSize, stringBytes);
    if (buffer.Fits()) {
        for (size_t i = 0; i < ports.size(); ++i) {
            if (Level == 1) {
                PORT_INFO_1A info{};
                info.pName = buffer.Put(ports[i].port);
                buffer.Store(i, info);
            } else {
                PORT_INFO_2A info{};
                info.pPortName = buffer.Put(ports[i].port);
                info.pMonitorName = buffer.Put(ports[i].monitor);
                info.pDescription = buffer.Put(description);
                info.fPortType = spooler::kRedirectPortType;
                buffer.Store(i, info);
            }
        }
    }
    return buffer.Finish(pcbNeeded, pcReturned);
}

BOOL WINAPI AddPortA(LPSTR pName, HWND, LPSTR pMonitorName)
{
    if (spooler::InjectedFailure(machine::testing::SpoolerCall::AddPort))
        return FALSE;
    std::string name;
    if (!spooler::LocalName(pName, pMonitorName, &name))
        return FALSE;

    spooler::StoreLock lock;
    if (!lock.Held())
        return FALSE;
    std::string monitor;
    if (!spooler::FindSubKey(HKEY_LOCAL_MACHINE, machine::kMonitorsKey, name, &monitor))
        return Fail(ERROR_UNKNOWN_PRINT_MONITOR);
    std::string port;
    const LONG added = spooler::AddRedirectPort(monitor, &port);
    return added == ERROR_SUCCESS ? TRUE : Fail(static_cast<DWORD>(added));
}

BOOL WINAPI DeletePortA(LPSTR pName, HWND, LPSTR pPortName)
{
    if (spooler::InjectedFailure(machine::testing::SpoolerCall::DeletePort))
        return FALSE;
    std::string name;
    if (!spooler::LocalName(pName, pPortName, &name))
        return FALSE;

    spooler::StoreLock lock;
    if (!lock.Held())
        return FALSE;
    spooler::PortRecord port;
    if (!spooler::FindPort(name, &port))
        return Fail(ERROR_UNKNOWN_PORT);
    for (const spooler::PrinterRecord &printer : spooler::Printers()) {
        if (spooler::SameName(printer.port, port.port))
            return Fail(ERROR_BUSY);
    }
    const LONG deleted = spooler::DeleteKeyTree(HKEY_LOCAL_MACHINE, spooler::PortKey(port.monitor, port.port));
    return deleted == ERROR_SUCCESS ? TRUE : Fail(static_cast<DWORD>(deleted));
}
