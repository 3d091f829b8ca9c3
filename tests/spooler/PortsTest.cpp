// Ports: the redirecting monitor's names and "LastPort", the list of every
// monitor's ports, removal, and many processes adding ports at once.
#include "SpoolerFixture.h"

#include <set>

#include "ChildProcess.h"
#include "machine/Spooler.h"

namespace spoolertest {
namespace {

class Ports : public SpoolerTest {
protected:
    void SetUp() override
    {
        SpoolerTest::SetUp();
        PlaceLibrary();
        ASSERT_TRUE(AddMonitor(kMonitor));
    }

    static std::string LastPort()
    {
        return Read(HKEY_CURRENT_USER, machine::kRedirectMonitorKey, machine::kLastPortValue);
    }

    static BOOL DeletePort(const std::string &port)
    {
        std::string name = port;
        return DeletePortA(nullptr, nullptr, &name[0]);
    }
};

const char kDescription[] = "Redirected Port";

TEST_F(Ports, TheMonitorAddsTheFirstFreePortNameAndRecordsIt)
{
    EXPECT_EQ(LastPort(), "<missing>");
    ASSERT_TRUE(AddPort(kMonitor));
    EXPECT_EQ(LastPort(), "RPT1:");
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, PortKey(kMonitor, "RPT1:")));
    ASSERT_TRUE(AddPort("scanner-printer VIRTUAL port")) << "monitor names in any case";
    EXPECT_EQ(LastPort(), "RPT2:");

    ASSERT_TRUE(AddMonitor("Second Monitor"));
    ASSERT_TRUE(AddPort("Second Monitor"));
    EXPECT_EQ(LastPort(), "RPT3:") << "names are free on the whole machine";

    ASSERT_TRUE(DeletePort("rpt1:"));
    ASSERT_TRUE(AddPort(kMonitor));
    EXPECT_EQ(LastPort(), "RPT1:") << "a freed name is taken again";

    std::string unknown = "No Such Monitor";
    EXPECT_FALSE(AddPortA(nullptr, nullptr, &unknown[0]));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINT_MONITOR));
    EXPECT_FALSE(AddPortA(nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(LastPort(), "RPT1:");
}

TEST_F(Ports, AreListedMonitorByMonitorAtBothLevels)
{
    ASSERT_TRUE(AddMonitor("Another Monitor"));
    ASSERT_TRUE(AddPort(kMonitor));
    ASSERT_TRUE(AddPort("Another Monitor"));
    ASSERT_TRUE(AddPort(kMonitor));

    const std::vector<PortEntry> expected{{"RPT2:", "Another Monitor", kDescription, PORT_TYPE_WRITE},
                                          {"RPT1:", kMonitor, kDescription, PORT_TYPE_WRITE},
                                          {"RPT3:", kMonitor, kDescription, PORT_TYPE_WRITE}};
    EXPECT_EQ(PortList(), expected);

    DWORD needed = 0, count = 0;
    EXPECT_FALSE(EnumPortsA(nullptr, 1, nullptr, 0, &needed, &count));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, 3 * sizeof(PORT_INFO_1A) + 3 * sizeof "RPTn:");
    Buffer level1(needed);
    ASSERT_TRUE(EnumPortsA(nullptr, 1, level1.Data(), level1.Size(), &needed, &count));
    ASSERT_EQ(count, 3u);
    EXPECT_STREQ(level1.At<PORT_INFO_1A>(0).pName, "RPT2:");
    EXPECT_STREQ(level1.At<PORT_INFO_1A>(2).pName, "RPT3:");

    // Level 2: the size query, one byte short, and the exact size.
    const DWORD exact = static_cast<DWORD>(3 * sizeof(PORT_INFO_2A) + 3 * sizeof "RPTn:" +
                                           sizeof "Another Monitor" + 2 * (strlen(kMonitor) + 1) +
                                           3 * sizeof kDescription);
    EXPECT_FALSE(EnumPortsA(nullptr, 2, nullptr, 0, &needed, &count));
    EXPECT_EQ(needed, exact);
    Buffer shortBuffer(exact - 1);
    EXPECT_FALSE(EnumPortsA(nullptr, 2, shortBuffer.Data(), shortBuffer.Size(), &needed, &count));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(count, 0u);
    Buffer exactBuffer(exact);
    EXPECT_TRUE(EnumPortsA(nullptr, 2, exactBuffer.Data(), exactBuffer.Size(), &needed, &count));
    EXPECT_EQ(count, 3u);
    EXPECT_TRUE(exactBuffer.Holds(exactBuffer.At<PORT_INFO_2A>(0).pDescription));
}

TEST_F(Ports, NoPortsNeedNoBuffer)
{
    DWORD needed = 99, count = 99;
    EXPECT_TRUE(EnumPortsA(nullptr, 2, nullptr, 0, &needed, &count));
    EXPECT_EQ(needed, 0u);
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(EnumPortsA(nullptr, 4, nullptr, 0, &needed, &count));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
}

TEST_F(Ports, DeletingLeavesOtherPortsAndRefusesAPortInUse)
{
    ASSERT_TRUE(AddMonitor("Another Monitor"));
    ASSERT_TRUE(AddPort(kMonitor));
    ASSERT_TRUE(AddPort("Another Monitor"));
    ASSERT_TRUE(AddPort(kMonitor));
    ASSERT_TRUE(InstallDriver(kModel));
    ASSERT_TRUE(AddPrinter(kPrinter, "RPT3:"));

    EXPECT_FALSE(DeletePort("RPT3:"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BUSY));
    EXPECT_FALSE(DeletePort("RPT9:"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PORT));
    EXPECT_TRUE(DeletePort("rpt1:"));

    const std::vector<PortEntry> expected{{"RPT2:", "Another Monitor", kDescription, PORT_TYPE_WRITE},
                                          {"RPT3:", kMonitor, kDescription, PORT_TYPE_WRITE}};
    EXPECT_EQ(PortList(), expected);
    EXPECT_EQ(LastPort(), "RPT3:") << "the monitor's record stays";
}

TEST_F(Ports, ProcessesAddingPortsAtOnceGetDifferentNames)
{
    constexpr int kProcesses = 4, kEach = 5;
    std::vector<pid_t> children;
    for (int i = 0; i < kProcesses; ++i) {
        children.push_back(testsupport::ForkChild([] {
            for (int n = 0; n < kEach; ++n) {
                if (!AddPort(kMonitor))
                    return 1;
            }
            return 0;
        }));
        ASSERT_GT(children.back(), 0);
    }
    for (pid_t child : children)
        EXPECT_EQ(testsupport::ExitCodeOf(testsupport::WaitForExit(child, 120000)), 0);
    std::set<std::string> names;
    for (const PortEntry &port : PortList())
        names.insert(port.port);
    EXPECT_EQ(names.size(), static_cast<size_t>(kProcesses * kEach));
    EXPECT_TRUE(names.count("RPT1:") && names.count("RPT20:"));
}

} // namespace
} // namespace spoolertest
