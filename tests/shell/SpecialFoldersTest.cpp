// SHGetSpecialFolderPathA: the user's folders in the machine root, made on
// request, refused when missing.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "ShellFixture.h"
#include "TempMachineRoot.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "shlobj.h"

namespace {

class SpecialFolders : public ShellFixture {};

TEST_F(SpecialFolders, NamesTheUsersFoldersInTheRoot)
{
    struct Case {
        int csidl;
        const char *folder;
    } cases[] = {
        {CSIDL_PERSONAL, machine::kDocumentsDir},
        {CSIDL_DESKTOP, machine::kDesktopDir},
        {CSIDL_DESKTOPDIRECTORY, machine::kDesktopDir},
        {CSIDL_PROGRAM_FILES, machine::kProgramFilesDir},
        {CSIDL_WINDOWS, machine::kWindowsDir},
        {CSIDL_SYSTEM, machine::kSystemDir},
    };
    for (const Case &c : cases) {
        char path[MAX_PATH];
        EXPECT_TRUE(SHGetSpecialFolderPathA(nullptr, path, c.csidl, FALSE)) << c.csidl;
        EXPECT_STREQ(path, c.folder);
        struct stat info;
        EXPECT_EQ(stat(machine::UnixPath(path).c_str(), &info), 0) << path;
    }
    char path[MAX_PATH] = "untouched";
    EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, 0x0013 /* network neighbourhood */, TRUE));
    EXPECT_STREQ(path, "");
}

TEST_F(SpecialFolders, AMissingFolderIsRefusedUnlessItIsToBeMade)
{
    const std::string documents = machine::UnixPath(machine::kDocumentsDir);
    ASSERT_EQ(rmdir(documents.c_str()), 0);
    char path[MAX_PATH] = "untouched";
    EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_PERSONAL, FALSE));
    EXPECT_STREQ(path, "");

    testsupport::RemoveTree(machine::UnixPath(machine::kUserProfileDir));
    EXPECT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOP, TRUE)) << "made with its parents";
    EXPECT_STREQ(path, machine::kDesktopDir);
    struct stat info;
    EXPECT_EQ(stat(machine::UnixPath(machine::kDesktopDir).c_str(), &info), 0);
    EXPECT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, FALSE));
}

} // namespace
