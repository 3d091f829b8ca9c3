// The four install steps on a machine root with install media in D:: what
// a full install puts in place on both Windows families, and every failure
// with its code and its message.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "FileContents.h"
#include "InstallFixture.h"
#include "Main2.h"
#include "TempMachineRoot.h"
#include "machine/Testing.h"
#include "winspool.h"

namespace install_test {
namespace {

using machine::testing::FailSpoolerCall;
using machine::testing::SpoolerCall;

const std::string kDir = kInstallDir;
const std::string kPortsKey = std::string(kMonitorsKey) + "\\" + kMonitor + "\\Ports\\";

class InstallStepsTest : public InstallTest {
public:
    using InstallTest::RegisterMonitor;

protected:
    void SetUp() override
    {
        MakeMedia();
        StartWizard();
        ASSERT_TRUE(CreateDirTree(kDir));
    }
};

TEST_F(InstallStepsTest, FullInstallPutsEverythingInPlace)
{
    // A sibling product's service program lies in the install folder.
    ASSERT_TRUE(testsupport::CopyWithMode(WINSERVICE_PATH, UnixOf(kDir + "\\orvel_winservice.exe"), 0755));
    InstallAll();

    // Files: the monitor's libraries in the system folder, the rest in the
    // install folder.
    for (const char *library : {"orvel_vpnt.dll", "orvel_vp95.dll", "orvel_vp35.dll"})
        EXPECT_TRUE(Exists(std::string("C:\\Windows\\System32\\") + library)) << library;
    for (const char *file : {"drivers\\mfp.inf", "drivers\\ftdibus.inf", "drivers\\ftdiport.inf", "orvel_printer.exe",
                             "orvel_scanner.exe", "res\\tiffcp.exe", "res\\XXMKLINK.EXE", "selvio\\selvio.txt",
                             "setup.exe"})
        EXPECT_TRUE(Exists(kDir + "\\" + file)) << file;

    // The monitor, its port and the printer on it, made the default.
    const std::string monitorKey = std::string(kMonitorsKey) + "\\" + kMonitor;
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, monitorKey, "Driver"), "orvel_vpnt.dll");
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, monitorKey, "Environment"), "Windows NT x86");
    EXPECT_EQ(Ports(), (std::vector<std::pair<std::string, std::string>>{{"RPT1:", kMonitor}}));
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, "Software\\Ghostgum\\RedMon", "LastPort"), "RPT1:");
    EXPECT_EQ(Printers(), std::vector<std::string>{kPrinter});
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\") + kPrinter,
                        "Port"),
              "RPT1:");
    EXPECT_EQ(DefaultPrinter(), kPrinter);
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kPortsKey + "RPT1:", "Command"), kDir + "\\orvel_printer.exe");

    // The bridge's INF files in the store, their copies recorded.
    const struct {
        const char *value;
        const char *file;
    } infs[] = {{"UsbBusOemInf", "ftdibus.inf"}, {"UsbPortOemInf", "ftdiport.inf"}};
    for (const auto &inf : infs) {
        const std::string copy = RegString(HKEY_CURRENT_USER, kMfpKey, inf.value);
        EXPECT_EQ(copy.rfind("C:\\Windows\\inf\\oem", 0), 0u) << copy;
        EXPECT_EQ(testsupport::ReadText(UnixOf(copy)),
                  testsupport::ReadText(std::string(ARV_STANDIN_MEDIA_DIR) + "/drivers/" + inf.file));
    }
    EXPECT_NE(RegString(HKEY_CURRENT_USER, kMfpKey, "UsbBusOemInf"),
              RegString(HKEY_CURRENT_USER, kMfpKey, "UsbPortOemInf"));

    // The uninstall entry, its values in their order.
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, kUninstallEntryKey),
              (std::vector<std::string>{"DisplayName", "UninstallString", "DisplayVersion", "Inno Setup: App Path",
                                        "InstallLocation", "Publisher", "URLInfoAbout", "DisplayIcon"}));
    const struct {
        const char *value;
        std::string content;
    } values[] = {{"DisplayName", kPrinter},
                  {"UninstallString", kDir + "\\setup.exe"},
                  {"DisplayVersion", ""},
                  {"Inno Setup: App Path", kDir},
                  {"InstallLocation", kDir},
                  {"Publisher", "VELTRONA"},
                  {"DisplayIcon", kDir + "\\orvel_printer.exe"}};
    for (const auto &value : values)
        EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallEntryKey, value.value), value.content) << value.value;
    EXPECT_NE(RegString(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "URLInfoAbout"), "");

    // The service stopped, its program uninstalled, the shortcut made.
    EXPECT_EQ(RunsOf("NET"), (std::vector<std::vector<std::string>>{{"STOP", "RelayFax"}}));
    EXPECT_EQ(RunsOf("orvel_winservice.exe"), (std::vector<std::vector<std::string>>{{"/UNINSTALL", "/SILENT"}}));
    const std::string shortcut = "C:\\Documents and Settings\\User\\Desktop\\orvel_scanner.lnk";
    EXPECT_EQ(RunsOf("XXMKLINK.EXE"),
              (std::vector<std::vector<std::string>>{{shortcut, kDir + "\\orvel_scanner.exe"}}));
    EXPECT_NE(testsupport::ReadText(UnixOf(shortcut)).find("Target=" + kDir + "\\orvel_scanner.exe"),
              std::string::npos);
}

