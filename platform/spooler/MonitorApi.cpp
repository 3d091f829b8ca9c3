// Port monitors: listed, registered with their library, and removed with
// their ports.
#include "winspool.h"

#include <fstream>
#include <sys/stat.h>

#include "machine/Paths.h"
#include "machine/Spooler.h"
#include "spooler/InfoBuffer.h"
#include "spooler/InjectedFailures.h"
#include "spooler/SpoolerStore.h"
#include "winbase.h"

using spooler::Fail;

namespace {

struct MonitorRecord {
    std::string name;
    std::string environment;
    std::string library;
};

MonitorRecord ReadMonitor(const std::string &name)
{
    MonitorRecord record{name, machine::kLocalEnvironment, ""};
    spooler::ReadString(HKEY_LOCAL_MACHINE, spooler::MonitorKey(name), "Environment", &record.environment);
    spooler::ReadString(HKEY_LOCAL_MACHINE, spooler::MonitorKey(name), "Driver", &record.library);
    return record;
}

// Loads the monitor's library as far as this machine can: the file must lie
// in the system folder and declare itself a port monitor's library.
DWORD CheckLibrary(const std::string &library)
{
    if (library.find_first_of("\\/:") != std::string::npos)
        return ERROR_MOD_NOT_FOUND;
    char system[MAX_PATH];
    const UINT length = GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system)
        return ERROR_MOD_NOT_FOUND;
    const std::string path = machine::UnixPath((std::string(system) + "\\" + library).c_str());
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return ERROR_MOD_NOT_FOUND;
    std::ifstream file(path, std::ios::binary);
    std::string first;
    std::getline(file, first);
    if (!first.empty() && first.back() == '\r')
        first.pop_back();
    return file && first == machine::kMonitorLibrarySignature ? ERROR_SUCCESS : ERROR_PROC_NOT_FOUND;
}

// A name that can be a monitor's key.
bool UsableName(const std::string &name)
{
    return !name.empty() && name.size() <= ARV_REG_MAX_KEY_NAME && name.find('\\') == std::string::npos;
}

} // namespace

BOOL WINAPI EnumMonitorsA(LPSTR pName, DWORD Level, LPBYTE pMonitor, DWORD cbBuf, LPDWORD pcbNeeded,
                          LPDWORD pcReturned)
{
    if (!spooler::CheckEnumeration(pName, Level, 2, pMonitor, cbBuf, pcbNeeded, pcReturned))
        return FALSE;
    std::vector<MonitorRecord> monitors;
    size_t stringBytes = 0;
    for (const std::string &name : spooler::Monitors()) {
        monitors.push_back(ReadMonitor(name));
        const MonitorRecord &record = monitors.back();
        stringBytes += record.name.size() + 1;
        if (Level == 2)
            stringBytes += record.environment.size() + 1 + record.library.size() + 1;
    }
    const size_t infoSize = Level == 1 ? sizeof(MONITOR_INFO_1A) : sizeof(MONITOR_INFO_2A);
    spooler::InfoBuffer buffer(pMonitor, cbBuf, monitors.size(), infoSize, stringBytes);
    if (buffer.Fits()) {
        for (size_t i = 0; i < monitors.size(); ++i) {
            if (Level == 1) {
                MONITOR_INFO_1A info{};
                info.pName = buffer.Put(monitors[i].name);
                buffer.Store(i, info);
            } else {
                MONITOR_INFO_2A info{};
                info.pName = buffer.Put(monitors[i].name);
                info.pEnvironment = buffer.Put(monitors[i].environment);
                info.pDLLName = buffer.Put(monitors[i].library);
                buffer.Store(i, info);
            }
        }
    }
    return buffer.Finish(pcbNeeded, pcReturned);
}

BOOL WINAPI AddMonitorA(LPSTR pName, DWORD Level, LPBYTE pMonitors)
{
    if (spooler::InjectedFailure(machine::testing::SpoolerCall::AddMonitor))
        return FALSE;
    MONITOR_INFO_2A info;
    if (!spooler::ReadAddedInfo(pName, Level, pMonitors, &info, sizeof info))
        return FALSE;
    const std::string name = spooler::Text(info.pName);
    const std::string library = spooler::Text(info.pDLLName);
    if (!UsableName(name) || library.empty())
        return Fail(ERROR_INVALID_PARAMETER);
    std::string environment;
    if (!spooler::KnownEnvironment(info.pEnvironment, &environment))
        return Fail(ERROR_INVALID_ENVIRONMENT);

    spooler::StoreLock lock;
    if (!lock.Held())
        return FALSE;
    std::string existing;
    if (spooler::FindSubKey(HKEY_LOCAL_MACHINE, machine::kMonitorsKey, name, &existing))
        return Fail(ERROR_PRINT_MONITOR_ALREADY_INSTALLED);
    const DWORD loaded = CheckLibrary(library);
    if (loaded != ERROR_SUCCESS)
        return Fail(loaded);
    const LONG written = spooler::WriteValues(HKEY_LOCAL_MACHINE, spooler::MonitorKey(name),
                                              {spooler::StringValue("Driver", library),
                                               spooler::StringValue("Environment", environment)});
    if (written != ERROR_SUCCESS) {
        spooler::DeleteKeyTree(HKEY_LOCAL_MACHINE, spooler::MonitorKey(name));
        return Fail(static_cast<DWORD>(written));
    }
    return TRUE;
}

BOOL WINAPI DeleteMonitorA(LPSTR pName, LPSTR pEnvironment, LPSTR pMonitorName)
{
    if (spooler::InjectedFailure(machine::testing::SpoolerCall::DeleteMonitor))
        return FALSE;
    std::string name;
    if (!spooler::LocalName(pName, pMonitorName, &name))
        return FALSE;
    std::string environment;
    if (!spooler::KnownEnvironment(pEnvironment, &environment))
        return Fail(ERROR_INVALID_ENVIRONMENT);

    spooler::StoreLock lock;
    if (!lock.Held())
        return FALSE;
    std::string monitor;
    if (!spooler::FindSubKey(HKEY_LOCAL_MACHINE, machine::kMonitorsKey, name, &monitor))
        return Fail(ERROR_UNKNOWN_PRINT_MONITOR);
    for (const spooler::PrinterRecord &printer : spooler::Printers()) {
        spooler::PortRecord port;
        if (spooler::FindPort(printer.port, &port) && spooler::SameName(port.monitor, monitor))
            return Fail(ERROR_PRINT_MONITOR_IN_USE);
    }
    const LONG deleted = spooler::DeleteKeyTree(HKEY_LOCAL_MACHINE, spooler::MonitorKey(monitor));
    return deleted == ERROR_SUCCESS ? TRUE : Fail(static_cast<DWORD>(deleted));
}
