// The outside programs the installer runs, as real processes on a fresh
// machine root: NET from the system folder, the shortcut tool and the
// sibling service program, and the record of their runs.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "FileContents.h"
#include "RunRecord.h"
#include "TempMachineRoot.h"
#include "machine/Paths.h"
#include "windows.h"

namespace {

using Runs = std::vector<std::vector<std::string>>;

class OutsideProgramsTest : public ::testing::Test {
protected:
    static testsupport::RunResult Run(const std::vector<std::string> &args)
    {
        testsupport::RunResult result = testsupport::RunProgram(args);
        EXPECT_FALSE(result.timedOut) << args[0];
        return result;
    }

    // NET as the system finds it: in the machine's system folder.
    static std::string Net()
    {
        char system[MAX_PATH];
        EXPECT_GT(GetSystemDirectoryA(system, sizeof system), 0u);
        return machine::UnixPath((std::string(system) + "\\NET.EXE").c_str());
    }

    testsupport::TempMachineRoot root_{"arv-outside", testsupport::Layout::Now};
};

TEST_F(OutsideProgramsTest, ANewMachineHasNetInItsSystemFolder)
{
    WIN32_FIND_DATAA data;
    HANDLE found = FindFirstFileA("C:\\Windows\\System32\\net.exe", &data);
    ASSERT_NE(found, INVALID_HANDLE_VALUE);
    FindClose(found);

    // Stopping a service that is not installed fails as NET fails.
    testsupport::RunResult result = Run({Net(), "STOP", "RelayFax"});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.out.rfind("The service name is invalid.", 0), 0u) << result.out;

    HKEY service = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\RelayFax", &service),
              ERROR_SUCCESS);
    RegCloseKey(service);
    result = Run({Net(), "stop", "RelayFax"});
    EXPECT_EQ(result.code, 0);
    EXPECT_NE(result.out.find("The RelayFax service was stopped successfully."), std::string::npos) << result.out;

    EXPECT_EQ(Run({Net(), "START", "RelayFax"}).code, 1) << "only STOP is known";
    EXPECT_EQ(outside::RecordedRuns(),
              Runs({{"NET", "STOP", "RelayFax"}, {"NET", "stop", "RelayFax"}, {"NET", "START", "RelayFax"}}));
}

TEST_F(OutsideProgramsTest, TheShortcutToolWritesTheLinkFile)
{
    const std::string link = "C:\\Documents and Settings\\User\\Desktop\\orvel_scanner.lnk";
    const std::string target = "C:\\Program Files\\Veltrona\\Norvik\\orvel_scanner.exe";
    testsupport::RunResult result = Run({XXMKLINK_PATH, link, target});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(testsupport::ReadText(machine::UnixPath(link.c_str())), "[Shortcut]\r\nTarget=" + target + "\r\n");
    char read[MAX_PATH];
    GetPrivateProfileStringA("Shortcut", "Target", "", read, sizeof read, link.c_str());
    EXPECT_EQ(read, target);

    // Written anew each time; a folder that is not there fails.
    EXPECT_EQ(Run({XXMKLINK_PATH, link, "C:\\other.exe"}).code, 0);
    EXPECT_EQ(testsupport::ReadText(machine::UnixPath(link.c_str())), "[Shortcut]\r\nTarget=C:\\other.exe\r\n");
    EXPECT_EQ(Run({XXMKLINK_PATH, "C:\\No Desktop\\x.lnk", target}).code, 1);
    EXPECT_EQ(Run({XXMKLINK_PATH, link}).code, 2);
    EXPECT_EQ(outside::RecordedRuns().size(), 4u);
    EXPECT_EQ(outside::RecordedRuns()[0], std::vector<std::string>({"XXMKLINK.EXE", link, target}));
}

TEST_F(OutsideProgramsTest, TheServiceProgramTakesItsUninstallCommand)
{
    EXPECT_EQ(Run({WINSERVICE_PATH, "/UNINSTALL", "/SILENT"}).code, 0);
    EXPECT_EQ(Run({WINSERVICE_PATH, "/uninstall"}).code, 0);
    EXPECT_EQ(Run({WINSERVICE_PATH, "/INSTALL"}).code, 1);
    EXPECT_EQ(Run({WINSERVICE_PATH}).code, 1);
    EXPECT_EQ(outside::RecordedRuns(), Runs({{"orvel_winservice.exe", "/UNINSTALL", "/SILENT"},
                                             {"orvel_winservice.exe", "/uninstall"},
                                             {"orvel_winservice.exe", "/INSTALL"},
                                             {"orvel_winservice.exe"}}));
}

} // namespace
