// The four uninstall steps after a full install: what goes and what stays,
// run from the install media and from the install folder (then the
// machine's restart) on both Windows families, and every failure of step 2.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <functional>
#include <future>
#include <thread>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "FileContents.h"
#include "InstallFixture.h"
#include "Main2.h"
#include "PseudoTerminal.h"
#include "RunRecord.h"
#include "TempMachineRoot.h"
#include "DeviceIds.h"
#include "machine/Drives.h"
#include "machine/FtdiBus.h"
#include "machine/MachineRoot.h"
#include "machine/Restart.h"
#include "machine/Testing.h"
#include "winspool.h"

namespace install_test {
namespace {

using machine::testing::FailSpoolerCall;
using machine::testing::SpoolerCall;

const std::string kDir = kInstallDir;
const std::string kDesktopLink = "C:\\Documents and Settings\\User\\Desktop\\orvel_scanner.lnk";
const std::string kDriverKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\"
                               "Version-3\\ARV-A700 Scanner-Printer";

enum class Family { NT, Windows95 };

std::string FamilyName(Family family) { return family == Family::NT ? "NT" : "Windows95"; }

class UninstallTest : public InstallTest {
protected:
    void SetUp() override
    {
        MakeMedia();
        StartWizard();
        ASSERT_TRUE(CreateDirTree(kDir));
        ASSERT_TRUE(testsupport::CopyWithMode(WINSERVICE_PATH, UnixOf(kDir + "\\orvel_winservice.exe"), 0755));
        InstallAll();
        FBusCopy = RegString(HKEY_CURRENT_USER, kMfpKey, "UsbBusOemInf");
        FPortCopy = RegString(HKEY_CURRENT_USER, kMfpKey, "UsbPortOemInf");
        ASSERT_TRUE(Exists(FBusCopy) && Exists(FPortCopy));
        unlink(outside::RunRecordPath().c_str());
    }

    void UninstallAll()
    {
        for (int step = 1; step <= 4; ++step)
            ASSERT_EQ(Form2->UninstallStep(step), 0) << "step " << step;
    }

    // What every uninstall takes away, wherever it runs from.
    void ExpectTheSystemGone()
    {
        EXPECT_TRUE(Printers().empty());
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kDriverKey));
        EXPECT_TRUE(Monitors().empty());
        EXPECT_TRUE(Ports().empty());
        EXPECT_FALSE(Exists(FBusCopy));
        EXPECT_FALSE(Exists(FPortCopy));
        // The records of the INF copies stay.
        EXPECT_EQ(RegString(HKEY_CURRENT_USER, kMfpKey, "UsbBusOemInf"), FBusCopy);
        EXPECT_EQ(RegString(HKEY_CURRENT_USER, kMfpKey, "UsbPortOemInf"), FPortCopy);
        for (const char *library : {"orvel_vpnt.dll", "orvel_vp95.dll", "orvel_vp35.dll"})
            EXPECT_FALSE(Exists(std::string("C:\\Windows\\System32\\") + library)) << library;
        for (const char *file : {"orvel_printer.exe", "orvel_scanner.exe", "selvio"})
            EXPECT_FALSE(Exists(kDir + "\\" + file)) << file;
        EXPECT_FALSE(Exists(kDesktopLink));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey));
        EXPECT_EQ(RunsOf("NET"), (std::vector<std::vector<std::string>>{{"STOP", "RelayFax"}}));
        EXPECT_EQ(RunsOf("orvel_winservice.exe"), (std::vector<std::vector<std::string>>{{"/UNINSTALL", "/SILENT"}}));
    }

    std::string FBusCopy;
    std::string FPortCopy;
};

class UninstallFamilyTest : public UninstallTest, public testing::WithParamInterface<Family> {
protected:
    void SetUp() override
    {
        if (GetParam() == Family::Windows95) {
            ASSERT_TRUE(testsupport::WriteWindowsFamily("95"));
        }
        UninstallTest::SetUp();
    }
};

TEST_P(UninstallFamilyTest, FromTheMediaRemovesTheWholeInstallFolder)
{
    UninstallAll();
    ExpectTheSystemGone();
    EXPECT_FALSE(Exists(kDir));
    EXPECT_TRUE(Exists("C:\\Program Files\\Veltrona"));
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_TRUE(machine::Restart().empty());
}