TEST_F(InstallStepsTest, OnThe95FamilyTheMonitorHasItsOwnLibraryAndEnvironment)
{
    ASSERT_TRUE(testsupport::WriteWindowsFamily("95"));
    ASSERT_EQ(Form2->InstallStep(1), 0);
    const std::string monitorKey = std::string(kMonitorsKey) + "\\" + kMonitor;
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, monitorKey, "Driver"), "orvel_vp95.dll");
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, monitorKey, "Environment"), "Windows 4.0");
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(InstallStepsTest, AnInstalledMonitorIsNotRegisteredAgainAndGetsAFurtherPort)
{
    ASSERT_EQ(Form2->InstallStep(1), 0);
    ASSERT_EQ(Form2->InstallStep(1), 0);
    EXPECT_EQ(Ports(), (std::vector<std::pair<std::string, std::string>>{{"RPT1:", kMonitor}, {"RPT2:", kMonitor}}));
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, "Software\\Ghostgum\\RedMon", "LastPort"), "RPT2:");
    EXPECT_TRUE(TakeMessages().empty());
}

// ---- Failures of steps 1 and 2 ----------------------------------------------------

struct Failure {
    const char *name;
    std::function<void(InstallStepsTest *)> arrange; // after the steps before `step` ran
    int step;
    int result;
    int title;
    int text;
    std::function<void()> check; // what the failure left
};

class InstallFailureTest : public InstallStepsTest, public testing::WithParamInterface<Failure> {};

TEST_P(InstallFailureTest, EndsTheStepWithItsCodeAndMessage)
{
    const Failure &failure = GetParam();
    for (int step = 1; step < failure.step; ++step)
        ASSERT_EQ(Form2->InstallStep(step), 0);
    failure.arrange(this);
    EXPECT_EQ(Form2->InstallStep(failure.step), failure.result);
    EXPECT_EQ(TakeMessages(), std::vector<Shown>{Message(failure.title, failure.text)});
    if (failure.check)
        failure.check();
}

void RegisterManyMonitors(InstallStepsTest *)
{
    // Names of 60 characters: 70 of them do not fit 4096 bytes.
    for (int i = 0; i < 70; ++i) {
        const std::string key = std::string(kMonitorsKey) + "\\Monitor " + std::string(50, 'x') + std::to_string(100 + i);
        HKEY created = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, key.c_str(), &created), ERROR_SUCCESS);
        RegCloseKey(created);
    }
}

void NothingOfStepOne()
{
    EXPECT_FALSE(Exists("C:\\Windows\\System32\\orvel_vpnt.dll"));
    EXPECT_FALSE(Exists(kDir + "\\drivers"));
    EXPECT_TRUE(Ports().empty());
}

void NoMonitorNoPort()
{
    EXPECT_TRUE(Ports().empty());
    EXPECT_EQ(Monitors().size(), 0u);
}

