// Folder searches with FindFirstFileA and FindNextFileA: the entries, their
// attributes, the patterns, and a tree removal built on them that leaves a
// read-only file (and the folders above it) in place, as on Windows.
#include <string>
#include <sys/stat.h>
#include <vector>

#include <gtest/gtest.h>

#include "FileContents.h"
#include "TempMachineRoot.h"
#include "machine/Paths.h"
#include "windows.h"

namespace {

using testsupport::WriteText;

// The names a search gives, with their attributes, in order; the search's
// error when it finds nothing.
std::vector<std::pair<std::string, DWORD>> Search(const char *pattern, DWORD *error = nullptr)
{
    std::vector<std::pair<std::string, DWORD>> found;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern, &data);
    if (error)
        *error = GetLastError();
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do
        found.emplace_back(data.cFileName, data.dwFileAttributes);
    while (FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(search));
    return found;
}

std::vector<std::string> Names(const std::vector<std::pair<std::string, DWORD>> &found)
{
    std::vector<std::string> names;
    for (const auto &entry : found)
        names.push_back(entry.first);
    return names;
}

// The tree removal the uninstaller does: a file is deleted; a folder is
// searched with "*.*", each entry but "." and ".." removed depth first, then
// the folder itself.
void DeleteTree(const std::string &path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((path + "\\*.*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name != "." && name != ".." && (data.dwFileAttributes & 0x3F))
                DeleteTree(path + "\\" + name);
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

class FindFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateDirectoryA("C:\\Data", nullptr));
        ASSERT_TRUE(CreateDirectoryA("C:\\Data\\sub", nullptr));
        for (const char *name : {"b.txt", "A.TXT", "noext", "c.text"})
            ASSERT_TRUE(WriteText(machine::UnixPath((std::string("C:\\Data\\") + name).c_str()), name));
        ASSERT_TRUE(WriteText(machine::UnixPath("C:\\Data\\locked.dat"), "12345"));
        ASSERT_TRUE(SetFileAttributesA("C:\\Data\\locked.dat", FILE_ATTRIBUTE_READONLY));
    }

    testsupport::TempMachineRoot root_{"arv-kernel", testsupport::Layout::Now};
};

TEST_F(FindFilesTest, ListsEveryEntrySortedWithItsAttributes)
{
    const auto found = Search("C:\\data\\*.*");
    const std::vector<std::pair<std::string, DWORD>> expected = {
        {".", FILE_ATTRIBUTE_DIRECTORY},
        {"..", FILE_ATTRIBUTE_DIRECTORY},
        {"A.TXT", FILE_ATTRIBUTE_ARCHIVE},
        {"b.txt", FILE_ATTRIBUTE_ARCHIVE},
        {"c.text", FILE_ATTRIBUTE_ARCHIVE},
        {"locked.dat", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
        {"noext", FILE_ATTRIBUTE_ARCHIVE},
        {"sub", FILE_ATTRIBUTE_DIRECTORY},
    };
    EXPECT_EQ(found, expected);

    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA("C:\\Data\\locked.dat", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    EXPECT_NE(data.ftLastWriteTime.dwHighDateTime, 0u);
    EXPECT_STREQ(data.cAlternateFileName, "");
    EXPECT_FALSE(FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindClose(search));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FindFilesTest, PatternsMatchAsOnWindows)
{
    struct Case {
        const char *pattern;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"C:\\Data\\*.txt", {"A.TXT", "b.txt"}},
        {"C:\\Data\\?.TXT", {"A.TXT", "b.txt"}},
        {"C:\\Data\\*.t*", {"A.TXT", "b.txt", "c.text"}},
        {"C:\\Data\\n*.*", {"noext"}},
        {"C:\\Data\\n*.", {"noext"}},
        {"C:\\Data\\SUB", {"sub"}},
        {"C:\\Data\\sub\\*", {".", ".."}},
        {"C:/Data/b*", {"b.txt"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Names(Search(c.pattern)), c.names) << c.pattern;

    // A drive's root has no "." and "..".
    const std::vector<std::string> root = Names(Search("C:\\*"));
    ASSERT_FALSE(root.empty());
    EXPECT_NE(root[0], ".");

    struct Failure {
        const char *pattern;
        DWORD error;
    };
    const Failure failures[] = {
        {"C:\\Data\\*.none", ERROR_FILE_NOT_FOUND},
        {"C:\\Missing\\*.*", ERROR_PATH_NOT_FOUND},
        {"C:\\Data\\b.txt\\*", ERROR_PATH_NOT_FOUND},
        {"C:\\Data\\", ERROR_FILE_NOT_FOUND},
    };
    for (const Failure &f : failures) {
        DWORD error = 0;
        EXPECT_TRUE(Search(f.pattern, &error).empty()) << f.pattern;
        EXPECT_EQ(error, f.error) << f.pattern;
    }
}

TEST_F(FindFilesTest, ATreeRemovalLeavesAReadOnlyFileAndTheFoldersAboveIt)
{
    ASSERT_TRUE(CreateDirectoryA("C:\\Data\\sub\\deeper", nullptr));
    ASSERT_TRUE(WriteText(machine::UnixPath("C:\\Data\\sub\\deeper\\x.bin"), "x"));
    DeleteTree("C:\\Data");
    EXPECT_EQ(Names(Search("C:\\Data\\*.*")), std::vector<std::string>({".", "..", "locked.dat"}));

    // Once writable again, it goes with the rest.
    ASSERT_TRUE(SetFileAttributesA("C:\\Data\\locked.dat", FILE_ATTRIBUTE_NORMAL));
    DeleteTree("C:\\Data");
    EXPECT_EQ(GetFileAttributesA("C:\\Data"), INVALID_FILE_ATTRIBUTES);

    // A single file, and a path that is not there.
    ASSERT_TRUE(WriteText(machine::UnixPath("C:\\single.txt"), "s"));
    DeleteTree("C:\\single.txt");
    EXPECT_EQ(GetFileAttributesA("C:\\single.txt"), INVALID_FILE_ATTRIBUTES);
    DeleteTree("C:\\nothing");
    EXPECT_NE(GetFileAttributesA("C:\\Windows"), INVALID_FILE_ATTRIBUTES);
}

} // namespace