TEST_P(UninstallFamilyTest, FromTheInstallFolderLeavesItselfToTheRestart)
{
    const std::string self = kDir + "\\setup.exe";
    machine::testing::SetModuleFileName(self);
    UninstallAll();
    ExpectTheSystemGone();
    // The running uninstaller and the rest of the folder stay for now.
    for (const char *file : {"setup.exe", "drivers\\mfp.inf", "res\\XXMKLINK.EXE"})
        EXPECT_TRUE(Exists(kDir + "\\" + file)) << file;
    EXPECT_TRUE(TakeMessages().empty());

    const std::string wininit = UnixOf("C:\\Windows\\wininit.ini");
    if (GetParam() == Family::Windows95) {
        EXPECT_EQ(testsupport::ReadText(wininit), "[Rename]\r\nNUL=" + self + "\r\n");
    } else {
        EXPECT_FALSE(Exists("C:\\Windows\\wininit.ini"));
    }

    const std::vector<machine::StartOperation> done = machine::Restart();
    EXPECT_FALSE(Exists(self));
    // The folder goes only when empty, and on the 95 family is not asked to.
    EXPECT_TRUE(Exists(kDir + "\\drivers\\mfp.inf"));
    if (GetParam() == Family::NT) {
        ASSERT_EQ(done.size(), 2u);
        EXPECT_EQ(done[0].from, self);
        EXPECT_TRUE(done[0].done);
        EXPECT_EQ(done[1].from, kDir);
        EXPECT_FALSE(done[1].done);
    } else {
        ASSERT_EQ(done.size(), 1u);
        EXPECT_EQ(done[0].from, self);
        EXPECT_TRUE(done[0].done);
    }
    EXPECT_TRUE(machine::Restart().empty()) << "the operations are cleared";
}

INSTANTIATE_TEST_SUITE_P(Families, UninstallFamilyTest, testing::Values(Family::NT, Family::Windows95),
                         [](const testing::TestParamInfo<Family> &info) { return FamilyName(info.param); });

TEST_F(UninstallTest, On95AnotherProgramsPendingDeletionStaysWithOurs)
{
    ASSERT_TRUE(testsupport::WriteWindowsFamily("95"));
    ASSERT_TRUE(CreateDirTree("C:\\Other"));
    ASSERT_TRUE(testsupport::WriteText(UnixOf("C:\\Other\\pending.tmp"), "another program's leftover"));
    const std::string wininit = UnixOf("C:\\Windows\\wininit.ini");
    ASSERT_TRUE(testsupport::WriteText(wininit, "[Rename]\r\nNUL=C:\\Other\\pending.tmp\r\n"));
    const std::string self = kDir + "\\setup.exe";
    machine::testing::SetModuleFileName(self);
    UninstallAll();
    EXPECT_EQ(testsupport::ReadText(wininit), "[Rename]\r\nNUL=C:\\Other\\pending.tmp\r\nNUL=" + self + "\r\n");

    // The machine's restart, by its tool, carries out both.
    const testsupport::RunResult restart = testsupport::RunProgram({MACHINE_TOOL_PATH, "restart"});
    EXPECT_EQ(restart.code, 0) << restart.err;
    EXPECT_EQ(restart.out, "delete C:\\Other\\pending.tmp\ndelete " + self + "\nRestarted " + FRoot.Path() +
                               " (2 pending operations).\n");
    EXPECT_FALSE(Exists("C:\\Other\\pending.tmp"));
    EXPECT_FALSE(Exists(self));
}

TEST_F(UninstallTest, On95ALinkInPlaceOfWininitIsNotWrittenThrough)
{
    // wininit.ini a link to a host file that is not there: the step goes on
    // without scheduling, and the file the link names is not made.
    ASSERT_TRUE(testsupport::WriteWindowsFamily("95"));
    testsupport::TempFolder host("arv-host");
    const std::string target = host.Path() + "/cron-job";
    const std::string wininit = UnixOf("C:\\Windows\\wininit.ini");
    ASSERT_EQ(symlink(target.c_str(), wininit.c_str()), 0);
    const std::string self = kDir + "\\setup.exe";
    machine::testing::SetModuleFileName(self);
    UninstallAll();
    struct stat info;
    EXPECT_NE(lstat(target.c_str(), &info), 0) << "the link's target is not made";
    EXPECT_TRUE(lstat(wininit.c_str(), &info) == 0 && S_ISLNK(info.st_mode));
    EXPECT_TRUE(Exists(self));
    unlink(wininit.c_str());
}

