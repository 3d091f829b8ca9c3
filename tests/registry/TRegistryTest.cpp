// TRegistry over the platform's registry, used as the port discovery and
// the installer use it.
#include "RegistryFixture.h"

#include "Registry.h"
#include "StringList.h"
#include "machine/FtdiBus.h"

#include <memory>

namespace {

const char kBus[] = "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS";

class TRegistryTest : public TempRootTest {};

// The walk that port discovery makes: device keys, instances, then each
// instance's "Device Parameters\" with its PortName.
std::vector<std::string> DiscoverPorts(const AnsiString &prefix)
{
    std::vector<std::string> ports;
    std::unique_ptr<TRegistry> bus(new TRegistry);
    bus->SetRootKey(HKEY_LOCAL_MACHINE);
    if (!bus->OpenKeyReadOnly(kBus))
        return ports;
    TStringList devices;
    bus->GetKeyNames(&devices);
    for (int d = 0; d < devices.Count(); ++d) {
        if (devices[d].SubString(1, 17) != prefix)
            continue;
        TRegistry device;
        device.SetRootKey(HKEY_LOCAL_MACHINE);
        if (!device.OpenKeyReadOnly(AnsiString(kBus) + "\\" + devices[d]))
            continue;
        TStringList instances;
        device.GetKeyNames(&instances);
        for (int i = 0; i < instances.Count(); ++i) {
            TRegistry parameters;
            parameters.SetRootKey(HKEY_LOCAL_MACHINE);
            if (!parameters.OpenKeyReadOnly(AnsiString(kBus) + "\\" + devices[d] + "\\" + instances[i] +
                                            "\\Device Parameters\\"))
                continue;
            if (!parameters.ValueExists("PortName"))
                continue;
            ports.push_back(parameters.ReadString("PortName").str());
        }
    }
    return ports;
}

TEST_F(TRegistryTest, WalksTheBusKeysAsDiscoveryDoes)
{
    AnsiString prefix;
    prefix.printf("VID_%s+PID_%s", "0403", "6001");
    EXPECT_TRUE(DiscoverPorts(prefix).empty()) << "no bus key yet";

    ASSERT_TRUE(machine::RegisterDevice("B2", "0001", "COM8", "0403", "6001"));
    ASSERT_TRUE(machine::RegisterDevice("B2", "0000", "COM7", "0403", "6001"));
    ASSERT_TRUE(machine::RegisterDevice("A1", "0000", "COM3", "0403", "6001"));
    ASSERT_TRUE(machine::RegisterDevice("C3", "0000", "COM4", "0403", "6010")); // another product
    ASSERT_TRUE(machine::RegisterDevice("D4", "0000", "COM5", "0403", "6001"));
    {
        // Lower-case ids do not match the prefix.
        TRegistry registry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(registry.OpenKey(AnsiString(kBus) + "\\vid_0403+pid_6001+E5\\0000\\Device Parameters", true));
        ASSERT_TRUE(registry.WriteString("PortName", "COM6"));
        // An instance without PortName is left out.
        ASSERT_TRUE(registry.OpenKey("\\" + AnsiString(kBus) + "\\VID_0403+PID_6001+F6\\0000\\Device Parameters", true));
    }
    // Sorted without regard to case: A1, B2 (0000, 0001), D4; vid_...E5 sorts
    // among them but does not match, F6 has no PortName.
    EXPECT_EQ(DiscoverPorts(prefix), std::vector<std::string>({"COM3", "COM7", "COM8", "COM5"}));

    TRegistry bus;
    bus.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(bus.OpenKeyReadOnly(AnsiString(kBus) + "\\"));
    TStringList names;
    names.Add("stale entry");
    bus.GetKeyNames(&names);
    ASSERT_EQ(names.Count(), 6) << names.Text();
    EXPECT_EQ(names[0], "VID_0403+PID_6001+A1");
    EXPECT_EQ(names[3], "vid_0403+pid_6001+E5");
    EXPECT_EQ(names[4], "VID_0403+PID_6001+F6");
    EXPECT_EQ(names[5], "VID_0403+PID_6010+C3");
}

TEST_F(TRegistryTest, ReadsAndWritesValuesOfTheCurrentKey)
{
    TRegistry registry; // HKEY_CURRENT_USER unless set
    EXPECT_EQ(registry.RootKey(), HKEY_CURRENT_USER);
    EXPECT_FALSE(registry.OpenKey("Software\\VELTRONA\\Mfp", false));
    EXPECT_EQ(registry.CurrentKey(), nullptr);
    ASSERT_TRUE(registry.OpenKey("Software\\VELTRONA\\Mfp", true));
    EXPECT_EQ(registry.CurrentPath(), "Software\\VELTRONA\\Mfp");
    EXPECT_TRUE(registry.WriteString("UsbBusOemInf", "C:\\Windows\\inf\\oem3.inf"));
    EXPECT_TRUE(registry.WriteInteger("Count", -5));
    EXPECT_TRUE(registry.WriteExpandString("Path", "%SystemRoot%\\inf"));

    TRegistry reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly("Software\\VELTRONA\\Mfp"));
    EXPECT_TRUE(reader.ValueExists("usbbusoeminf"));
    EXPECT_FALSE(reader.ValueExists("UsbPortOemInf"));
    EXPECT_EQ(reader.ReadString("UsbBusOemInf"), "C:\\Windows\\inf\\oem3.inf");
    EXPECT_EQ(reader.ReadString("Path"), "%SystemRoot%\\inf");
    EXPECT_EQ(reader.ReadInteger("Count"), -5);
    EXPECT_EQ(reader.GetDataType("Count"), rdInteger);
    EXPECT_EQ(reader.GetDataType("Path"), rdExpandString);
    EXPECT_EQ(reader.GetDataSize("UsbBusOemInf"), 24);
    // Where the class library raises, the result is empty.
    EXPECT_EQ(reader.ReadString("Missing"), "");
    EXPECT_EQ(reader.ReadString("Count"), "") << "a number is no string";
    EXPECT_EQ(reader.ReadInteger("UsbBusOemInf"), 0) << "a string is no number";
    EXPECT_EQ(reader.GetDataSize("Missing"), -1);

