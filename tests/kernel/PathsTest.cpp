#include <climits>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "FileContents.h"
#include "TempMachineRoot.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"

namespace {


class PathsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        c_ = machine::DriveFolder('c');
        mkdir((c_ + "/Windows/Fonts").c_str(), 0755);
        testsupport::WriteText(c_ + "/Windows/Win.ini", "x");
    }

    // Runs `body` with the current folder at `folder`, then restores it.
    template <class Body>
    void In(const std::string &folder, Body body)
    {
        char saved[PATH_MAX];
        ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
        ASSERT_EQ(chdir(folder.c_str()), 0);
        body();
        ASSERT_EQ(chdir(saved), 0);
    }

    testsupport::TempMachineRoot root_{"arv-kernel", testsupport::Layout::Now};
    std::string c_;
};

struct Mapping {
    const char *windows;
    const char *underC; // expected path below drive C's folder
};

TEST_F(PathsTest, DriveCMapsIntoTheRootMatchingCaseInsensitively)
{
    const Mapping cases[] = {
        {"C:\\Windows", "/Windows"},
        {"c:\\WINDOWS\\system32", "/Windows/System32"},
        {"C:/Windows\\Fonts/", "/Windows/Fonts"},
        {"C:\\windows\\WIN.INI", "/Windows/Win.ini"},
        // Components that do not exist keep their spelling; the ones before
        // them still resolve.
        {"C:\\WINDOWS\\New Folder\\Report.TXT", "/Windows/New Folder/Report.TXT"},
        {"C:\\windows\\system32\\New.dll", "/Windows/System32/New.dll"},
        {"C:\\Windows\\..\\program files\\.\\x", "/Program Files/x"},
        {"C:\\..\\..\\Windows", "/Windows"},
        {"C:\\", ""},
        {"C:", ""},
        {"\\\\?\\C:\\Windows", "/Windows"},
    };
    for (const Mapping &m : cases)
        EXPECT_EQ(machine::UnixPath(m.windows), c_ + m.underC) << m.windows;
}

TEST_F(PathsTest, AmongSeveralCaseVariantsTheExactSpellingWinsThenByteOrder)
{
    const std::string folder = c_ + "/Variants";
    mkdir(folder.c_str(), 0755);
    testsupport::WriteText(folder + "/abc", "");
    testsupport::WriteText(folder + "/ABC", "");
    testsupport::WriteText(folder + "/aBc", "");
    EXPECT_EQ(machine::UnixPath("C:\\Variants\\abc"), folder + "/abc");
    EXPECT_EQ(machine::UnixPath("C:\\Variants\\aBc"), folder + "/aBc");
    EXPECT_EQ(machine::UnixPath("C:\\Variants\\Abc"), folder + "/ABC");
}

TEST_F(PathsTest, DriveZIsTheUnixRootBothWays)
{
    EXPECT_EQ(machine::UnixPath("Z:\\"), "/");
    EXPECT_EQ(machine::UnixPath("Z:\\tmp"), "/tmp");
    EXPECT_EQ(machine::UnixPath("z:/TMP"), "/tmp");
    EXPECT_EQ(machine::WindowsPath("/"), "Z:\\");
    EXPECT_EQ(machine::WindowsPath("/tmp"), "Z:\\tmp");
    EXPECT_EQ(machine::WindowsPath("/usr/./lib/../bin"), "Z:\\usr\\bin");
}

TEST_F(PathsTest, WindowsPathNamesTheDriveThatHoldsThePath)
{
    EXPECT_EQ(machine::WindowsPath(c_), "C:\\");
    EXPECT_EQ(machine::WindowsPath(c_ + "/Windows/System32"), "C:\\Windows\\System32");
    // A path in the root but outside every drive has its Z: name.
    std::string expected = "Z:" + root_.Path() + "/registry";
    for (char &ch : expected)
        if (ch == '/')
            ch = '\\';
    EXPECT_EQ(machine::WindowsPath(root_.Path() + "/registry"), expected);
}

TEST_F(PathsTest, AFurtherDriveIsALinkInTheDrivesFolder)
{
    const testsupport::TempFolder drive("arv-kernel");
    ASSERT_TRUE(drive.Made());
    const std::string &target = drive.Path();
    testsupport::WriteText(target + "/Data.bin", "d");
    ASSERT_EQ(symlink(target.c_str(), machine::DriveFolder('d').c_str()), 0);

    EXPECT_EQ(machine::UnixPath("D:\\data.BIN"), target + "/Data.bin");
    EXPECT_EQ(machine::WindowsPath(target + "/Data.bin"), "D:\\Data.bin");
    EXPECT_EQ(machine::WindowsPath(machine::DriveFolder('d') + "/Data.bin"), "D:\\Data.bin");
    // A drive the machine does not have maps to a folder that is not there.
    EXPECT_EQ(machine::UnixPath("Q:\\x"), machine::DriveFolder('q') + "/x");
}

