#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TempMachineRoot.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "windows.h"

namespace {

class SystemFoldersTest : public ::testing::Test {
protected:
    testsupport::TempMachineRoot root_{"arv-kernel", testsupport::Layout::Now};
};

TEST_F(SystemFoldersTest, ModuleFileNameIsTheProgramsWindowsPath)
{
    char buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(strlen(buffer), length);
    EXPECT_EQ(buffer[1], ':');
    char exe[PATH_MAX];
    ASSERT_NE(realpath("/proc/self/exe", exe), nullptr);
    EXPECT_EQ(machine::UnixPath(buffer), exe);

    // Too small: cut with a NUL, the buffer's size returned.
    char small[5];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 5u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(small), std::string(buffer, 4));
}

TEST_F(SystemFoldersTest, StandardFoldersLieInTheRoot)
{
    struct Case {
        std::string expected;
        UINT (*get)(char *, UINT);
    };
    const Case cases[] = {
        {std::string(machine::kTempDir) + "\\",
         [](char *b, UINT n) -> UINT { return GetTempPathA(n, b); }},
        {machine::kWindowsDir, [](char *b, UINT n) { return GetWindowsDirectoryA(b, n); }},
        {machine::kSystemDir, [](char *b, UINT n) { return GetSystemDirectoryA(b, n); }},
    };
    for (const Case &c : cases) {
        char buffer[MAX_PATH];
        EXPECT_EQ(c.get(buffer, sizeof buffer), c.expected.size());
        EXPECT_EQ(std::string(buffer), c.expected);
        struct stat info;
        EXPECT_EQ(stat(machine::UnixPath(buffer).c_str(), &info), 0) << buffer;
        EXPECT_TRUE(S_ISDIR(info.st_mode)) << buffer;
        // Too small: the size needed with the NUL, nothing copied.
        char small[4] = "ab";
        EXPECT_EQ(c.get(small, sizeof small), c.expected.size() + 1);
        EXPECT_STREQ(small, "ab");
    }
}

TEST_F(SystemFoldersTest, AFolderGoneFromTheRootIsNotGiven)
{
    char buffer[MAX_PATH] = "untouched";
    testsupport::RemoveTree(machine::UnixPath(machine::kSystemDir));
    SetLastError(0);
    EXPECT_EQ(GetSystemDirectoryA(buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(GetWindowsDirectoryA(buffer, sizeof buffer), strlen(machine::kWindowsDir));

    testsupport::RemoveTree(machine::UnixPath(machine::kWindowsDir));
    EXPECT_EQ(GetWindowsDirectoryA(buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(SystemFoldersTest, TheVersionIsOfTheFamilyTheSettingNames)
{
    struct Case {
        const char *setting; // null: no setting file
        bool family95;
    };
    const Case cases[] = {
        {nullptr, false}, {"nt", false}, {"95", true}, {"95\n", true}, {" 95 \r\n", true},
        {"98", false},    {"95 me", false}, {"", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.setting ? c.setting : "(none)");
        const std::string file = machine::SettingsFolder() + "/" + machine::kWindowsFamilySetting;
        unlink(file.c_str());
        if (c.setting) {
            ASSERT_TRUE(testsupport::WriteWindowsFamily(c.setting));
        }
        const DWORD version = GetVersion();
        EXPECT_EQ((version & 0x80000000u) != 0, c.family95);
        EXPECT_EQ(LOBYTE(version), c.family95 ? 4 : 5) << "major version";
        EXPECT_EQ(LOBYTE(version >> 8), c.family95 ? 10 : 1) << "minor version";
        EXPECT_EQ(machine::Family(), c.family95 ? machine::WindowsFamily::Windows95 : machine::WindowsFamily::NT);
    }
}

} // namespace
