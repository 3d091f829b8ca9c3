#include "spooler/RedirectMonitor.h"

#include "machine/Spooler.h"
#include "spooler/SpoolerStore.h"

namespace spooler {

LONG AddRedirectPort(const std::string &monitor, std::string *port)
{
    const std::vector<PortRecord> ports = Ports();
    std::string name;
    for (unsigned number = 1;; ++number) {
        name = "RPT" + std::to_string(number) + ":";
        bool taken = false;
        for (const PortRecord &record : ports)
            taken = taken || SameName(record.port, name);
        if (!taken)
            break;
    }
    const LONG result = WriteValues(HKEY_LOCAL_MACHINE, PortKey(monitor, name), {});
    if (result != ERROR_SUCCESS)
        return result;
    // The port is there even when its name cannot be recorded.
    WriteValues(HKEY_CURRENT_USER, machine::kRedirectMonitorKey, {StringValue(machine::kLastPortValue, name)});
    *port = name;
    return ERROR_SUCCESS;
}

} // namespace spooler
