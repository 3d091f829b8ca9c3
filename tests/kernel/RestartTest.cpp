// Moves put off until the machine starts again: MoveFileExA records them as
// the NT family does, "wininit.ini" holds them on the 95 family, and the
// machine root's restart carries them out and clears them.
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "FileContents.h"
#include "TempMachineRoot.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "machine/Restart.h"
#include "windows.h"

namespace {

using testsupport::ReadText;
using testsupport::WriteText;

const char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kPending[] = "PendingFileRenameOperations";

// Strings each ended by a NUL, and one more NUL: a REG_MULTI_SZ.
std::string MultiString(const std::vector<std::string> &strings)
{
    std::string data;
    for (const std::string &text : strings)
        data += text + '\0';
    return data + '\0';
}

bool Exists(const char *windowsPath) { return GetFileAttributesA(windowsPath) != INVALID_FILE_ATTRIBUTES; }

// Whether the process `pid` comes to wait for an flock (the kernel's list of
// locks shows it behind an arrow), within `timeoutMs`.
bool ComesToWaitForALock(pid_t pid, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        std::istringstream locks(ReadText("/proc/locks"));
        std::string line;
        while (std::getline(locks, line)) {
            std::istringstream fields(line);
            std::string number, arrow, kind, advisory, access, holder;
            fields >> number >> arrow >> kind >> advisory >> access >> holder;
            if (arrow == "->" && kind == "FLOCK" && holder == std::to_string(pid))
                return true;
        }
        usleep(10000);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

class RestartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateDirectoryA("C:\\Program Files\\Veltrona", nullptr));
        ASSERT_TRUE(CreateDirectoryA(kFolder, nullptr));
        ASSERT_TRUE(CreateDirectoryA("C:\\Program Files\\Veltrona\\Norvik\\drivers", nullptr));
        for (const char *name : {"setup.exe", "drivers\\mfp.inf", "keep.txt"})
            ASSERT_TRUE(WriteText(machine::UnixPath((std::string(kFolder) + "\\" + name).c_str()), name));
    }

    // The pending operations' value as stored; "<none>" when it is absent.
    static std::string PendingValue(DWORD *type = nullptr)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "<none>";
        DWORD size = 0;
        std::string data = "<none>";
        if (RegQueryValueExA(key, kPending, nullptr, type, nullptr, &size) == ERROR_SUCCESS) {
            data.assign(size, '\0');
            RegQueryValueExA(key, kPending, nullptr, type, reinterpret_cast<BYTE *>(&data[0]), &size);
        }
        RegCloseKey(key);
        return data;
    }

    static constexpr const char *kFolder = "C:\\Program Files\\Veltrona\\Norvik";
    static constexpr const char *kSetup = "C:\\Program Files\\Veltrona\\Norvik\\setup.exe";

    testsupport::TempMachineRoot root_{"arv-kernel", testsupport::Layout::Now};
};

