// Plugging and unplugging the bridge's device: exactly the enumeration keys
// and the port link, nothing else.
#include "RegistryFixture.h"

#include "PseudoTerminal.h"

#include "machine/FtdiBus.h"
#include "winreg.h"

#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The ids the device is plugged in under, here those of the bridge's own
// default product.
const char kVendor[] = "0403";
const char kProduct[] = "6001";

class FtdiBus : public TempRootTest {
protected:
    void SetUp() override
    {
        TempRootTest::SetUp();
        ASSERT_TRUE(fPty.Ok());
        fTty = fPty.SlavePath();
    }

    static std::vector<std::string> SubKeys(const std::string &path)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return {"<missing>"};
        std::vector<std::string> names = TempRootTest::SubKeys(key);
        RegCloseKey(key);
        return names;
    }

    // The parameters key's values as name=data, data up to its NUL.
    static std::vector<std::string> Values(const std::string &path)
    {
        std::vector<std::string> values;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return {"<missing>"};
        char name[256], data[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = sizeof name, size = sizeof data, type = 0;
            if (RegEnumValueA(key, i, name, &length, nullptr, &type, reinterpret_cast<BYTE *>(data), &size) !=
                ERROR_SUCCESS)
                break;
            EXPECT_EQ(type, REG_SZ);
            EXPECT_EQ(size, strlen(data) + 1) << "stored with its NUL";
            values.push_back(std::string(name, length) + "=" + data);
        }
        RegCloseKey(key);
        return values;
    }

    static std::string LinkTarget(const std::string &portName)
    {
        char target[PATH_MAX];
        ssize_t length = readlink(machine::PortLink(portName).c_str(), target, sizeof target);
        return length < 0 ? std::string("<none>") : std::string(target, static_cast<size_t>(length));
    }

    testsupport::PseudoTerminal fPty;
    std::string fTty;
};

