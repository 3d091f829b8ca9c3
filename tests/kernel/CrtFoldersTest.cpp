// The C runtime's current folder of each drive: _getdcwd, _chdir, _getcwd
// and _getdrive as the installer's folder browse uses them.
#include <climits>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "FileContents.h"
#include "TempMachineRoot.h"
#include "direct.h"
#include "machine/Paths.h"

namespace {

class CrtFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root_.Made());
        char folder[PATH_MAX];
        ASSERT_NE(getcwd(folder, sizeof folder), nullptr);
        saved_ = folder;
    }
    void TearDown() override { ASSERT_EQ(chdir(saved_.c_str()), 0); }

    testsupport::TempMachineRoot root_{"arv-crt-folders", testsupport::Layout::Now};
    std::string saved_;
};

TEST_F(CrtFolders, EachDriveKeepsItsFolder)
{
    const std::string elsewhere = machine::WindowsPath(root_.Scratch("elsewhere"));
    ASSERT_EQ(elsewhere.substr(0, 2), "Z:");
    char buffer[256];
    ASSERT_EQ(_chdir(elsewhere.c_str()), 0);
    EXPECT_EQ(_getdrive(), 26);
    EXPECT_STREQ(_getdcwd(3, buffer, sizeof buffer), "C:\\") << "a drive not visited is at its root";

    ASSERT_EQ(_chdir("C:\\Windows\\System32"), 0);
    EXPECT_EQ(_getdrive(), 3);
    EXPECT_STREQ(_getcwd(buffer, sizeof buffer), "C:\\Windows\\System32");
    EXPECT_STREQ(_getdcwd(0, buffer, sizeof buffer), "C:\\Windows\\System32");
    EXPECT_STREQ(_getdcwd(26, buffer, sizeof buffer), elsewhere.c_str()) << "the drive left keeps its folder";

    // As the folder browse does: save C:'s folder, go elsewhere, come back.
    char saved[256];
    ASSERT_NE(_getdcwd(3, saved, sizeof saved), nullptr);
    ASSERT_EQ(_chdir(elsewhere.c_str()), 0);
    EXPECT_STREQ(_getdcwd(3, buffer, sizeof buffer), "C:\\Windows\\System32");
    ASSERT_EQ(_chdir(saved), 0);
    EXPECT_STREQ(_getcwd(buffer, sizeof buffer), "C:\\Windows\\System32");
    ASSERT_EQ(_chdir("Z:"), 0) << "a drive alone is its folder";
    EXPECT_STREQ(_getcwd(buffer, sizeof buffer), elsewhere.c_str());
    ASSERT_EQ(_chdir(".."), 0);
    EXPECT_EQ(_getcwd(buffer, sizeof buffer), machine::WindowsPath(root_.Path()));
}

TEST_F(CrtFolders, RefusesWhatIsNotThere)
{
    char buffer[256];
    errno = 0;
    EXPECT_EQ(_chdir("C:\\No Such Folder"), -1);
    EXPECT_EQ(errno, ENOENT);
    ASSERT_TRUE(testsupport::WriteText(machine::UnixPath("C:\\Windows\\win.ini"), "[windows]\n"));
    EXPECT_EQ(_chdir("C:\\Windows\\win.ini"), -1) << "not a folder";
    errno = 0;
    EXPECT_EQ(_getdcwd(17, buffer, sizeof buffer), nullptr) << "no drive Q:";
    EXPECT_EQ(errno, EACCES);
    errno = 0;
    EXPECT_EQ(_getdcwd(27, buffer, sizeof buffer), nullptr);
    EXPECT_EQ(errno, EINVAL);

    ASSERT_EQ(_chdir("C:\\Windows"), 0);
    errno = 0;
    EXPECT_EQ(_getcwd(buffer, 10), nullptr) << "C:\\Windows needs 11 bytes";
    EXPECT_EQ(errno, ERANGE);
    EXPECT_NE(_getcwd(buffer, 11), nullptr);
    char *made = _getdcwd(3, nullptr, 4);
    ASSERT_NE(made, nullptr) << "no buffer: one is made, as large as needed";
    EXPECT_STREQ(made, "C:\\Windows");
    free(made);
}

} // namespace