TEST_F(RestartTest, MoveFileExMovesNowUnlessToldToWait)
{
    WriteText(machine::UnixPath("C:\\a.txt"), "a");
    WriteText(machine::UnixPath("C:\\b.txt"), "b");
    EXPECT_FALSE(MoveFileExA("C:\\a.txt", "C:\\b.txt", 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(MoveFileExA("C:\\a.txt", "C:\\b.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadText(machine::UnixPath("C:\\b.txt")), "a");
    EXPECT_FALSE(Exists("C:\\a.txt"));

    // A read-only file and a folder are not replaced.
    WriteText(machine::UnixPath("C:\\c.txt"), "c");
    ASSERT_TRUE(SetFileAttributesA("C:\\b.txt", FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(MoveFileExA("C:\\c.txt", "C:\\b.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(MoveFileExA("C:\\c.txt", "C:\\Windows", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    // No new name needs the wait; the wait cannot be a copy.
    EXPECT_FALSE(MoveFileExA("C:\\c.txt", nullptr, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(MoveFileExA("C:\\c.txt", "C:\\d.txt", MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_COPY_ALLOWED));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(PendingValue(), "<none>");
}

TEST_F(RestartTest, TheNtFamilyRecordsWhatWaitsAndTheRestartCarriesItOut)
{
    WriteText(machine::UnixPath("C:\\old.txt"), "old");
    WriteText(machine::UnixPath("C:\\new.txt"), "new");
    // As the uninstaller asks: itself, then its folder, each deleted.
    ASSERT_TRUE(MoveFileExA(kSetup, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    ASSERT_TRUE(MoveFileExA("c:\\program files\\veltrona\\norvik", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    ASSERT_TRUE(MoveFileExA("C:\\old.txt", "C:\\new.txt", MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(MoveFileExA("C:\\missing.txt", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));

    DWORD type = 0;
    const std::string nt = "\\??\\";
    const std::string expected = MultiString({nt + kSetup, "", nt + kFolder, "", nt + "C:\\old.txt",
                                              "!" + nt + "C:\\new.txt", nt + "C:\\missing.txt", ""});
    EXPECT_EQ(PendingValue(&type), expected);
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_TRUE(Exists(kSetup)) << "nothing moves before the restart";
    EXPECT_EQ(ReadText(machine::UnixPath("C:\\new.txt")), "new");

    const std::vector<machine::StartOperation> operations = machine::Restart();
    ASSERT_EQ(operations.size(), 4u);
    EXPECT_EQ(operations[0].from, kSetup);
    EXPECT_TRUE(operations[0].to.empty());
    EXPECT_TRUE(operations[0].done);
    EXPECT_EQ(operations[1].from, kFolder);
    EXPECT_FALSE(operations[1].done) << "a folder that is not empty stays";
    EXPECT_EQ(operations[2].to, "C:\\new.txt");
    EXPECT_TRUE(operations[2].done);
    EXPECT_FALSE(operations[3].done);

    EXPECT_FALSE(Exists(kSetup));
    EXPECT_TRUE(Exists("C:\\Program Files\\Veltrona\\Norvik\\drivers\\mfp.inf"));
    EXPECT_EQ(ReadText(machine::UnixPath("C:\\new.txt")), "old");
    EXPECT_EQ(PendingValue(), "<none>") << "cleared";
    EXPECT_TRUE(machine::Restart().empty()) << "a second restart finds nothing";

    // An emptied folder goes at the restart.
    testsupport::RemoveTree(machine::UnixPath("C:\\Program Files\\Veltrona\\Norvik\\drivers"));
    ASSERT_TRUE(DeleteFileA("C:\\Program Files\\Veltrona\\Norvik\\keep.txt"));
    ASSERT_TRUE(MoveFileExA(kFolder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    ASSERT_EQ(machine::Restart().size(), 1u);
    EXPECT_FALSE(Exists(kFolder));
}

TEST_F(RestartTest, The95FamilyTakesItsRenamesFromWininit)
{
    ASSERT_TRUE(testsupport::WriteWindowsFamily("95"));
    EXPECT_FALSE(MoveFileExA(kSetup, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) << "no such call on the 95 family";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));

    char windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 0u);
    const std::string wininit = std::string(windows) + "\\wininit.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("Rename", "NUL", kSetup, wininit.c_str()));
    // Lines a profile call cannot write (one key twice) are carried out too.
    WriteText(machine::UnixPath("C:\\old.txt"), "old");
    const std::string text = ReadText(machine::UnixPath(wininit.c_str()));
    EXPECT_EQ(text, std::string("[Rename]\r\nNUL=") + kSetup + "\r\n");
    WriteText(machine::UnixPath(wininit.c_str()),
              text + "NUL=C:\\Program Files\\Veltrona\\Norvik\\keep.txt\r\nC:\\renamed.txt=C:\\old.txt\r\n");

    const std::vector<machine::StartOperation> operations = machine::Restart();
    ASSERT_EQ(operations.size(), 3u);
    for (const machine::StartOperation &operation : operations)
        EXPECT_TRUE(operation.done) << operation.from;
    EXPECT_FALSE(Exists(kSetup));
    EXPECT_FALSE(Exists("C:\\Program Files\\Veltrona\\Norvik\\keep.txt"));
    EXPECT_EQ(ReadText(machine::UnixPath("C:\\renamed.txt")), "old");
    EXPECT_TRUE(Exists(kFolder)) << "the folder is not scheduled on the 95 family";
    EXPECT_FALSE(Exists(wininit.c_str()));
    EXPECT_TRUE(Exists((std::string(windows) + "\\wininit.bak").c_str()));
    EXPECT_TRUE(machine::Restart().empty());
}

// The restart reads wininit.ini under the lock its writers take: it waits
// for a writer that holds it, and then carries out what that writer wrote.
TEST_F(RestartTest, The95FamilyWaitsForAWriterOfWininit)
{
    ASSERT_TRUE(testsupport::WriteWindowsFamily("95"));
    ASSERT_TRUE(WritePrivateProfileStringA("Rename", "NUL", kSetup, "wininit.ini"));
    const std::string wininit = machine::UnixPath("C:\\Windows\\wininit.ini");
    const std::string keep = "C:\\Program Files\\Veltrona\\Norvik\\keep.txt";
    const std::string written = ReadText(wininit) + "NUL=" + keep + "\r\n";

    // A writer in the middle of its change: the lock held, the new file put
    // in place before the lock goes.
    testsupport::HoldingChild writer(
        [&] {
            const int fd = open(wininit.c_str(), O_RDWR | O_CLOEXEC);
            return fd >= 0 && flock(fd, LOCK_EX) == 0 ? 'L' : 'x';
        },
        [&] {
            const std::string fresh = wininit + ".fresh";
            WriteText(fresh, written);
            rename(fresh.c_str(), wininit.c_str());
        });
    ASSERT_EQ(writer.Report(), 'L');
    const pid_t restart = testsupport::Spawn({MACHINE_TOOL_PATH, "restart"}, testsupport::kNullDevice,
                                             testsupport::kNullDevice);
    ASSERT_GT(restart, 0);
    EXPECT_TRUE(ComesToWaitForALock(restart, 30000));
    EXPECT_TRUE(Exists(kSetup)) << "nothing carried out while the writer holds the file";
    EXPECT_EQ(writer.Release(), 0);
    EXPECT_EQ(testsupport::ExitCodeOf(testsupport::WaitForExit(restart, 60000)), 0);
    EXPECT_FALSE(Exists(kSetup));
    EXPECT_FALSE(Exists(keep.c_str())) << "the writer's line is carried out too";
    EXPECT_FALSE(Exists("C:\\Windows\\wininit.ini"));
}

TEST_F(RestartTest, EachFamilyKeepsToItsOwnRecord)
{
    // An NT machine does not read wininit.ini.
    ASSERT_TRUE(WritePrivateProfileStringA("rename", "NUL", kSetup, "wininit.ini"));
    EXPECT_TRUE(machine::Restart().empty());
    EXPECT_TRUE(Exists(kSetup));

    // A 95 machine does not read the NT record.
    ASSERT_TRUE(MoveFileExA("C:\\Program Files\\Veltrona\\Norvik\\keep.txt", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    ASSERT_TRUE(WritePrivateProfileStringA("rename", nullptr, nullptr, "wininit.ini"));
    ASSERT_TRUE(testsupport::WriteWindowsFamily("95"));
    EXPECT_TRUE(machine::Restart().empty());
    EXPECT_TRUE(Exists("C:\\Program Files\\Veltrona\\Norvik\\keep.txt"));
    EXPECT_NE(PendingValue(), "<none>");
}

TEST_F(RestartTest, TheMachineToolRestarts)
{
    ASSERT_TRUE(MoveFileExA(kSetup, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    ASSERT_TRUE(MoveFileExA(kFolder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    const testsupport::RunResult result = testsupport::RunProgram({MACHINE_TOOL_PATH, "restart"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, std::string("delete ") + kSetup + "\npassed over: delete " + kFolder + "\nRestarted " +
                              root_.Path() + " (2 pending operations).\n");
    EXPECT_FALSE(Exists(kSetup));
    EXPECT_EQ(PendingValue(), "<none>");
}

} // namespace