const Failure kFailures[] = {
    {"MonitorListTooLong", RegisterManyMonitors, 1, 2, 38, 77, NothingOfStepOne},
    {"MonitorLibrariesMissing",
     [](InstallStepsTest *) { testsupport::RemoveTree(UnixOf("D:\\bin\\vp")); }, 1, 7, 61, 62,
     NothingOfStepOne},
    {"ProgramsMissing", [](InstallStepsTest *) { testsupport::RemoveTree(UnixOf("D:\\bin\\mfp")); }, 1, 7, 61, 62,
     [] {
         // The copies before the failing one ran, the one after did not.
         EXPECT_TRUE(Exists("C:\\Windows\\System32\\orvel_vpnt.dll"));
         EXPECT_TRUE(Exists(kDir + "\\drivers\\mfp.inf"));
         EXPECT_FALSE(Exists(kDir + "\\setup.exe"));
         NoMonitorNoPort();
     }},
    {"InstallFolderTooLongForTheCopies",
     [](InstallStepsTest *) {
         const std::string longer = kDir + "\\" + std::string(120, 'a') + "\\" + std::string(120, 'b');
         ASSERT_TRUE(CreateDirTree(longer.c_str()));
         *Form2->FInstallDir = longer;
     },
     1, 7, 61, 62, NoMonitorNoPort},
    {"MonitorLibraryOfThe95FamilyMissing",
     [](InstallStepsTest *) {
         ASSERT_TRUE(testsupport::WriteWindowsFamily("95"));
         ASSERT_EQ(unlink(UnixOf("D:\\bin\\vp\\orvel_vp95.dll").c_str()), 0);
     },
     1, 5, 39, 77, NoMonitorNoPort},
    {"MonitorRegisteredInAnotherCase",
     [](InstallStepsTest *test) { test->RegisterMonitor("scanner-printer virtual port"); }, 1, 5, 39, 77, nullptr},
    {"PortNotAdded",
     [](InstallStepsTest *) { FailSpoolerCall(SpoolerCall::AddPort, 1, ERROR_NOT_ENOUGH_MEMORY); }, 1, 6, 40, 77,
     [] {
         EXPECT_EQ(Monitors(), std::vector<std::string>{kMonitor});
         EXPECT_TRUE(Ports().empty());
     }},
    {"NoPortMonitorKey",
     [](InstallStepsTest *) { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Ghostgum"); }, 2, 10, 41, 77,
     [] { EXPECT_TRUE(Printers().empty()); }},
    {"NoLastPort",
     [](InstallStepsTest *) {
         HKEY key = nullptr;
         ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Ghostgum\\RedMon", 0, KEY_ALL_ACCESS, &key),
                   ERROR_SUCCESS);
         RegDeleteValueA(key, "LastPort");
         RegCloseKey(key);
     },
     2, 11, 42, 77, [] { EXPECT_TRUE(Printers().empty()); }},
    {"LastPortLongerThanItsBuffer",
     [](InstallStepsTest *) {
         HKEY key = nullptr;
         ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Ghostgum\\RedMon", 0, KEY_ALL_ACCESS, &key),
                   ERROR_SUCCESS);
         const char port[] = "RPT1234567890123456:"; // 20 characters
         RegSetValueExA(key, "LastPort", 0, REG_SZ, reinterpret_cast<const BYTE *>(port), sizeof port);
         RegCloseKey(key);
     },
     2, 11, 42, 77, [] { EXPECT_TRUE(Printers().empty()); }},
    {"DriverModelMissing",
     [](InstallStepsTest *) { ASSERT_EQ(unlink(UnixOf("D:\\drivers\\mfp.inf").c_str()), 0); }, 2, 8, 43, 77,
     [] {
         EXPECT_TRUE(Printers().empty());
         EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kPortsKey + "RPT1:", "Command"), "");
     }},
    {"BusInfMissing", [](InstallStepsTest *) { ASSERT_EQ(unlink(UnixOf(kDir + "\\drivers\\ftdibus.inf").c_str()), 0); },
     3, 8, 44, 77,
     [] {
         // The port INF is not tried.
         EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMfpKey));
     }},
    {"BusInfUnreadableWithoutASystemText",
     [](InstallStepsTest *) { ASSERT_TRUE(testsupport::WriteText(UnixOf(kDir + "\\drivers\\ftdibus.inf"), "[Version\r\n")); },
     3, 8, 45, 77, nullptr},
    {"PortInfMissing",
     [](InstallStepsTest *) { ASSERT_EQ(unlink(UnixOf(kDir + "\\drivers\\ftdiport.inf").c_str()), 0); }, 3, 8, 46,
     77,
     [] {
         EXPECT_NE(RegString(HKEY_CURRENT_USER, kMfpKey, "UsbBusOemInf"), "");
         EXPECT_EQ(RegString(HKEY_CURRENT_USER, kMfpKey, "UsbPortOemInf"), "");
     }},
    {"PortInfUnreadableWithoutASystemText",
     [](InstallStepsTest *) {
         ASSERT_TRUE(testsupport::WriteText(UnixOf(kDir + "\\drivers\\ftdiport.inf"), "[Version\r\n"));
     },
     3, 8, 47, 77, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Steps, InstallFailureTest, testing::ValuesIn(kFailures),
                         [](const testing::TestParamInfo<Failure> &info) { return std::string(info.param.name); });

