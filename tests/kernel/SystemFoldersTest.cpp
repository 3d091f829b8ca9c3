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

} // namespace
