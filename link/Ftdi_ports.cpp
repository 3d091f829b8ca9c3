#include "Ftdi_ports.h"

#include "DeviceIds.h"
#include "Registry.h"
#include "StringList.h"

namespace {

const char kBusKey[] = "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS";
const char kParametersKey[] = "\\Device Parameters\\";
const char kPortNameValue[] = "PortName";
const int kDevicePrefixLength = 17;

} // namespace

TStringList *ListFtdiPorts(TPortTestOpen testOpen) {
  TStringList *ports = new TStringList;
  AnsiString prefix;
  prefix.printf("VID_%s+PID_%s", kDeviceVendorId, kDeviceProductId);

  TRegistry *bus = new TRegistry;
  bus->SetRootKey(HKEY_LOCAL_MACHINE);
  if (!bus->OpenKeyReadOnly(kBusKey)) {
    delete bus;
    return ports;
  }
  TStringList *devices = new TStringList;
  bus->GetKeyNames(devices);

  for (int i = 0; i < devices->Count(); ++i) {
    const AnsiString device = devices->Strings(i);
    if (device.SubString(1, kDevicePrefixLength) != prefix)
      continue;
    const AnsiString deviceKey = AnsiString(kBusKey) + "\\" + device;
    TRegistry *deviceReg = new TRegistry;
    deviceReg->SetRootKey(HKEY_LOCAL_MACHINE);
    if (!deviceReg->OpenKeyReadOnly(deviceKey)) {
      delete deviceReg;
      continue;
    }
    TStringList *instances = new TStringList;
    deviceReg->GetKeyNames(instances);

    for (int j = 0; j < instances->Count(); ++j) {
      TRegistry *params = new TRegistry;
      params->SetRootKey(HKEY_LOCAL_MACHINE);
      if (params->OpenKeyReadOnly(deviceKey + "\\" + instances->Strings(j) + kParametersKey) &&
          params->ValueExists(kPortNameValue)) {
        const AnsiString port = params->ReadString(kPortNameValue);
        if (testOpen(port))
          ports->Add(port);
      }
      delete params;
    }
    delete instances;
    delete deviceReg;
  }
  delete devices;
  delete bus;
  return ports;
}
