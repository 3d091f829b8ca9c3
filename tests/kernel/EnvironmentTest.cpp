// GetEnvironmentVariableA: the process environment, names without regard
// to case, the machine's standard variables, and the buffer rules.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "ScopedEnvironment.h"
#include "TempMachineRoot.h"
#include "windows.h"

namespace {

class Environment : public ::testing::Test {
protected:
    testsupport::TempMachineRoot root_{"arv-environment"};
    testsupport::ScopedEnvironment environment_;
};

TEST_F(Environment, ProgramFilesNamesTheMachinesFolderUnlessTheProcessSetsIt)
{
    environment_.Clear("PROGRAMFILES");
    environment_.Clear("ProgramFiles");
    char buffer[400];
    EXPECT_EQ(GetEnvironmentVariableA("PROGRAMFILES", buffer, sizeof buffer), strlen("C:\\Program Files"));
    EXPECT_STREQ(buffer, "C:\\Program Files");
    EXPECT_EQ(GetEnvironmentVariableA("windir", buffer, sizeof buffer), strlen("C:\\Windows"));
    EXPECT_STREQ(buffer, "C:\\Windows");

    environment_.Set("ProgramFiles", "D:\\Apps");
    EXPECT_EQ(GetEnvironmentVariableA("PROGRAMFILES", buffer, sizeof buffer), 7u);
    EXPECT_STREQ(buffer, "D:\\Apps");

    // Set but empty: no value, and no failure either.
    environment_.Set("ProgramFiles", "");
    SetLastError(ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetEnvironmentVariableA("PROGRAMFILES", buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_STREQ(buffer, "");
}

TEST_F(Environment, ReadsTheProcessEnvironmentWithinItsBuffer)
{
    environment_.Set("ARV_TEST_VALUE", "abc");
    environment_.Clear("ARV_TEST_MISSING");
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(GetEnvironmentVariableA("arv_test_value", buffer, sizeof buffer), 3u) << "any case";
    EXPECT_STREQ(buffer, "abc");

    // Too small: the size needed with the NUL, nothing written.
    memcpy(buffer, "xxxxxxx", 8);
    EXPECT_EQ(GetEnvironmentVariableA("ARV_TEST_VALUE", buffer, 3), 4u);
    EXPECT_EQ(GetEnvironmentVariableA("ARV_TEST_VALUE", nullptr, 0), 4u);
    EXPECT_STREQ(buffer, "xxxxxxx");
    EXPECT_EQ(GetEnvironmentVariableA("ARV_TEST_VALUE", buffer, 4), 3u) << "exactly enough";

    // A value as long as the installer's buffer allows, and one longer.
    char large[400];
    environment_.Set("ARV_TEST_VALUE", std::string(399, 'p'));
    EXPECT_EQ(GetEnvironmentVariableA("ARV_TEST_VALUE", large, sizeof large), 399u);
    environment_.Set("ARV_TEST_VALUE", std::string(400, 'q'));
    EXPECT_EQ(GetEnvironmentVariableA("ARV_TEST_VALUE", large, sizeof large), 401u);
    EXPECT_EQ(large[0], 'p') << "nothing written";

    SetLastError(0);
    EXPECT_EQ(GetEnvironmentVariableA("ARV_TEST_MISSING", buffer, sizeof buffer), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ENVVAR_NOT_FOUND));
}

} // namespace
