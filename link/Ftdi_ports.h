// The device's COM ports as the USB bridge's bus driver lists them: the
// keys of "SYSTEM\CurrentControlSet\Enum\FTDIBUS" whose first 17 characters
// are "VID_<vendor>+PID_<product>" (exact case), each instance's
// "Device Parameters" value "PortName", in registry order. A port is kept
// when `testOpen` opens it, which proves that it exists and that no other
// process holds it; the test must leave the port closed again. The device
// link and the installer share this walk, each with its own test-open.
#pragma once

#include "AnsiString.h"

class TStringList;

typedef bool (*TPortTestOpen)(const AnsiString &port);

// A new list of the ports found (possibly empty); the caller deletes it.
// Nothing is written to a port.
TStringList *ListFtdiPorts(TPortTestOpen testOpen);