TEST_F(UninstallTest, TheFolderAloneGoesAtTheRestartWhenNothingElseIsLeftInIt)
{
    const std::string self = kDir + "\\setup.exe";
    machine::testing::SetModuleFileName(self);
    UninstallAll();
    for (const char *part : {"drivers", "res", "orvel_winservice.exe"})
        testsupport::RemoveTree(UnixOf(kDir + "\\" + part));
    const std::vector<machine::StartOperation> done = machine::Restart();
    ASSERT_EQ(done.size(), 2u);
    EXPECT_TRUE(done[0].done && done[1].done);
    EXPECT_FALSE(Exists(kDir));
}

TEST_F(UninstallTest, FromAnotherKindOfDriveRemovesTheFolderAtOnce)
{
    // The install folder and the uninstaller in it on a removable drive and
    // on a network drive: no restart is needed there.
    UninstallAll();
    for (const auto &drive : {std::make_pair('E', UINT(DRIVE_REMOVABLE)), std::make_pair('N', UINT(DRIVE_REMOTE))}) {
        const std::string folder = FRoot.Scratch(std::string("drive-") + drive.first);
        ASSERT_TRUE(machine::MountDrive(drive.first, folder, drive.second));
        const std::string dir = std::string(1, drive.first) + ":\\Norvik";
        ASSERT_TRUE(CreateDirTree(dir));
        *Form2->FInstallDir = dir;
        machine::testing::SetModuleFileName(kMediaSetup);
        InstallAll();
        machine::testing::SetModuleFileName(dir + "\\setup.exe");
        UninstallAll();
        EXPECT_FALSE(Exists(dir)) << drive.first;
        EXPECT_TRUE(machine::Restart().empty());
    }
}

TEST_F(UninstallTest, ALocationDifferingFromTheProgramsFolderIsAnotherFolder)
{
    // Differing in case, or by a trailing backslash: no self-removal; the
    // location goes to the tree removal.
    for (const std::string &location : {std::string("C:\\PROGRAM FILES\\Veltrona\\Norvik"), kDir + "\\"}) {
        HKEY entry = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, kUninstallEntryKey, &entry), ERROR_SUCCESS);
        RegSetValueExA(entry, "InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE *>(location.c_str()),
                       static_cast<DWORD>(location.size() + 1));
        RegCloseKey(entry);
        machine::testing::SetModuleFileName(kDir + "\\setup.exe");
        EXPECT_EQ(Form2->UninstallStep(4), 0);
        EXPECT_FALSE(Exists(kDir)) << location;
        EXPECT_TRUE(machine::Restart().empty()) << location;
        // The folder again as the install leaves it.
        ASSERT_TRUE(CreateDirTree(kDir + "\\drivers"));
        ASSERT_TRUE(CreateDirTree(kDir + "\\res"));
        ASSERT_TRUE(testsupport::WriteText(UnixOf(kDir + "\\setup.exe"), "again"));
        ASSERT_TRUE(testsupport::CopyWithMode(MediaFolder() + "/drivers/mfp.inf", UnixOf(kDir + "\\drivers\\mfp.inf"),
                                              0644));
    }
}

TEST_F(UninstallTest, TheRunningUninstallerSurvivesALocationDifferingFromItsFolder)
{
    // The uninstaller really runs from the install folder; the location
    // differs from its folder in case or by a trailing backslash, so the
    // tree removal gets the folder and meets the running program's file.
    const std::string self = kDir + "\\setup.exe";
    for (const std::string &location : {std::string("C:\\PROGRAM FILES\\Veltrona\\Norvik"), kDir + "\\"}) {
        testsupport::RunningProgram running(UnixOf(self));
        ASSERT_GT(running.Pid(), 0);
        HKEY entry = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, kUninstallEntryKey, &entry), ERROR_SUCCESS);
        RegSetValueExA(entry, "InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE *>(location.c_str()),
                       static_cast<DWORD>(location.size() + 1));
        RegCloseKey(entry);
        machine::testing::SetModuleFileName(self);
        EXPECT_EQ(Form2->UninstallStep(4), 0);
        EXPECT_TRUE(Exists(self)) << location;
        EXPECT_FALSE(Exists(kDir + "\\drivers")) << location;
        // No self-removal was scheduled: the running program's file stays
        // past the restart as well.
        running.End();
        EXPECT_TRUE(machine::Restart().empty()) << location;
        EXPECT_TRUE(Exists(self)) << location;
    }
}

