// The class library's folder functions over a temporary machine root.

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FileContents.h"
#include "Folders.h"
#include "TempMachineRoot.h"

namespace {

using Names = std::vector<AnsiString>;

class Folders : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FRoot.Made()); }
    // The Unix path of a place on drive C:.
    std::string OnC(const std::string &path) const { return FRoot.Path() + "/drives/c/" + path; }
    testsupport::TempMachineRoot FRoot{"folders-test", testsupport::Layout::Now};
};

TEST(FolderNames, ExpandFolderNameTakesTypedNamesAsTheClassLibraryDoes)
{
    struct Case {
        const char *name;
        const char *base;
        const char *full;
    } cases[] = {
        {"C:\\Scans", "D:\\x", "C:\\Scans"},
        {"c:/scans/", "D:\\x", "C:\\scans"},
        {"C:\\A\\\\B\\.\\C\\..", "C:\\", "C:\\A\\B"},
        {"C:\\..\\..", "C:\\A", "C:\\"},
        {"C:", "D:\\x", "C:\\"},
        {"d:", "C:\\x", "D:\\"},
        {"New", "C:\\Program Files", "C:\\Program Files\\New"},
        {"New\\Sub", "C:\\", "C:\\New\\Sub"},
        {"..\\Other", "C:\\A\\B", "C:\\A\\Other"},
        {"\\Top", "D:\\x\\y", "D:\\Top"},
        {"C:rel", "C:\\A", "C:\\A\\rel"},
        {"C:rel", "D:\\A", "C:\\rel"},
        {"  C:\\Padded  ", "C:\\", "C:\\Padded"},
        {"", "C:\\", ""},
        {"   ", "C:\\", ""},
        {"\\\\server\\share", "C:\\", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + " in " + c.base);
        EXPECT_EQ(ExpandFolderName(c.name, c.base), c.full);
    }
}

TEST(FolderNames, FolderLevelsGoFromTheRootDown)
{
    EXPECT_EQ(FolderLevels("C:\\A\\B"), (Names{"C:\\", "A", "B"}));
    EXPECT_EQ(FolderLevels("C:\\"), (Names{"C:\\"}));
    EXPECT_EQ(FolderLevels("Z:\\tmp"), (Names{"Z:\\", "tmp"}));
    EXPECT_EQ(FolderLevels("relative"), Names{});
    EXPECT_EQ(FolderLevels("C:"), Names{});
}

TEST_F(Folders, ForceDirectoriesMakesTheMissingParents)
{
    ASSERT_FALSE(DirectoryExists("C:\\A"));
    EXPECT_TRUE(ForceDirectories("C:\\A\\B\\C"));
    for (const char *made : {"A", "A/B", "A/B/C"}) {
        struct stat info;
        EXPECT_TRUE(stat(OnC(made).c_str(), &info) == 0 && S_ISDIR(info.st_mode)) << made;
    }
    EXPECT_TRUE(DirectoryExists("C:\\A\\B\\C"));
    EXPECT_TRUE(DirectoryExists("c:\\a\\b")) << "names match without regard to case";

    EXPECT_TRUE(ForceDirectories("C:\\A\\B\\C")) << "an existing folder is fine";
    EXPECT_TRUE(ForceDirectories("C:\\A\\B\\D\\")) << "a trailing backslash";
    EXPECT_TRUE(DirectoryExists("C:\\A\\B\\D"));
    EXPECT_TRUE(ForceDirectories("C:\\"));
}

TEST_F(Folders, ForceDirectoriesFailsWhereNoFolderCanBe)
{
    ASSERT_TRUE(testsupport::WriteText(OnC("file.txt"), "x"));
    EXPECT_FALSE(DirectoryExists("C:\\file.txt"));
    EXPECT_FALSE(ForceDirectories("C:\\file.txt\\sub")) << "a file in the way";
    EXPECT_FALSE(ForceDirectories("C:\\file.txt"));
    EXPECT_FALSE(ForceDirectories(""));
    EXPECT_FALSE(ForceDirectories("Q:\\nowhere")) << "a drive the machine lacks";
    EXPECT_FALSE(ForceDirectories("C:\\bad|name"));
    EXPECT_FALSE(DirectoryExists(""));
    EXPECT_FALSE(DirectoryExists("C:\\missing"));
}

TEST_F(Folders, DrivesAreTheRootsDriveFolders)
{
    EXPECT_EQ(DriveLetters(), (std::vector<char>{'C', 'Z'}));
    const std::string elsewhere = FRoot.Scratch("d-drive");
    ASSERT_EQ(symlink(elsewhere.c_str(), (FRoot.Path() + "/drives/d").c_str()), 0);
    ASSERT_EQ(symlink("/no/such/folder", (FRoot.Path() + "/drives/e").c_str()), 0);
    EXPECT_EQ(DriveLetters(), (std::vector<char>{'C', 'D', 'Z'})) << "a link to nothing is no drive";
}

TEST_F(Folders, SubfoldersAreSortedWithoutRegardToCase)
{
    ASSERT_EQ(mkdir(OnC("Top").c_str(), 0755), 0);
    for (const char *folder : {"beta", "Alpha", "gamma", ".hidden", "Beta2", "a:b"})
        ASSERT_EQ(mkdir(OnC(std::string("Top/") + folder).c_str(), 0755), 0) << folder;
    ASSERT_TRUE(testsupport::WriteText(OnC("Top/file"), "not a folder"));
    ASSERT_EQ(symlink(OnC("Top/Alpha").c_str(), OnC("Top/link").c_str()), 0);

    EXPECT_EQ(SubfolderNames("C:\\Top"), (Names{"Alpha", "beta", "Beta2", "gamma", "link"}));
    EXPECT_EQ(SubfolderNames("c:\\top\\"), SubfolderNames("C:\\Top"));
    EXPECT_EQ(SubfolderNames("C:\\Top\\Alpha"), Names{});
    EXPECT_EQ(SubfolderNames("C:\\missing"), Names{});
}

} // namespace