TEST_F(InstallStepsTest, AnExistingPrinterEndsStepTwoWithTwoMessages)
{
    for (int step = 1; step <= 2; ++step)
        ASSERT_EQ(Form2->InstallStep(step), 0);
    ASSERT_EQ(Form2->InstallStep(1), 0); // a second port, RPT2:
    // Another printer is the default meanwhile.
    HKEY windows = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", &windows),
              ERROR_SUCCESS);
    const char device[] = "Other,winspool,RPT1:";
    RegSetValueExA(windows, "Device", 0, REG_SZ, reinterpret_cast<const BYTE *>(device), sizeof device);
    RegCloseKey(windows);

    FPilot->Answer("OK");
    EXPECT_EQ(Form2->InstallStep(2), 9);
    EXPECT_EQ(TakeMessages(), std::vector<Shown>{Message(61, 62)});
    ASSERT_EQ(FPilot->Shown().size(), 1u);
    EXPECT_EQ(FPilot->Shown()[0].Text, "Error AddPrinter");
    EXPECT_EQ(FPilot->Shown()[0].Title, "Setup");
    EXPECT_TRUE(FPilot->Problems().empty());
    // Neither the default printer nor the new port's command was set.
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", "Device"),
              device);
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kPortsKey + "RPT2:", "Command"), "");
}

TEST_F(InstallStepsTest, APortWithoutAKeyOfTheMonitorGetsThePrinterButNoCommand)
{
    ASSERT_EQ(Form2->InstallStep(1), 0);
    // The port last added is another monitor's.
    const std::string otherPort = std::string(kMonitorsKey) + "\\Other Monitor\\Ports\\LPT9:";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, otherPort.c_str(), &key), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Ghostgum\\RedMon", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    const char port[] = "LPT9:";
    RegSetValueExA(key, "LastPort", 0, REG_SZ, reinterpret_cast<const BYTE *>(port), sizeof port);
    RegCloseKey(key);

    EXPECT_EQ(Form2->InstallStep(2), 0);
    EXPECT_EQ(Printers(), std::vector<std::string>{kPrinter});
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kPortsKey + "LPT9:"));
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, otherPort, "Command"), "");
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(InstallStepsTest, AReinstallKeepsTheInfCopiesInTheStoreAndRecordsThem)
{
    InstallAll();
    const std::string busCopy = RegString(HKEY_CURRENT_USER, kMfpKey, "UsbBusOemInf");
    const std::string portCopy = RegString(HKEY_CURRENT_USER, kMfpKey, "UsbPortOemInf");
    ASSERT_TRUE(Exists(busCopy));
    ASSERT_TRUE(Exists(portCopy));
    // The records are gone (another user, or an older uninstall), the
    // copies are still in the store.
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, kMfpKey), ERROR_SUCCESS);

    EXPECT_EQ(Form2->InstallStep(3), 0);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, kMfpKey, "UsbBusOemInf"), busCopy);
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, kMfpKey, "UsbPortOemInf"), portCopy);
    EXPECT_EQ(testsupport::ReadText(UnixOf(busCopy)),
              testsupport::ReadText(std::string(ARV_STANDIN_MEDIA_DIR) + "/drivers/ftdibus.inf"));
    EXPECT_EQ(testsupport::ReadText(UnixOf(portCopy)),
              testsupport::ReadText(std::string(ARV_STANDIN_MEDIA_DIR) + "/drivers/ftdiport.inf"));
    // No second copy was made.
    EXPECT_FALSE(Exists("C:\\Windows\\inf\\oem2.inf"));

    // The uninstall finds them by their records.
    EXPECT_EQ(Form2->UninstallStep(3), 0);
    EXPECT_FALSE(Exists(busCopy));
    EXPECT_FALSE(Exists(portCopy));
}

TEST_F(InstallStepsTest, WithoutTheSystemFolderEveryStepFailsBeforeItsWork)
{
    testsupport::RemoveTree(UnixOf("C:\\Windows\\System32"));
    for (int step = 1; step <= 4; ++step) {
        EXPECT_EQ(Form2->InstallStep(step), 3) << step;
        EXPECT_EQ(TakeMessages(), std::vector<Shown>{Message(36, 52)}) << step;
    }
    EXPECT_FALSE(Exists(kDir + "\\drivers"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey));
    EXPECT_TRUE(RunsOf("NET").empty());
}