TEST_F(UninstallTest, WithTheDevicePluggedInStepOneWarnsAndGoesOn)
{
    testsupport::PseudoTerminal line("", testsupport::SlaveHold::Held);
    ASSERT_TRUE(line.Ok());
    ASSERT_TRUE(machine::PlugDevice("ARV0001", "0000", "COM5", line.SlavePath(), kDeviceVendorId, kDeviceProductId));
    EXPECT_EQ(Form2->UninstallStep(1), 0);
    EXPECT_EQ(TakeMessages(), std::vector<Shown>{Message(79, 70)});
    EXPECT_TRUE(Printers().empty());
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kDriverKey));
}

TEST_F(UninstallTest, StepTwoLeavesOtherMonitorsPortsAndDeletesAllOfItsOwn)
{
    ASSERT_EQ(Form2->InstallStep(1), 0); // a second port, RPT2:
    const std::string otherPort = std::string(kMonitorsKey) + "\\Other Monitor\\Ports\\LPT9:";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, otherPort.c_str(), &key), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(Form2->UninstallStep(1), 0);
    EXPECT_EQ(Form2->UninstallStep(2), 0);
    EXPECT_EQ(Ports(), (std::vector<std::pair<std::string, std::string>>{{"LPT9:", "Other Monitor"}}));
    EXPECT_EQ(Monitors(), std::vector<std::string>{"Other Monitor"});
    EXPECT_TRUE(TakeMessages().empty());
    // Without the monitor, the step has nothing to do.
    EXPECT_EQ(Form2->UninstallStep(2), 0);
    EXPECT_EQ(Ports().size(), 1u);
}

struct StepTwoFailure {
    const char *name;
    std::function<void()> arrange; // before step 1
    int result;
    std::vector<Shown> (*messages)(const UninstallTest *);
    const char *plainMessage;       // "" for none
    bool monitorStays;
};

class StepTwoFailureTest : public UninstallTest, public testing::WithParamInterface<StepTwoFailure> {};

std::vector<Shown> NoMessage(const UninstallTest *) { return {}; }

const StepTwoFailure kStepTwoFailures[] = {
    {"MonitorListUnreadable",
     [] {
         for (int i = 0; i < 70; ++i) {
             const std::string key =
                 std::string(kMonitorsKey) + "\\Monitor " + std::string(50, 'x') + std::to_string(100 + i);
             HKEY created = nullptr;
             ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, key.c_str(), &created), ERROR_SUCCESS);
             RegCloseKey(created);
         }
     },
     2, NoMessage, "", true},
    {"PortInUse",
     [] {
         // Another printer prints to the first port.
         char name[] = "Other";
         char port[] = "RPT1:";
         char driver[] = "ARV-A700 Scanner-Printer";
         char processor[] = "WinPrint";
         ASSERT_EQ(Form2->InstallStep(1), 0); // RPT2:, which stays too
         PRINTER_INFO_2A printer{};
         printer.pPrinterName = name;
         printer.pPortName = port;
         printer.pDriverName = driver;
         printer.pPrintProcessor = processor;
         HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
         ASSERT_NE(added, nullptr);
         ClosePrinter(added);
     },
     3, [](const UninstallTest *) { return std::vector<Shown>{{"Error: 114", "Uninstall printer failed."}}; }, "",
     true},
    {"PortListUnreadable", [] { FailSpoolerCall(SpoolerCall::EnumPorts, 2, ERROR_NOT_ENOUGH_MEMORY); }, 4,
     [](const UninstallTest *) { return std::vector<Shown>{{"Error: 115", "Uninstall printer failed."}}; }, "", true},
    {"MonitorNotDeleted", [] { FailSpoolerCall(SpoolerCall::DeleteMonitor, 1, ERROR_ACCESS_DENIED); }, 5, NoMessage,
     "DeleteMonitor Failed", true},
};

TEST_P(StepTwoFailureTest, EndsTheRunWithItsCode)
{
    const StepTwoFailure &failure = GetParam();
    failure.arrange();
    ASSERT_EQ(Form2->UninstallStep(1), 0);
    if (*failure.plainMessage)
        FPilot->Answer("OK");
    EXPECT_EQ(Form2->UninstallStep(2), failure.result);
    EXPECT_EQ(TakeMessages(), failure.messages(this));
    if (*failure.plainMessage) {
        ASSERT_EQ(FPilot->Shown().size(), 1u);
        EXPECT_EQ(FPilot->Shown()[0].Text, failure.plainMessage);
        EXPECT_EQ(FPilot->Shown()[0].Title, "Setup");
    } else {
        EXPECT_TRUE(FPilot->NoDialogShown());
    }
    EXPECT_EQ(!Monitors().empty(), failure.monitorStays);
}

