// Port monitors: registration with their library in the system folder,
// the enumeration into the caller's buffer, and removal.
#include "SpoolerFixture.h"

#include <cstring>

#include "FileContents.h"

namespace spoolertest {
namespace {

class Monitors : public SpoolerTest {
protected:
    static void AddMonitorsNamed(const std::vector<std::string> &names)
    {
        for (const std::string &name : names)
            ASSERT_TRUE(AddMonitor(name)) << name;
    }
};

TEST_F(Monitors, RegistersWhereWindowsKeepsThemAndListsThemAtBothLevels)
{
    PlaceLibrary("orvel_vpnt.dll");
    PlaceLibrary("orvel_vp95.dll");
    ASSERT_TRUE(AddMonitor(kMonitor)) << GetLastError();
    ASSERT_TRUE(AddMonitor("Old Port", "orvel_vp95.dll", "windows 4.0")) << GetLastError();
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, MonitorKey(kMonitor), "Driver"), "orvel_vpnt.dll");

    EXPECT_EQ(MonitorNames(), (std::vector<std::string>{"Old Port", kMonitor})) << "the registry's order";

    DWORD needed = 0, count = 0;
    EXPECT_FALSE(EnumMonitorsA(nullptr, 2, nullptr, 0, &needed, &count));
    Buffer buffer(needed);
    ASSERT_TRUE(EnumMonitorsA(nullptr, 2, buffer.Data(), buffer.Size(), &needed, &count));
    ASSERT_EQ(count, 2u);
    const MONITOR_INFO_2A &old = buffer.At<MONITOR_INFO_2A>(0);
    EXPECT_STREQ(old.pName, "Old Port");
    EXPECT_STREQ(old.pEnvironment, "Windows 4.0") << "in its standard spelling";
    EXPECT_STREQ(old.pDLLName, "orvel_vp95.dll");
    const MONITOR_INFO_2A &ours = buffer.At<MONITOR_INFO_2A>(1);
    EXPECT_STREQ(ours.pName, kMonitor);
    EXPECT_STREQ(ours.pEnvironment, "Windows NT x86");
    EXPECT_STREQ(ours.pDLLName, "orvel_vpnt.dll");

    std::string monitor = kMonitor;
    MONITOR_INFO_2A nullEnvironment{&monitor[0], nullptr, nullptr};
    EXPECT_FALSE(AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&nullEnvironment)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << "no library";
}

struct AddCase {
    const char *label;
    const char *name;
    const char *library;
    const char *environment;
    DWORD level;
    const char *server;
    DWORD error;
};

void PrintTo(const AddCase &c, std::ostream *out) { *out << c.label; }

class MonitorRefusals : public SpoolerTest, public ::testing::WithParamInterface<AddCase> {};

TEST_P(MonitorRefusals, LeaveTheRegisteredMonitorsAsTheyWere)
{
    const AddCase &c = GetParam();
    PlaceLibrary();
    ASSERT_TRUE(AddMonitor(kMonitor));
    // Not a monitor's library; one in the Windows folder but not in the
    // system folder.
    ASSERT_TRUE(testsupport::WriteText(SystemFile("kernel32.dll"), "MZ\n"));
    ASSERT_TRUE(testsupport::CopyWithMode(SystemFile("orvel_vpnt.dll"), SystemFile("../other.dll"), 0644));

    std::string name = c.name, library = c.library, environment = c.environment ? c.environment : "";
    MONITOR_INFO_2A info{&name[0], c.environment ? &environment[0] : nullptr, &library[0]};
    std::string server = c.server ? c.server : "";
    SetLastError(0);
    EXPECT_FALSE(AddMonitorA(c.server ? &server[0] : nullptr, c.level, reinterpret_cast<LPBYTE>(&info)));
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(MonitorNames(), std::vector<std::string>{kMonitor});
}

