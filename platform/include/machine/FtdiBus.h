// The USB bridge driver's part of the machine: when a device is plugged in,
// the bridge's bus driver lists it under HKEY_LOCAL_MACHINE
//   SYSTEM\CurrentControlSet\Enum\FTDIBUS\VID_<vid>+PID_<pid>+<serial>\<instance>\Device Parameters
// with the string value "PortName" (the COM port), and the port driver
// presents that port. Here the port is a link in the machine root's port
// folder (machine::PortLink) to the tty that carries it. The device
// stand-in and the tests plug and unplug through these functions, so that
// the registry layout is written in one place. The device's USB ids are the
// caller's: the bridge lists whatever device is plugged in.
#pragma once

#include <string>

namespace machine {

// The bus driver's enumeration key under HKEY_LOCAL_MACHINE.
constexpr const char *kFtdiBusKey = "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS";

// "VID_<vid>+PID_<pid>+<serial>": the device's key name below kFtdiBusKey
// (vid and pid: four hex digits each).
std::string FtdiDeviceKeyName(const std::string &serial, const char *vendorId, const char *productId);
// The instance's "Device Parameters" key, from HKEY_LOCAL_MACHINE.
std::string FtdiParametersKey(const std::string &serial, const std::string &instance, const char *vendorId,
                              const char *productId);

// Writes the instance's keys with "PortName" = portName, and links
// PortLink(portName) to ttyPath (a stale link of that name is replaced).
// False when the registry or the link could not be written.
bool PlugDevice(const std::string &serial, const std::string &instance, const std::string &portName,
                const std::string &ttyPath, const char *vendorId, const char *productId);

// Only the registry entry, no link: a port that is listed but cannot be
// opened (as a device whose port is gone, or for tests of held ports).
bool RegisterDevice(const std::string &serial, const std::string &instance, const std::string &portName,
                    const char *vendorId, const char *productId);

// Removes the instance key, the device key when no instance is left, and
// the port link. An empty portName means the one the instance lists. True
// when nothing of the instance is left (also when it was not there).
bool UnplugDevice(const std::string &serial, const std::string &instance, const std::string &portName,
                  const char *vendorId, const char *productId);

} // namespace machine