INSTANTIATE_TEST_SUITE_P(Steps, StepTwoFailureTest, testing::ValuesIn(kStepTwoFailures),
                         [](const testing::TestParamInfo<StepTwoFailure> &info) { return std::string(info.param.name); });

TEST_F(UninstallTest, StepThreeWithoutTheBusRecordLeavesBothCopies)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kMfpKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "UsbBusOemInf");
    RegCloseKey(key);
    EXPECT_EQ(Form2->UninstallStep(3), 0);
    EXPECT_TRUE(Exists(FBusCopy));
    EXPECT_TRUE(Exists(FPortCopy));
}

// ---- Step 3: what a record of an INF copy may name ---------------------------------

void SetRecord(const char *value, const std::string &path)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kMfpKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegSetValueExA(key, value, 0, REG_SZ, reinterpret_cast<const BYTE *>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
}

std::string BridgeInf(const char *file) { return testsupport::ReadText(std::string(ARV_STANDIN_MEDIA_DIR) + "/drivers/" + file); }

// A file that the bus record names in place of our copy: it is made by
// `make` (given a host folder of the test's own) and must
// stay as it is, while the port record's real copy goes.
struct Victim {
    const char *name;
    std::function<std::string(const std::string &host)> make; // its Windows path
};

class RecordedVictimTest : public UninstallTest, public testing::WithParamInterface<Victim> {
protected:
    testsupport::TempFolder FHost{"arv-host"};
};

// The Windows name of a host path through Z:.
std::string ThroughZ(const std::string &unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char &c : path)
        c = c == '/' ? '\\' : c;
    return path;
}

const Victim kVictims[] = {
    {"TheWindowsProfile",
     [](const std::string &) {
         EXPECT_TRUE(testsupport::WriteText(UnixOf("C:\\Windows\\win.ini"), "[windows]\r\nload=\r\n"));
         return std::string("C:\\Windows\\win.ini");
     }},
    {"AHostFileThroughZ",
     [](const std::string &host) {
         EXPECT_TRUE(testsupport::WriteText(host + "/notes.txt", "a person's notes"));
         return ThroughZ(host + "/notes.txt");
     }},
    {"AHostFileNamedAndFilledLikeOurCopy",
     [](const std::string &host) {
         EXPECT_TRUE(testsupport::WriteText(host + "/oem0.inf", BridgeInf("ftdibus.inf")));
         return ThroughZ(host + "/oem0.inf");
     }},
    {"OurBytesOutsideTheStore",
     [](const std::string &) {
         EXPECT_TRUE(testsupport::WriteText(UnixOf("C:\\Windows\\System32\\oem0.inf"), BridgeInf("ftdibus.inf")));
         return std::string("C:\\Windows\\System32\\oem0.inf");
     }},
    {"AnotherProductsLaterCopyUnderOurName",
     [](const std::string &) {
         // Our copy went with an earlier uninstall; another product's INF
         // took its name since.
         const std::string ours = RegString(HKEY_CURRENT_USER, kMfpKey, "UsbBusOemInf");
         EXPECT_TRUE(testsupport::WriteText(UnixOf(ours), "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Modem\r\n"));
         return ours;
     }},
};

TEST_P(RecordedVictimTest, StaysWhileOurOtherCopyGoes)
{
    const std::string victim = GetParam().make(FHost.Path());
    const std::string before = testsupport::ReadText(UnixOf(victim));
    ASSERT_FALSE(before.empty());
    SetRecord("UsbBusOemInf", victim);
    EXPECT_EQ(Form2->UninstallStep(3), 0);
    EXPECT_EQ(testsupport::ReadText(UnixOf(victim)), before);
    EXPECT_FALSE(Exists(FPortCopy));
    EXPECT_EQ(RegString(HKEY_CURRENT_USER, kMfpKey, "UsbBusOemInf"), victim);
}

INSTANTIATE_TEST_SUITE_P(Records, RecordedVictimTest, testing::ValuesIn(kVictims),
                         [](const testing::TestParamInfo<Victim> &info) { return std::string(info.param.name); });