const AddCase kAddCases[] = {
    {"SameName", kMonitor, "orvel_vpnt.dll", "Windows NT x86", 2, nullptr, ERROR_PRINT_MONITOR_ALREADY_INSTALLED},
    {"NameInOtherCase", "scanner-printer virtual PORT", "orvel_vpnt.dll", nullptr, 2, nullptr,
     ERROR_PRINT_MONITOR_ALREADY_INSTALLED},
    {"LibraryMissing", "Other", "orvel_vp95.dll", nullptr, 2, nullptr, ERROR_MOD_NOT_FOUND},
    {"LibraryOutsideTheSystemFolder", "Other", "..\\other.dll", nullptr, 2, nullptr, ERROR_MOD_NOT_FOUND},
    {"LibraryWithFullPath", "Other", "C:\\Windows\\System32\\orvel_vpnt.dll", nullptr, 2, nullptr,
     ERROR_MOD_NOT_FOUND},
    {"NotAMonitorLibrary", "Other", "kernel32.dll", nullptr, 2, nullptr, ERROR_PROC_NOT_FOUND},
    {"UnknownEnvironment", "Other", "orvel_vpnt.dll", "Windows IA64", 2, nullptr, ERROR_INVALID_ENVIRONMENT},
    {"Level1", "Other", "orvel_vpnt.dll", nullptr, 1, nullptr, ERROR_INVALID_LEVEL},
    {"EmptyName", "", "orvel_vpnt.dll", nullptr, 2, nullptr, ERROR_INVALID_PARAMETER},
    {"NameWithBackslash", "A\\B", "orvel_vpnt.dll", nullptr, 2, nullptr, ERROR_INVALID_PARAMETER},
    {"OtherServer", "Other", "orvel_vpnt.dll", nullptr, 2, "\\\\office", ERROR_INVALID_NAME},
};

INSTANTIATE_TEST_SUITE_P(AddMonitorA, MonitorRefusals, ::testing::ValuesIn(kAddCases),
                         [](const ::testing::TestParamInfo<AddCase> &info) { return info.param.label; });

TEST_F(Monitors, TheStandInLibrariesAreMonitorLibraries)
{
    for (const char *library : {"orvel_vpnt.dll", "orvel_vp95.dll", "orvel_vp35.dll"}) {
        PlaceLibrary(library);
        EXPECT_TRUE(AddMonitor(library, library)) << library << ": " << GetLastError();
    }
}

TEST_F(Monitors, BufferFitsExactlyOrFailsWithTheSizeNeeded)
{
    PlaceLibrary();
    const std::vector<std::string> names{"Alpha", "Beta Port", kMonitor};
    AddMonitorsNamed(names);
    size_t strings = 0;
    for (const std::string &name : names)
        strings += name.size() + 1;
    const DWORD exact = static_cast<DWORD>(names.size() * sizeof(MONITOR_INFO_1A) + strings);

    DWORD needed = 0, count = 99;
    EXPECT_FALSE(EnumMonitorsA(nullptr, 1, nullptr, 0, &needed, &count));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, exact);
    EXPECT_EQ(count, 0u);

    Buffer shortBuffer(exact - 1);
    memset(shortBuffer.Data(), 0x5A, shortBuffer.Size());
    count = 99;
    EXPECT_FALSE(EnumMonitorsA(nullptr, 1, shortBuffer.Data(), shortBuffer.Size(), &needed, &count));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, exact);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(shortBuffer.Data()[0], 0x5A) << "nothing written";

    Buffer exactBuffer(exact);
    ASSERT_TRUE(EnumMonitorsA(nullptr, 1, exactBuffer.Data(), exactBuffer.Size(), &needed, &count));
    EXPECT_EQ(needed, exact);
    ASSERT_EQ(count, 3u);
    for (size_t i = 0; i < names.size(); ++i) {
        const char *name = exactBuffer.At<MONITOR_INFO_1A>(i).pName;
        EXPECT_TRUE(exactBuffer.Holds(name));
        EXPECT_EQ(name, names[i]);
    }

    // In a larger buffer the strings are packed at its end, the first
    // entry's string last.
    Buffer large(4096);
    ASSERT_TRUE(EnumMonitorsA(nullptr, 1, large.Data(), large.Size(), &needed, &count));
    EXPECT_EQ(needed, exact);
    const char *first = large.At<MONITOR_INFO_1A>(0).pName;
    EXPECT_EQ(first + names[0].size() + 1, large.End());
}