TEST_F(InstallStepsTest, StepFourSucceedsWithoutTheOutsidePrograms)
{
    for (int step = 1; step <= 3; ++step)
        ASSERT_EQ(Form2->InstallStep(step), 0);
    ASSERT_EQ(unlink(UnixOf(kDir + "\\res\\XXMKLINK.EXE").c_str()), 0);
    ASSERT_EQ(unlink(UnixOf("C:\\Windows\\System32\\net.exe").c_str()), 0);
    EXPECT_EQ(Form2->InstallStep(4), 0);
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "DisplayName"), kPrinter);
    EXPECT_FALSE(Exists("C:\\Documents and Settings\\User\\Desktop\\orvel_scanner.lnk"));
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(InstallStepsTest, WithoutADesktopFolderNoShortcutIsMade)
{
    for (int step = 1; step <= 3; ++step)
        ASSERT_EQ(Form2->InstallStep(step), 0);
    // A file where the desktop folder should be (the machine's programs
    // lay out a missing folder anew).
    const std::string desktop = UnixOf("C:\\Documents and Settings\\User\\Desktop");
    testsupport::RemoveTree(desktop);
    ASSERT_TRUE(testsupport::WriteText(desktop, "not a folder"));
    EXPECT_EQ(Form2->InstallStep(4), 0);
    EXPECT_TRUE(RunsOf("XXMKLINK.EXE").empty());
    EXPECT_EQ(RunsOf("NET").size(), 1u);
    EXPECT_FALSE(IsFolder("C:\\Documents and Settings\\User\\Desktop"));
}

TEST_F(InstallStepsTest, AnInstallFolderOfTwoHundredCharactersGetsItsShortcutAndServiceRun)
{
    std::string folder = "C:\\Program Files\\Veltrona\\Norvik with a long name ";
    folder += std::string(200 - folder.size(), 'n');
    ASSERT_EQ(folder.size(), 200u);
    ASSERT_TRUE(CreateDirTree(folder.c_str()));
    ASSERT_TRUE(testsupport::CopyWithMode(WINSERVICE_PATH, UnixOf(folder + "\\orvel_winservice.exe"), 0755));
    *Form2->FInstallDir = folder;
    for (int step = 1; step <= 4; ++step)
        ASSERT_EQ(Form2->InstallStep(step), 0) << "step " << step;
    EXPECT_TRUE(TakeMessages().empty());

    const std::string shortcut = "C:\\Documents and Settings\\User\\Desktop\\orvel_scanner.lnk";
    EXPECT_EQ(RunsOf("XXMKLINK.EXE"),
              (std::vector<std::vector<std::string>>{{shortcut, folder + "\\orvel_scanner.exe"}}));
    EXPECT_NE(testsupport::ReadText(UnixOf(shortcut)).find("Target=" + folder + "\\orvel_scanner.exe"),
              std::string::npos);
    EXPECT_EQ(RunsOf("orvel_winservice.exe"), (std::vector<std::vector<std::string>>{{"/UNINSTALL", "/SILENT"}}));
}

TEST_F(InstallStepsTest, StepFourFailsWhenACommandLineCannotBeBuilt)
{
    for (int step = 1; step <= 3; ++step)
        ASSERT_EQ(Form2->InstallStep(step), 0);
    // A folder no path can be (a double quote in it) or longer than any
    // command line: the step says so instead of making no shortcut.
    for (const std::string &folder : {kDir + "\\\"quoted\"", kDir + "\\" + std::string(33000, 'x')}) {
        *Form2->FInstallDir = folder;
        EXPECT_EQ(Form2->InstallStep(4), 8);
        EXPECT_EQ(TakeMessages(), std::vector<Shown>{Message(48, 77)});
    }
    EXPECT_TRUE(RunsOf("XXMKLINK.EXE").empty());
}

TEST_F(InstallStepsTest, TheUninstallEntryNamesSetupWhateverTheInstallersFileName)
{
    ASSERT_TRUE(testsupport::WriteText(MediaFolder() + "/INSTALL2.EXE", "another name"));
    machine::testing::SetModuleFileName("D:\\INSTALL2.EXE");
    InstallAll();
    EXPECT_TRUE(Exists(kDir + "\\INSTALL2.EXE"));
    EXPECT_FALSE(Exists(kDir + "\\setup.exe"));
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallEntryKey, "UninstallString"), kDir + "\\setup.exe");
}

} // namespace
} // namespace install_test
