// The uninstaller's tree removal: a file, a folder with all below it, a
// missing path, a read-only file that stays with the folders above it, and
// the folders it refuses to touch whatever an install location names.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "FileContents.h"
#include "InstallFixture.h"
#include "Main2.h"
#include "machine/Drives.h"

namespace install_test {
namespace {

class TreeRemovalTest : public InstallTest {
protected:
    void SetUp() override { StartWizard(); }

    static void Put(const std::string &windowsPath)
    {
        const size_t slash = windowsPath.rfind('\\');
        ASSERT_TRUE(IsFolder(windowsPath.substr(0, slash)) || CreateDirTree(windowsPath.substr(0, slash).c_str()));
        ASSERT_TRUE(testsupport::WriteText(UnixOf(windowsPath), "x"));
    }
};

TEST_F(TreeRemovalTest, RemovesAFileOrAWholeTree)
{
    Put("C:\\Tree\\a.txt");
    Put("C:\\Tree\\b.txt");
    Form2->DeleteTree("C:\\Tree\\a.txt");
    EXPECT_FALSE(Exists("C:\\Tree\\a.txt"));
    EXPECT_TRUE(Exists("C:\\Tree\\b.txt"));

    Put("C:\\Tree\\Sub\\Deeper\\c.txt");
    Put("C:\\Tree\\Sub\\d.txt");
    ASSERT_TRUE(CreateDirTree("C:\\Tree\\Empty"));
    ASSERT_TRUE(SetFileAttributesA("C:\\Tree\\Sub\\d.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    Form2->DeleteTree("C:\\Tree");
    EXPECT_FALSE(Exists("C:\\Tree"));
}

TEST_F(TreeRemovalTest, AMissingPathChangesNothing)
{
    Put("C:\\Tree\\a.txt");
    Form2->DeleteTree("C:\\Tree\\Missing");
    Form2->DeleteTree("C:\\Missing\\Tree");
    EXPECT_TRUE(Exists("C:\\Tree\\a.txt"));
}

TEST_F(TreeRemovalTest, AReadOnlyFileStaysWithTheFoldersAboveIt)
{
    Put("C:\\Tree\\Kept\\read-only.txt");
    Put("C:\\Tree\\Kept\\other.txt");
    Put("C:\\Tree\\Gone\\e.txt");
    Put("C:\\Tree\\f.txt");
    ASSERT_TRUE(SetFileAttributesA("C:\\Tree\\Kept\\read-only.txt", FILE_ATTRIBUTE_READONLY));
    Form2->DeleteTree("C:\\Tree");
    EXPECT_TRUE(Exists("C:\\Tree\\Kept\\read-only.txt"));
    EXPECT_FALSE(Exists("C:\\Tree\\Kept\\other.txt"));
    EXPECT_FALSE(Exists("C:\\Tree\\Gone"));
    EXPECT_FALSE(Exists("C:\\Tree\\f.txt"));
}

TEST_F(TreeRemovalTest, RefusesDriveRootsAndTheSystemsOwnFolders)
{
    // A drive of its own, to see that its root is refused.
    const std::string scratch = FRoot.Scratch("scratch-drive");
    ASSERT_TRUE(machine::MountDrive('S', scratch, DRIVE_FIXED));
    const char *const markers[] = {"C:\\marker.txt",
                                   "S:\\marker.txt",
                                   "C:\\Windows\\marker.txt",
                                   "C:\\Windows\\System32\\marker.txt",
                                   "C:\\Program Files\\marker.txt",
                                   "C:\\Documents and Settings\\marker.txt",
                                   "C:\\Documents and Settings\\User\\marker.txt",
                                   "C:\\Documents and Settings\\User\\Desktop\\marker.txt",
                                   "C:\\Documents and Settings\\User\\My Documents\\marker.txt",
                                   "C:\\relative\\marker.txt"};
    for (const char *marker : markers)
        Put(marker);

    // A relative path names no fixed place: it is refused too.
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(chdir(UnixOf("C:\\").c_str()), 0);
    const char *const refused[] = {"C:\\",
                                   "c:\\",
                                   "C:",
                                   "C:/",
                                   "S:\\",
                                   "C:\\Windows",
                                   "C:\\WINDOWS\\",
                                   "C:\\Windows\\System32",
                                   "C:\\Program Files",
                                   "c:\\program files\\",
                                   "C:\\Program Files\\Veltrona\\..",
                                   "C:\\Program Files\\.\\Veltrona\\..\\..\\Windows",
                                   "C:\\Documents and Settings",
                                   "C:\\Documents and Settings\\User",
                                   "C:\\Documents and Settings\\User\\Desktop",
                                   "C:\\Documents and Settings\\User\\My Documents",
                                   "relative",
                                   "\\relative",
                                   ""};
    for (const char *path : refused)
        Form2->DeleteTree(path);
    ASSERT_EQ(chdir(saved), 0);
    for (const char *marker : markers)
        EXPECT_TRUE(Exists(marker)) << marker;

    // A folder of its own below Program Files goes.
    Put("C:\\Program Files\\Veltrona\\Norvik\\g.txt");
    Form2->DeleteTree("C:\\Program Files\\Veltrona");
    EXPECT_FALSE(Exists("C:\\Program Files\\Veltrona"));
    EXPECT_TRUE(Exists("C:\\Program Files\\marker.txt"));
}

} // namespace
} // namespace install_test
