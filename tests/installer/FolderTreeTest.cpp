// Creating the install folder with its parents, on a temporary machine root.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "Main2.h"
#include "SysUtils.h"
#include "TempMachineRoot.h"
#include "machine/Paths.h"
#include "windows.h"

namespace {

using testsupport::Layout;
using testsupport::TempMachineRoot;

bool IsFolder(const char *windowsPath)
{
    struct stat info;
    return stat(machine::UnixPath(windowsPath).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

struct TreeCase {
    const char *name;
    const char *path;
    std::vector<const char *> before; // folders made first
    bool result;
    std::vector<const char *> after;  // folders that then exist
};

void PrintTo(const TreeCase &c, std::ostream *os) { *os << c.name; }

class CreateDirTreeTest : public testing::TestWithParam<TreeCase> {
protected:
    TempMachineRoot FRoot{"arv-tree", Layout::Now};
};

TEST_P(CreateDirTreeTest, MakesMissingParentsAndTellsWhetherTheLastWasMade)
{
    const TreeCase &c = GetParam();
    ASSERT_TRUE(FRoot.Made());
    for (const char *folder : c.before)
        ASSERT_TRUE(CreateDirectoryA(folder, nullptr)) << folder;

    EXPECT_EQ(CreateDirTree(c.path), c.result);
    for (const char *folder : c.after)
        EXPECT_TRUE(IsFolder(folder)) << folder;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, CreateDirTreeTest,
    testing::Values(
        TreeCase{"ThreeLevelsUnderTheRoot", "C:\\A\\B\\C", {}, true, {"C:\\A", "C:\\A\\B", "C:\\A\\B\\C"}},
        TreeCase{"OneLevelUnderAnExistingParent", "C:\\A\\B", {"C:\\A"}, true, {"C:\\A\\B"}},
        TreeCase{"ExistingFolderIsNotMadeAgain", "C:\\A", {"C:\\A"}, false, {"C:\\A"}},
        TreeCase{"TrailingBackslashMakesItThroughTheParent", "C:\\A\\B\\", {}, false, {"C:\\A", "C:\\A\\B"}},
        TreeCase{"DriveRootCannotBeMade", "C:\\", {}, false, {"C:\\"}},
        TreeCase{"DriveThatDoesNotExist", "Q:\\A\\B", {}, false, {}},
        // A name that is its own parent ("ab:") must not recurse without end.
        TreeCase{"NameThatIsItsOwnParent", "ab:", {}, false, {}}),
    [](const testing::TestParamInfo<TreeCase> &info) { return std::string(info.param.name); });

TEST(CreateDirTreeRelative, NameWithoutSeparatorIsMadeInTheCurrentFolder)
{
    TempMachineRoot root("arv-tree", Layout::Now);
    ASSERT_TRUE(root.Made());
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Windows"));
    EXPECT_TRUE(CreateDirTree("Fresh"));
    EXPECT_TRUE(IsFolder("C:\\Windows\\Fresh"));
}

TEST(CreateDirTreeFile, AFileInTheWayFailsTheFolder)
{
    TempMachineRoot root("arv-tree", Layout::Now);
    ASSERT_TRUE(root.Made());
    HANDLE file = CreateFileA("C:\\Blocked", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_FALSE(CreateDirTree("C:\\Blocked\\Inside"));
    EXPECT_FALSE(IsFolder("C:\\Blocked\\Inside"));
}

// ---- File-name parts as the class library splits them ------------------------

struct NameCase {
    const char *path;
    const char *filePath;
    const char *fileName;
    const char *drive;
};

TEST(FileNameParts, SplitAtBackslashAndColon)
{
    const NameCase cases[] = {
        {"C:\\A\\B.txt", "C:\\A\\", "B.txt", "C:"},
        {"C:\\", "C:\\", "", "C:"},
        {"C:", "C:", "", "C:"},
        {"C:name", "C:", "name", "C:"},
        {"name", "", "name", ""},
        {"\\\\server\\share\\dir\\f", "\\\\server\\share\\dir\\", "f", "\\\\server\\share"},
        {"\\\\server\\share", "\\\\server\\", "share", "\\\\server\\share"},
        {"\\\\server", "\\\\", "server", ""},
        {"a/b", "", "a/b", ""},
        {"", "", "", ""},
    };
    for (const NameCase &c : cases) {
        EXPECT_EQ(ExtractFilePath(c.path), c.filePath) << c.path;
        EXPECT_EQ(ExtractFileName(c.path), c.fileName) << c.path;
        EXPECT_EQ(ExtractFileDrive(c.path), c.drive) << c.path;
    }
}

TEST(FileNameParts, TrailingBackslashAddedOrRemovedOnce)
{
    EXPECT_EQ(ExcludeTrailingBackslash("C:\\A\\"), "C:\\A");
    EXPECT_EQ(ExcludeTrailingBackslash("C:\\A\\\\"), "C:\\A\\");
    EXPECT_EQ(ExcludeTrailingBackslash("C:\\A"), "C:\\A");
    EXPECT_EQ(ExcludeTrailingBackslash(""), "");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\A"), "C:\\A\\");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\A\\"), "C:\\A\\");
    EXPECT_EQ(IncludeTrailingBackslash(""), "\\");
}

} // namespace