TEST_F(FtdiBus, PlugWritesTheEnumerationKeysAndTheLink)
{
    ASSERT_TRUE(machine::PlugDevice("A1B2C3", "0000", "COM5", fTty, kVendor, kProduct));
    EXPECT_EQ(SubKeys(machine::kFtdiBusKey), std::vector<std::string>({"VID_0403+PID_6001+A1B2C3"}));
    EXPECT_EQ(SubKeys(std::string(machine::kFtdiBusKey) + "\\VID_0403+PID_6001+A1B2C3"),
              std::vector<std::string>({"0000"}));
    EXPECT_EQ(machine::FtdiParametersKey("A1B2C3", "0000", kVendor, kProduct),
              "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_6001+A1B2C3\\0000\\Device Parameters");
    EXPECT_EQ(SubKeys(machine::FtdiParametersKey("A1B2C3", "0000", kVendor, kProduct)), std::vector<std::string>());
    EXPECT_EQ(Values(machine::FtdiParametersKey("A1B2C3", "0000", kVendor, kProduct)), std::vector<std::string>({"PortName=COM5"}));
    EXPECT_EQ(LinkTarget("COM5"), fTty);

    // The link leads to the real tty.
    int port = open(machine::PortLink("COM5").c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(port, 0);
    ASSERT_EQ(write(port, "x", 1), 1);
    EXPECT_EQ(fPty.ReceiveText(1), "x");
    close(port);
}

TEST_F(FtdiBus, UnplugRemovesTheInstanceThenTheDevice)
{
    ASSERT_TRUE(machine::PlugDevice("A1", "0000", "COM5", fTty, kVendor, kProduct));
    ASSERT_TRUE(machine::PlugDevice("A1", "0001", "COM6", fTty, kVendor, kProduct));
    ASSERT_TRUE(machine::PlugDevice("B2", "0000", "COM7", fTty, kVendor, kProduct));

    ASSERT_TRUE(machine::UnplugDevice("A1", "0000", "COM5", kVendor, kProduct));
    EXPECT_EQ(SubKeys(std::string(machine::kFtdiBusKey) + "\\VID_0403+PID_6001+A1"),
              std::vector<std::string>({"0001"}));
    EXPECT_EQ(LinkTarget("COM5"), "<none>");
    EXPECT_EQ(LinkTarget("COM6"), fTty);

    // Without a port name the instance's own PortName says which link goes.
    ASSERT_TRUE(machine::UnplugDevice("A1", "0001", "", kVendor, kProduct));
    EXPECT_EQ(SubKeys(machine::kFtdiBusKey), std::vector<std::string>({"VID_0403+PID_6001+B2"}));
    EXPECT_EQ(LinkTarget("COM6"), "<none>");
    EXPECT_EQ(LinkTarget("COM7"), fTty);

    EXPECT_TRUE(machine::UnplugDevice("A1", "0001", "", kVendor, kProduct)) << "already gone is fine";
    ASSERT_TRUE(machine::UnplugDevice("B2", "0000", "", kVendor, kProduct));
    EXPECT_EQ(SubKeys(machine::kFtdiBusKey), std::vector<std::string>()) << "the bus key itself stays";
}

TEST_F(FtdiBus, PlugReplacesAStaleLink)
{
    ASSERT_EQ(symlink("/dev/pts/nonexistent", machine::PortLink("COM3").c_str()), 0);
    ASSERT_TRUE(machine::PlugDevice("A1", "0000", "COM3", fTty, kVendor, kProduct));
    EXPECT_EQ(LinkTarget("COM3"), fTty);
    ASSERT_TRUE(machine::PlugDevice("A1", "0000", "COM4", fTty, kVendor, kProduct)) << "the same instance on a new port";
    EXPECT_EQ(Values(machine::FtdiParametersKey("A1", "0000", kVendor, kProduct)), std::vector<std::string>({"PortName=COM4"}));
}

TEST_F(FtdiBus, RegistersWithoutALinkAndWithOtherIds)
{
    ASSERT_TRUE(machine::RegisterDevice("Z9", "0000", "COM12", "0403", "6010"));
    EXPECT_EQ(SubKeys(machine::kFtdiBusKey), std::vector<std::string>({"VID_0403+PID_6010+Z9"}));
    EXPECT_EQ(LinkTarget("COM12"), "<none>");
    EXPECT_EQ(machine::FtdiDeviceKeyName("Z9", "0403", "6010"), "VID_0403+PID_6010+Z9");
    ASSERT_TRUE(machine::UnplugDevice("Z9", "0000", "", "0403", "6010"));
    EXPECT_EQ(SubKeys(machine::kFtdiBusKey), std::vector<std::string>());
}

TEST_F(FtdiBus, UnplugLeavesAFileThatIsNoLink)
{
    ASSERT_TRUE(machine::RegisterDevice("A1", "0000", "COM5", kVendor, kProduct));
    int file = open(machine::PortLink("COM5").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(file, 0);
    close(file);
    EXPECT_FALSE(machine::UnplugDevice("A1", "0000", "", kVendor, kProduct));
    struct stat info;
    EXPECT_EQ(lstat(machine::PortLink("COM5").c_str(), &info), 0);
    EXPECT_EQ(SubKeys(machine::kFtdiBusKey), std::vector<std::string>()) << "the keys go all the same";
}

TEST_F(FtdiBus, RefusesNamesThatAreNoPorts)
{
    EXPECT_FALSE(machine::PlugDevice("A1", "0000", "", fTty, kVendor, kProduct));
    EXPECT_FALSE(machine::PlugDevice("A1", "0000", "../escape", fTty, kVendor, kProduct));
    EXPECT_FALSE(machine::PlugDevice("A1", "", "COM3", fTty, kVendor, kProduct));
    EXPECT_EQ(SubKeys(machine::kFtdiBusKey), std::vector<std::string>({"<missing>"}));
}

} // namespace