    // Read-only: writes fail and leave nothing.
    EXPECT_FALSE(reader.WriteString("LastPort", "RPT1:"));
    EXPECT_FALSE(reader.ValueExists("LastPort"));
    EXPECT_FALSE(reader.DeleteValue("Count"));

    TStringList values;
    reader.GetValueNames(&values);
    EXPECT_EQ(values.Text(), "UsbBusOemInf\r\nCount\r\nPath\r\n");

    reader.CloseKey();
    EXPECT_EQ(reader.ReadString("UsbBusOemInf"), "") << "no key open";
    EXPECT_FALSE(reader.ValueExists("UsbBusOemInf"));
    reader.GetValueNames(&values);
    EXPECT_EQ(values.Count(), 0);
}

TEST_F(TRegistryTest, ReadsAStringUpToItsNul)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Raw", &key), ERROR_SUCCESS);
    RegSetValueExA(key, "inner", 0, REG_SZ, reinterpret_cast<const BYTE *>("ab\0cd"), 6);
    RegSetValueExA(key, "unended", 0, REG_SZ, reinterpret_cast<const BYTE *>("xyz"), 3);
    RegCloseKey(key);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly("Software\\Raw"));
    EXPECT_EQ(registry.ReadString("inner"), "ab");
    EXPECT_EQ(registry.ReadString("unended"), "xyz");
}

TEST_F(TRegistryTest, OpensRelativeToTheCurrentKeyUnlessRooted)
{
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(registry.OpenKey("SOFTWARE", true));
    ASSERT_TRUE(registry.OpenKey("Microsoft\\Windows\\CurrentVersion\\Uninstall\\", true));
    EXPECT_EQ(registry.CurrentPath(), "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    ASSERT_TRUE(registry.OpenKey("ARV-A700 Scanner-Printer", true));
    ASSERT_TRUE(registry.WriteString("InstallLocation", "C:\\Program Files\\Veltrona\\Norvik"));
    ASSERT_TRUE(registry.OpenKey("\\SOFTWARE", false));
    EXPECT_EQ(registry.CurrentPath(), "SOFTWARE");
    EXPECT_TRUE(registry.KeyExists("Microsoft\\Windows\\CurrentVersion\\Uninstall\\ARV-A700 Scanner-Printer"));
    EXPECT_TRUE(registry.KeyExists("\\SOFTWARE\\Microsoft"));
    EXPECT_FALSE(registry.KeyExists("Nothing"));
    EXPECT_TRUE(registry.HasSubKeys());

    TRegistry other;
    other.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(other.OpenKeyReadOnly("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ARV-A700 Scanner-Printer"));
    EXPECT_EQ(other.ReadString("InstallLocation"), "C:\\Program Files\\Veltrona\\Norvik");

    // Deleting takes the key with all below it, even from a read-only key.
    ASSERT_TRUE(other.OpenKeyReadOnly("\\SOFTWARE\\Microsoft"));
    EXPECT_TRUE(other.DeleteKey("Windows"));
    EXPECT_FALSE(registry.KeyExists("Microsoft\\Windows"));
    EXPECT_FALSE(other.DeleteKey("Windows"));
    EXPECT_FALSE(other.HasSubKeys());

    // A new root closes the current key.
    registry.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_EQ(registry.CurrentKey(), nullptr);
    EXPECT_FALSE(registry.KeyExists("SOFTWARE\\Microsoft"));
}

TEST_F(TRegistryTest, CreatesKeysWithoutOpeningThem)
{
    TRegistry registry;
    EXPECT_TRUE(registry.CreateKey("Software\\Ghostgum\\RedMon"));
    EXPECT_EQ(registry.CurrentKey(), nullptr);
    EXPECT_TRUE(registry.CreateKey("Software\\Ghostgum\\RedMon")) << "already there";
    ASSERT_TRUE(registry.OpenKey("Software\\Ghostgum\\RedMon", false));
    EXPECT_TRUE(registry.WriteString("LastPort", "RPT1:"));
    std::vector<unsigned char> bytes = {0, 1, 2, 255};
    EXPECT_TRUE(registry.WriteBinaryData("Blob", bytes.data(), 4));
    unsigned char back[8] = {};
    EXPECT_EQ(registry.ReadBinaryData("Blob", back, sizeof back), 4);
    EXPECT_EQ(back[3], 255);
    EXPECT_EQ(registry.ReadBinaryData("Blob", back, 2), 0) << "too small a buffer";
    TRegKeyInfo info;
    ASSERT_TRUE(registry.GetKeyInfo(info));
    EXPECT_EQ(info.NumValues, 2);
    EXPECT_EQ(info.MaxDataLen, 6);
}

} // namespace