// A FIFO that no one writes to, named by the bus record or put in the store
// in place of our copy: the step neither opens it to wait for a writer nor
// deletes it. The step runs on a thread; should it block, the test opens the
// FIFO for writing itself, so the thread ends and the test fails instead of
// hanging.
class FifoRecordTest : public UninstallTest {
protected:
    void ExpectStepThreeLeaves(const std::string &fifo)
    {
        ASSERT_EQ(mkfifo(UnixOf(fifo).c_str(), 0600), 0);
        SetRecord("UsbBusOemInf", fifo);
        std::promise<int> done;
        std::future<int> result = done.get_future();
        std::thread step([&] { done.set_value(Form2->UninstallStep(3)); });
        const bool returned = result.wait_for(std::chrono::seconds(120)) == std::future_status::ready;
        if (!returned) {
            const int writer = open(UnixOf(fifo).c_str(), O_WRONLY);
            if (writer >= 0)
                close(writer);
        }
        step.join();
        ASSERT_TRUE(returned) << "the step waited on the FIFO";
        EXPECT_EQ(result.get(), 0);
        struct stat info;
        EXPECT_TRUE(lstat(UnixOf(fifo).c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
        EXPECT_FALSE(Exists(FPortCopy));
    }

    testsupport::TempFolder FHost{"arv-host"};
};

TEST_F(FifoRecordTest, RecordedHostFifoIsNotWaitedOn) { ExpectStepThreeLeaves(ThroughZ(FHost.Path() + "/oem7.inf")); }

TEST_F(FifoRecordTest, FifoInTheStoreIsNotWaitedOn)
{
    ASSERT_EQ(unlink(UnixOf(FBusCopy).c_str()), 0);
    ExpectStepThreeLeaves(FBusCopy);
}

TEST_F(UninstallTest, StepThreeFindsOurCopyByAnyNameOfTheStore)
{
    // The records name our copies through Z: and in another case: the
    // store's files themselves, so both go.
    std::string bus = ThroughZ(UnixOf(FBusCopy));
    for (char &c : bus)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    SetRecord("UsbBusOemInf", bus);
    SetRecord("UsbPortOemInf", "c:/windows/./INF/../inf/" + FPortCopy.substr(FPortCopy.rfind('\\') + 1));
    EXPECT_EQ(Form2->UninstallStep(3), 0);
    EXPECT_FALSE(Exists(FBusCopy));
    EXPECT_FALSE(Exists(FPortCopy));
}

TEST_F(UninstallTest, StepFourWithoutTheEntryRunsTheServiceCommandsAndDeletesNothing)
{
    ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallEntryKey), ERROR_SUCCESS);
    // The service program's command line then begins with the backslash:
    // the program at the root of the current drive.
    ASSERT_TRUE(testsupport::CopyWithMode(WINSERVICE_PATH, UnixOf("C:\\orvel_winservice.exe"), 0755));
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(chdir(UnixOf("C:\\Windows").c_str()), 0);
    const int result = Form2->UninstallStep(4);
    ASSERT_EQ(chdir(saved), 0);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(RunsOf("NET"), (std::vector<std::vector<std::string>>{{"STOP", "RelayFax"}}));
    EXPECT_EQ(RunsOf("orvel_winservice.exe"), (std::vector<std::vector<std::string>>{{"/UNINSTALL", "/SILENT"}}));
    EXPECT_TRUE(Exists(kDir + "\\orvel_printer.exe"));
    EXPECT_TRUE(Exists("C:\\Windows\\System32\\orvel_vpnt.dll"));
    EXPECT_TRUE(Exists(kDesktopLink));
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(UninstallTest, StepFourWithoutTheSystemFolderKeepsFilesAndEntry)
{
    // A file where the system folder should be (the machine's programs lay
    // out a missing folder anew).
    const std::string system = UnixOf("C:\\Windows\\System32");
    testsupport::RemoveTree(system);
    ASSERT_TRUE(testsupport::WriteText(system, "not a folder"));
    EXPECT_EQ(Form2->UninstallStep(4), 0);
    EXPECT_EQ(TakeMessages(), std::vector<Shown>{Message(37, 52)});
    EXPECT_TRUE(Exists(kDir + "\\orvel_printer.exe"));
    EXPECT_TRUE(Exists(kDesktopLink));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallEntryKey));
}

TEST_F(UninstallTest, StepNumbersOutsideOneToFourGiveMinusOne)
{
    for (int step : {0, 5, -1})
        EXPECT_EQ(Form2->UninstallStep(step), -1) << step;
    EXPECT_EQ(Printers().size(), 1u);
}

} // namespace
} // namespace install_test
