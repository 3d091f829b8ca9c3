// The redirecting port monitor, the one kind of port monitor this machine
// has. The spooler asks it for new ports; it names each one itself and
// keeps the name of the port it added last for its setup programs.
#pragma once

#include <string>

#include "windef.h"

namespace spooler {

// How EnumPortsA describes the monitor's ports.
constexpr const char *kRedirectPortDescription = "Redirected Port";
constexpr DWORD kRedirectPortType = 0x0001; // PORT_TYPE_WRITE

// Adds the first free port "RPT1:", "RPT2:", ... (free on the whole
// machine) to `monitor` and records it as the current user's "LastPort".
// Called under the spooler's lock. A registry result code; the port's name
// in `port`.
LONG AddRedirectPort(const std::string &monitor, std::string *port);

} // namespace spooler