TEST_F(Monitors, ALongListDoesNotFitFourKilobytes)
{
    PlaceLibrary();
    std::vector<std::string> names;
    size_t size = 0;
    while (size <= 4096) {
        names.push_back("Redirected Port Monitor Number " + std::to_string(names.size() + 100));
        size += sizeof(MONITOR_INFO_1A) + names.back().size() + 1;
    }
    AddMonitorsNamed(names);
    Buffer buffer(4096);
    DWORD needed = 0, count = 99;
    EXPECT_FALSE(EnumMonitorsA(nullptr, 1, buffer.Data(), buffer.Size(), &needed, &count));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, size);
    EXPECT_EQ(count, 0u);
}

TEST_F(Monitors, EnumerationArgumentsAreChecked)
{
    DWORD needed = 99, count = 99;
    EXPECT_TRUE(EnumMonitorsA(nullptr, 1, nullptr, 0, &needed, &count)) << "no monitors: nothing is needed";
    EXPECT_EQ(needed, 0u);
    EXPECT_EQ(count, 0u);

    Buffer buffer(64);
    struct {
        const char *label;
        DWORD level;
        LPBYTE data;
        DWORD size;
        LPDWORD needed;
        DWORD error;
    } const cases[] = {
        {"level 0", 0, buffer.Data(), 64, &needed, ERROR_INVALID_LEVEL},
        {"level 3", 3, buffer.Data(), 64, &needed, ERROR_INVALID_LEVEL},
        {"no size out", 1, buffer.Data(), 64, nullptr, RPC_X_NULL_REF_POINTER},
        {"size without buffer", 1, nullptr, 64, &needed, ERROR_INVALID_USER_BUFFER},
    };
    for (const auto &c : cases) {
        EXPECT_FALSE(EnumMonitorsA(nullptr, c.level, c.data, c.size, c.needed, &count)) << c.label;
        EXPECT_EQ(GetLastError(), c.error) << c.label;
    }
    std::string server = "\\\\office";
    EXPECT_FALSE(EnumMonitorsA(&server[0], 1, buffer.Data(), 64, &needed, &count));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
}

TEST_F(Monitors, DeletingTakesThePortsAlongButNotWhileAPrinterUsesOne)
{
    SetUpPrinter();
    ASSERT_TRUE(AddPort(kMonitor));
    std::string name = "SCANNER-PRINTER virtual port";
    EXPECT_FALSE(DeleteMonitorA(nullptr, nullptr, &name[0]));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINT_MONITOR_IN_USE));
    EXPECT_EQ(MonitorNames(), std::vector<std::string>{kMonitor});

    std::string printer = kPrinter;
    HANDLE handle = nullptr;
    PRINTER_DEFAULTSA all{nullptr, nullptr, PRINTER_ALL_ACCESS};
    ASSERT_TRUE(OpenPrinterA(&printer[0], &handle, &all));
    ASSERT_TRUE(DeletePrinter(handle));
    ClosePrinter(handle);

    std::string environment = "Windows IA64";
    EXPECT_FALSE(DeleteMonitorA(nullptr, &environment[0], &name[0]));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_ENVIRONMENT));
    environment = "Windows NT x86";
    EXPECT_TRUE(DeleteMonitorA(nullptr, &environment[0], &name[0])) << GetLastError();
    EXPECT_TRUE(MonitorNames().empty());
    EXPECT_TRUE(PortList().empty());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, MonitorKey(kMonitor)));

    EXPECT_FALSE(DeleteMonitorA(nullptr, nullptr, &name[0]));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINT_MONITOR));
    EXPECT_FALSE(DeleteMonitorA(nullptr, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

} // namespace
} // namespace spoolertest
