// The machine's drives and their types: the drive table, folders mounted as
// drives (the install media as a CD-ROM), and GetDriveTypeA on them.
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "FileContents.h"
#include "TempMachineRoot.h"
#include "machine/Drives.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "windows.h"

namespace {

std::string DriveTable() { return machine::SettingsFolder() + "/" + machine::kDriveTableSetting; }

class DrivesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(media_.Made()); }

    testsupport::TempMachineRoot root_{"arv-kernel", testsupport::Layout::Now};
    testsupport::TempFolder media_{"arv-media"};
};

TEST_F(DrivesTest, TypesComeFromTheTableAndFixedDisksNeedNoLine)
{
    for (char letter : {'d', 'e', 'f', 'g', 'h'})
        ASSERT_EQ(symlink(media_.Path().c_str(), machine::DriveFolder(letter).c_str()), 0);
    ASSERT_EQ(symlink("/nonexistent-arv-drive", machine::DriveFolder('k').c_str()), 0);
    ASSERT_TRUE(testsupport::WriteText(DriveTable(), "; types of the drives\n"
                                                     "D: cdrom\n"
                                                     "  e:   Removable  \n"
                                                     "F: network\n"
                                                     "G: floppy\n"
                                                     "K: cdrom\n"));
    struct Case {
        const char *root;
        UINT type;
    };
    const Case cases[] = {
        {"C:\\", DRIVE_FIXED},        {"c:", DRIVE_FIXED},          {"C:/", DRIVE_FIXED},
        {"Z:\\", DRIVE_FIXED},        {"D:\\", DRIVE_CDROM},        {"E:\\", DRIVE_REMOVABLE},
        {"F:\\", DRIVE_REMOTE},       {"G:\\", DRIVE_UNKNOWN},      {"H:\\", DRIVE_FIXED},
        {"K:\\", DRIVE_NO_ROOT_DIR},  {"Q:\\", DRIVE_NO_ROOT_DIR},  {"C:\\Windows\\", DRIVE_NO_ROOT_DIR},
        {"C:\\Windows", DRIVE_NO_ROOT_DIR}, {"", DRIVE_NO_ROOT_DIR}, {"\\\\server\\share\\", DRIVE_NO_ROOT_DIR},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GetDriveTypeA(c.root), c.type) << c.root;

    // No name: the drive of the current folder.
    ASSERT_TRUE(SetCurrentDirectoryA("D:\\"));
    EXPECT_EQ(GetDriveTypeA(nullptr), DRIVE_CDROM);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Windows"));
    EXPECT_EQ(GetDriveTypeA(nullptr), DRIVE_FIXED);
    ASSERT_EQ(chdir("/"), 0);
}

TEST_F(DrivesTest, AFolderMountsAsACdRomAndGoesAgain)
{
    ASSERT_TRUE(testsupport::WriteText(media_.File("setup.exe"), "program"));
    ASSERT_TRUE(machine::MountDrive('d', media_.Path(), DRIVE_CDROM));
    EXPECT_EQ(GetDriveTypeA("D:\\"), DRIVE_CDROM);
    EXPECT_EQ(testsupport::ReadText(machine::UnixPath("D:\\SETUP.EXE")), "program");
    EXPECT_EQ(machine::WindowsPath(media_.File("setup.exe")), "D:\\setup.exe") << "the media's files are on D:";
    EXPECT_EQ(testsupport::ReadText(DriveTable()), "D: cdrom\n");

    // Mounted again as another type, the drive keeps one line.
    ASSERT_TRUE(machine::MountDrive('D', media_.Path(), DRIVE_REMOVABLE));
    EXPECT_EQ(GetDriveTypeA("D:\\"), DRIVE_REMOVABLE);
    EXPECT_EQ(testsupport::ReadText(DriveTable()), "D: removable\n");

    ASSERT_TRUE(machine::UnmountDrive('d'));
    EXPECT_EQ(GetDriveTypeA("D:\\"), DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(testsupport::ReadText(DriveTable()), "");
    EXPECT_EQ(testsupport::ReadText(media_.File("setup.exe")), "program") << "the folder stays";
}

TEST_F(DrivesTest, TheMachinesOwnDrivesAndMissingFoldersAreNotMounted)
{
    EXPECT_FALSE(machine::MountDrive('c', media_.Path(), DRIVE_CDROM));
    EXPECT_FALSE(machine::MountDrive('Z', media_.Path(), DRIVE_CDROM));
    EXPECT_FALSE(machine::MountDrive('d', media_.File("missing"), DRIVE_CDROM));
    EXPECT_FALSE(machine::MountDrive('d', media_.Path(), DRIVE_RAMDISK));
    EXPECT_FALSE(machine::MountDrive('1', media_.Path(), DRIVE_CDROM));
    ASSERT_EQ(mkdir(machine::DriveFolder('e').c_str(), 0755), 0);
    EXPECT_FALSE(machine::MountDrive('e', media_.Path(), DRIVE_CDROM)) << "a drive that is a folder of the root";
    EXPECT_FALSE(machine::UnmountDrive('c'));
    EXPECT_FALSE(machine::UnmountDrive('e'));
    EXPECT_EQ(GetDriveTypeA("C:\\"), DRIVE_FIXED);
    EXPECT_EQ(GetDriveTypeA("D:\\"), DRIVE_NO_ROOT_DIR);
    struct stat info;
    EXPECT_NE(stat(DriveTable().c_str(), &info), 0) << "no table written";
}

TEST_F(DrivesTest, TheMachineToolMountsAndUnmounts)
{
    const std::string tool = MACHINE_TOOL_PATH;
    const std::string root = root_.Path();
    testsupport::RunResult result = testsupport::RunProgram({tool, "mount", "D:", media_.Path(), "--root", root});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(GetDriveTypeA("D:\\"), DRIVE_CDROM) << "cdrom unless another type is given";
    result = testsupport::RunProgram({tool, "--root=" + root, "mount", "E:", media_.Path(), "removable"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(GetDriveTypeA("E:\\"), DRIVE_REMOVABLE);
    result = testsupport::RunProgram({tool, "unmount", "d:"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(GetDriveTypeA("D:\\"), DRIVE_NO_ROOT_DIR);

    EXPECT_EQ(testsupport::RunProgram({tool, "mount", "C:", media_.Path()}).code, 1);
    EXPECT_EQ(testsupport::RunProgram({tool, "mount", "D:", media_.Path(), "floppy"}).code, 2);
    EXPECT_EQ(testsupport::RunProgram({tool, "mount", "D", media_.Path()}).code, 2);
    EXPECT_EQ(testsupport::RunProgram({tool, "eject"}).code, 2);
    EXPECT_EQ(testsupport::RunProgram({tool, "restart", "--root"}).code, 2);
}

} // namespace
