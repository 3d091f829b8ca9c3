// Finding the device's COM port under the bridge's enumeration key: several
// devices and instances, keys that must not match, ports that cannot be
// opened, and what Detect keeps.
#include "DeviceSupport.h"

#include "DeviceIds.h"
#include "Registry.h"
#include "StringList.h"
#include "Tserial.h"
#include "machine/FtdiBus.h"

namespace linktest {
namespace {

std::vector<std::string> Names(TStringList *list) {
  std::vector<std::string> names;
  for (int i = 0; i < list->Count(); ++i)
    names.push_back(list->Strings(i).c_str());
  delete list;
  return names;
}

// Writes an instance key by hand, under any device key name.
void WriteInstance(const std::string &deviceKey, const std::string &instance,
                   const char *portName /* null: no PortName value */) {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  const std::string key = std::string(machine::kFtdiBusKey) + "\\" + deviceKey + "\\" + instance +
                          "\\Device Parameters";
  ASSERT_TRUE(registry.OpenKey(key.c_str(), true)) << key;
  if (portName != nullptr)
    ASSERT_TRUE(registry.WriteString("PortName", portName));
  else
    ASSERT_TRUE(registry.WriteString("Other", "COM1"));
}

standin::DeviceOptions Instance(const std::string &serial, const std::string &instance,
                                const std::string &port) {
  standin::DeviceOptions options;
  options.serial = serial;
  options.instance = instance;
  options.port = port;
  return options;
}

class DeviceDiscovery : public DeviceLinkTest {};

TEST_F(DeviceDiscovery, ListsEveryOpenablePortInRegistryOrder) {
  // Port names out of order, so that only the registry order explains the list.
  StartDevice(Instance("ARV0001", "0000", "COM7"));
  StartDevice(Instance("ARV0002", "0000", "COM5"));
  StartDevice(Instance("ARV0001", "0001", "COM4"));
  EXPECT_EQ(Names(link_->ListPorts()), (std::vector<std::string>{"COM7", "COM4", "COM5"}));

  // Nothing stays open: every listed port opens at once afterwards.
  for (const char *port : {"COM7", "COM4", "COM5"}) {
    TSerial serial;
    EXPECT_EQ(serial.Open(port, 19200, 0, 0), 0) << port;
  }
  // Detect takes the first; the link then talks to that device.
  ASSERT_TRUE(link_->Detect());
  ASSERT_EQ(link_->Reopen(), 0);
  EXPECT_EQ(link_->GetStatus(), 0);
  EXPECT_TRUE(devices_[0]->WaitForLog("status state=", 20000));
  EXPECT_EQ(devices_[1]->CountInLog("status"), 0);
  EXPECT_EQ(devices_[2]->CountInLog("status"), 0);
}

TEST_F(DeviceDiscovery, MatchesOnlyTheDevicesOwnIdsExactly) {
  standin::DeviceOptions other = Instance("ARV0009", "0000", "COM8");
  other.productId = "6010";
  StartDevice(other);
  standin::DeviceOptions vendor = Instance("ARV0008", "0000", "COM9");
  vendor.vendorId = "0404";
  StartDevice(vendor);
  // The right ids in lower case, on a port that opens.
  FakePort lower("COM10");
  ASSERT_TRUE(lower.Ok());
  WriteInstance("vid_0403+pid_6001+ARV0007", "0000", "COM10");
  // Only the ids, without the driver's further text: compared whole.
  FakePort bare("COM11");
  ASSERT_TRUE(bare.Ok());
  WriteInstance("VID_0403+PID_6001", "0000", "COM11");
  // Too short to hold the ids.
  WriteInstance("VID_0403+PID_600", "0000", "COM10");
  EXPECT_TRUE(Names(link_->ListPorts()) == std::vector<std::string>{"COM11"});

  StartDevice(Instance("ARV0001", "0000", "COM3"));
  // The bare key sorts before the longer ones.
  EXPECT_EQ(Names(link_->ListPorts()), (std::vector<std::string>{"COM11", "COM3"}));
}

TEST_F(DeviceDiscovery, SkipsPortsThatDoNotOpen) {
  StartDevice(Instance("ARV0001", "0000", "COM3"));
  StartDevice(Instance("ARV0002", "0000", "COM4"));
  // Held by this process, like the other program holding it.
  TSerial holder;
  ASSERT_EQ(holder.Open("COM3", 19200, 0, 0), 0);
  // Listed, but its port is gone; an empty name; no PortName at all; an
  // instance without its parameters key.
  ASSERT_TRUE(machine::RegisterDevice("ARV0000", "0000", "COM12", kDeviceVendorId, kDeviceProductId));
  WriteInstance(machine::FtdiDeviceKeyName("ARV0001", kDeviceVendorId, kDeviceProductId), "0003", "");
  WriteInstance(machine::FtdiDeviceKeyName("ARV0001", kDeviceVendorId, kDeviceProductId), "0004", nullptr);
  {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.CreateKey(std::string(machine::kFtdiBusKey) + "\\" +
                                   machine::FtdiDeviceKeyName("ARV0002", kDeviceVendorId, kDeviceProductId) + "\\0005"));
  }
  EXPECT_EQ(Names(link_->ListPorts()), (std::vector<std::string>{"COM4"}));
  holder.Close();
  EXPECT_EQ(Names(link_->ListPorts()), (std::vector<std::string>{"COM3", "COM4"}));
}

TEST_F(DeviceDiscovery, FindingNothingChangesNothing) {
  // Without the bus key at all.
  EXPECT_TRUE(Names(link_->ListPorts()).empty());
  FakePort earlier("COM9");
  ASSERT_TRUE(earlier.Ok());
  ASSERT_EQ(link_->Open("COM9", 19200, 0), 0);
  link_->Close();
  EXPECT_FALSE(link_->Detect());

  // The only device's port is held: still nothing.
  StartDevice(Instance("ARV0001", "0000", "COM3"));
  TSerial holder;
  ASSERT_EQ(holder.Open("COM3", 19200, 0, 0), 0);
  EXPECT_FALSE(link_->Detect());
  // The earlier port, baud rate and write delay are still the link's.
  ASSERT_EQ(link_->Reopen(), 0);
  ASSERT_TRUE(earlier.Send({0xF4, 0, 0, 0, 0, 0, 0x07, 0, 0}));
  EXPECT_EQ(link_->GetStatus(), 3);
  EXPECT_EQ(earlier.Receive(5), (Bytes{0xFE, 0xF4, 0x00, 0x00, 0x00}));
}

} // namespace
} // namespace linktest