TEST_F(PathsTest, RelativeNamesResolveAgainstTheCurrentFolder)
{
    In(c_ + "/Windows", [&] {
        EXPECT_EQ(machine::UnixPath("system32"), c_ + "/Windows/System32");
        EXPECT_EQ(machine::UnixPath(".\\FONTS"), c_ + "/Windows/Fonts");
        EXPECT_EQ(machine::UnixPath("..\\Program Files"), c_ + "/Program Files");
        EXPECT_EQ(machine::UnixPath("..\\..\\..\\Windows"), c_ + "/Windows");
        // Rooted without a drive: the current drive's root.
        EXPECT_EQ(machine::UnixPath("\\Program Files"), c_ + "/Program Files");
        // Drive-relative: relative to the current folder on that drive.
        EXPECT_EQ(machine::UnixPath("C:Fonts"), c_ + "/Windows/Fonts");
        EXPECT_EQ(machine::UnixPath("Z:tmp"), "/tmp");
    });
    In("/tmp", [&] {
        EXPECT_EQ(machine::UnixPath("x\\y"), "/tmp/x/y");
        EXPECT_EQ(machine::UnixPath("\\usr"), "/usr");
        EXPECT_EQ(machine::WindowsPath("sub"), "Z:\\tmp\\sub");
    });
}

TEST_F(PathsTest, RoundTripsThroughBothMappings)
{
    const char *names[] = {"C:\\Windows\\System32", "C:\\Program Files", "Z:\\tmp", "C:\\"};
    for (const char *name : names)
        EXPECT_EQ(machine::WindowsPath(machine::UnixPath(name)), name) << name;
}

TEST_F(PathsTest, NamesWithoutAMappingGiveNothing)
{
    EXPECT_EQ(machine::UnixPath(nullptr), "");
    EXPECT_EQ(machine::UnixPath(""), "");
    EXPECT_EQ(machine::UnixPath("\\\\server\\share\\file"), "");
    EXPECT_EQ(machine::UnixPath("\\\\.\\COM9"), "");
}

TEST_F(PathsTest, ADeviceNameGivesItsPortLink)
{
    ASSERT_EQ(symlink("/dev/null", machine::PortLink("COM5").c_str()), 0);
    EXPECT_EQ(machine::UnixPath("\\\\.\\com5"), machine::PortLink("COM5"));
}

TEST_F(PathsTest, RealPlaceResolvesEveryLinkOnTheWayButNotTheEntry)
{
    const testsupport::TempFolder drive("arv-kernel");
    ASSERT_TRUE(drive.Made());
    testsupport::WriteText(drive.Path() + "/Data.bin", "d");
    ASSERT_EQ(symlink(drive.Path().c_str(), machine::DriveFolder('d').c_str()), 0);
    ASSERT_EQ(symlink(drive.Path().c_str(), (c_ + "/Linked").c_str()), 0);
    char resolved[PATH_MAX];
    ASSERT_NE(realpath(c_.c_str(), resolved), nullptr);
    const std::string c = resolved;
    ASSERT_NE(realpath(drive.Path().c_str(), resolved), nullptr);
    const std::string d = resolved;
    std::string throughZ = "Z:" + c_;
    for (char &ch : throughZ)
        ch = ch == '/' ? '\\' : ch;

    const struct {
        std::string windows;
        std::string place;
    } cases[] = {
        {"C:\\WINDOWS\\", c + "/Windows"},
        {"\\\\?\\c:/windows/fonts", c + "/Windows/Fonts"},
        {"\\\\.\\C:\\Windows\\..\\Windows\\Fonts\\.", c + "/Windows/Fonts"},
        {throughZ + "\\windows\\win.ini", c + "/Windows/Win.ini"},
        {"D:\\data.bin", d + "/Data.bin"},
        {"D:\\", d},
        {"C:\\", c},
        {"Z:\\", "/"},
        // A link is its own place; what lies behind it is the target's.
        {"C:\\linked", c + "/Linked"},
        {"C:\\Linked\\DATA.BIN", d + "/Data.bin"},
        // The entry need not exist, its folder must.
        {"C:\\Windows\\New.txt", c + "/Windows/New.txt"},
        {"C:\\Windows\\Missing\\New.txt", ""},
        {"\\\\server\\share\\x", ""},
        {"C:\\Windows\\bad|name", ""},
        {"", ""},
    };
    for (const auto &test : cases)
        EXPECT_EQ(machine::RealPlace(test.windows.c_str()), test.place) << test.windows;
    EXPECT_EQ(machine::RealPlace(nullptr), "");
}

} // namespace
