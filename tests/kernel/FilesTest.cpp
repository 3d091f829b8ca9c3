#include <memory>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "FileContents.h"
#include "ScopedEnvironment.h"
#include "TempMachineRoot.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "machine/TreeRemoval.h"
#include "windows.h"

namespace {

using testsupport::ReadText;
using testsupport::WriteText;

class FilesTest : public ::testing::Test {
protected:
    // The Unix path of a name on drive C:.
    std::string OnC(const std::string &name) { return machine::DriveFolder('c') + "/" + name; }

    HANDLE Open(const char *name, DWORD access, DWORD share, DWORD disposition)
    {
        return CreateFileA(name, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    testsupport::TempMachineRoot root_{"arv-kernel", testsupport::Layout::Now};
};

struct DispositionCase {
    DWORD disposition;
    bool exists;
    bool opens;
    DWORD lastError;   // after the call
    const char *after; // content afterwards, null when the file is absent
};

TEST_F(FilesTest, CreationDispositionsFollowWindows)
{
    const DispositionCase cases[] = {
        {CREATE_NEW, false, true, ERROR_SUCCESS, ""},
        {CREATE_NEW, true, false, ERROR_FILE_EXISTS, "old"},
        {CREATE_ALWAYS, false, true, ERROR_SUCCESS, ""},
        {CREATE_ALWAYS, true, true, ERROR_ALREADY_EXISTS, ""},
        {OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
        {OPEN_EXISTING, true, true, ERROR_SUCCESS, "old"},
        {OPEN_ALWAYS, false, true, ERROR_SUCCESS, ""},
        {OPEN_ALWAYS, true, true, ERROR_ALREADY_EXISTS, "old"},
        {TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
        {TRUNCATE_EXISTING, true, true, ERROR_SUCCESS, ""},
    };
    for (const DispositionCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "disposition " << c.disposition << " exists " << c.exists);
        unlink(OnC("case.txt").c_str());
        if (c.exists)
            WriteText(OnC("case.txt"), "old");
        // An existing file matches in any case; a new one takes the name as given.
        HANDLE file = Open(c.exists ? "C:\\CASE.TXT" : "C:\\case.txt", GENERIC_READ | GENERIC_WRITE, 0,
                           c.disposition);
        EXPECT_EQ(file != INVALID_HANDLE_VALUE, c.opens);
        EXPECT_EQ(GetLastError(), c.lastError);
        if (file != INVALID_HANDLE_VALUE) {
            EXPECT_TRUE(CloseHandle(file));
        }
        struct stat info;
        ASSERT_EQ(stat(OnC("case.txt").c_str(), &info) == 0, c.after != nullptr);
        if (c.after) {
            EXPECT_EQ(ReadText(OnC("case.txt")), c.after);
        }
    }
}

TEST_F(FilesTest, WrittenBytesReadBackAndReadsEndWithZero)
{
    HANDLE file = Open("C:\\data.bin", GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    EXPECT_EQ(written, bytes.size());
    // A write-only handle does not read.
    char buffer[512];
    DWORD read = 99;
    EXPECT_FALSE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(read, 0u);
    CloseHandle(file);

    file = Open("C:\\DATA.BIN", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(file, nullptr), 256u);
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), bytes);
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(SetFilePointer(file, 10, nullptr, FILE_BEGIN), 10u);
    EXPECT_TRUE(ReadFile(file, buffer, 2, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), bytes.substr(10, 2));
    EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(FilesTest, FoldersAndBadNamesNeverOpenAsFiles)
{
    struct Case {
        const char *name;
        DWORD disposition;
        DWORD error;
    };
    const Case cases[] = {
        {"C:\\Windows", OPEN_EXISTING, ERROR_ACCESS_DENIED},
        {"C:\\windows\\", OPEN_ALWAYS, ERROR_ACCESS_DENIED},
        {"C:\\Windows", CREATE_NEW, ERROR_FILE_EXISTS},
        {"C:\\No Such Folder\\x.txt", OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {"C:\\No Such Folder\\x.txt", CREATE_NEW, ERROR_PATH_NOT_FOUND},
        {"C:\\a*b.txt", CREATE_NEW, ERROR_INVALID_NAME},
        {"C:\\a?b.txt", CREATE_NEW, ERROR_INVALID_NAME},
        {"C:\\a:b.txt", CREATE_NEW, ERROR_INVALID_NAME},
        {"", OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {"\\\\server\\share\\x", OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {"C:\\x.txt", 0, ERROR_INVALID_PARAMETER},
        {"C:\\x.txt", 6, ERROR_INVALID_PARAMETER},
    };
    for (const Case &c : cases) {
        SetLastError(0);
        EXPECT_EQ(Open(c.name, GENERIC_READ, 0, c.disposition), INVALID_HANDLE_VALUE) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
    EXPECT_EQ(Open(nullptr, GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // Truncating needs write access.
    WriteText(OnC("t.txt"), "keep");
    EXPECT_EQ(Open("C:\\t.txt", GENERIC_READ, 0, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(ReadText(OnC("t.txt")), "keep");
}

struct ShareCase {
    DWORD firstAccess, firstShare, secondAccess, secondShare;
    bool secondOpens;
};

TEST_F(FilesTest, ShareModesDecideASecondOpening)
{
    const DWORD R = GENERIC_READ, W = GENERIC_WRITE;
    const DWORD SR = FILE_SHARE_READ, SW = FILE_SHARE_WRITE;
    const ShareCase cases[] = {
        {R, 0, R, SR | SW, false},
        {R, SR, R, SR, true},
        {R, SR, W, SR | SW, false},
        {R, SR | SW, W, SR, true},
        {W, SR, R, SR, false},  // the second must share the first one's writing
        {W, SR, R, SR | SW, true},
        {R | W, SR | SW, R | W, SR | SW, true},
        {R, 0, 0, 0, true},     // opening for no data access is never refused
    };
    WriteText(OnC("shared.txt"), "s");
    for (const ShareCase &c : cases) {
        SCOPED_TRACE(testing::Message() << c.firstAccess << "/" << c.firstShare << " then "
                                        << c.secondAccess << "/" << c.secondShare);
        HANDLE first = Open("C:\\shared.txt", c.firstAccess, c.firstShare, OPEN_EXISTING);
        ASSERT_NE(first, INVALID_HANDLE_VALUE);
        HANDLE second = Open("C:\\Shared.TXT", c.secondAccess, c.secondShare, OPEN_EXISTING);
        EXPECT_EQ(second != INVALID_HANDLE_VALUE, c.secondOpens);
        if (second != INVALID_HANDLE_VALUE) {
            CloseHandle(second);
        } else {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        }
        CloseHandle(first);
    }
    // Once the holder closes, the file opens again.
    HANDLE only = Open("C:\\shared.txt", R, 0, OPEN_EXISTING);
    ASSERT_NE(only, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open("C:\\shared.txt", R, SR, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    CloseHandle(only);
    HANDLE again = Open("C:\\shared.txt", R, SR, OPEN_EXISTING);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    CloseHandle(again);
}

TEST_F(FilesTest, ClosingAnUnknownHandleFails)
{
    HANDLE file = Open("C:\\c.txt", GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(file));
    HANDLE bad[] = {file, INVALID_HANDLE_VALUE, nullptr, reinterpret_cast<HANDLE>(0x12345)};
    for (HANDLE handle : bad) {
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(handle));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        DWORD count = 7;
        char byte;
        EXPECT_FALSE(ReadFile(handle, &byte, 1, &count, nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_EQ(count, 0u);
    }
}

TEST_F(FilesTest, TheLastErrorBelongsToEachThread)
{
    SetLastError(ERROR_FILE_NOT_FOUND);
    DWORD seen = 1234;
    std::thread other([&] {
        seen = GetLastError();
        SetLastError(ERROR_ACCESS_DENIED);
    });
    other.join();
    EXPECT_EQ(seen, 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, DeleteOnCloseAndTheNullDevice)
{
    HANDLE file = CreateFileA("C:\\gone.tmp", GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(access(OnC("gone.tmp").c_str(), F_OK), 0);
    CloseHandle(file);
    EXPECT_NE(access(OnC("gone.tmp").c_str(), F_OK), 0);

    for (const char *name : {"NUL", "\\\\.\\nul"}) {
        HANDLE null = Open(name, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
        ASSERT_NE(null, INVALID_HANDLE_VALUE) << name;
        HANDLE second = Open(name, GENERIC_WRITE, 0, OPEN_EXISTING);
        EXPECT_NE(second, INVALID_HANDLE_VALUE) << "the null device takes no share modes";
        DWORD count = 0;
        EXPECT_TRUE(WriteFile(null, "abc", 3, &count, nullptr));
        EXPECT_EQ(count, 3u);
        CloseHandle(second);
        CloseHandle(null);
    }
}

TEST_F(FilesTest, FoldersAndAttributes)
{
    EXPECT_TRUE(CreateDirectoryA("C:\\Work", nullptr));
    EXPECT_FALSE(CreateDirectoryA("C:\\WORK", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryA("C:\\Missing\\Work", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    EXPECT_EQ(GetFileAttributesA("c:\\work"), FILE_ATTRIBUTE_DIRECTORY);
    WriteText(OnC("Work/a.txt"), "a");
    EXPECT_EQ(GetFileAttributesA("C:\\Work\\A.TXT") & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(GetFileAttributesA("C:\\Work\\none.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA("C:\\None\\none.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    EXPECT_TRUE(SetFileAttributesA("C:\\Work\\a.txt", FILE_ATTRIBUTE_READONLY));
    EXPECT_NE(GetFileAttributesA("C:\\Work\\a.txt") & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_FALSE(DeleteFileA("C:\\Work\\a.txt")) << "a read-only file is not deleted";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(SetFileAttributesA("C:\\Work\\a.txt", FILE_ATTRIBUTE_NORMAL));

    EXPECT_FALSE(RemoveDirectoryA("C:\\Work"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
    EXPECT_FALSE(RemoveDirectoryA("C:\\Work\\a.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
    EXPECT_FALSE(DeleteFileA("C:\\Work"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    // A file open without FILE_SHARE_DELETE stays.
    HANDLE held = CreateFileA("C:\\Work\\a.txt", GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(DeleteFileA("C:\\Work\\a.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(held);

    EXPECT_TRUE(DeleteFileA("C:\\work\\A.txt"));
    EXPECT_FALSE(DeleteFileA("C:\\work\\A.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(RemoveDirectoryA("C:\\WORK"));
}

TEST_F(FilesTest, AReadOnlyFileIsNeitherWrittenNorReplacedNorDeleted)
{
    WriteText(OnC("locked.txt"), "locked");
    WriteText(OnC("other.txt"), "other");
    ASSERT_TRUE(SetFileAttributesA("C:\\locked.txt", FILE_ATTRIBUTE_READONLY));
    struct Case {
        DWORD access;
        DWORD disposition;
    };
    const Case refused[] = {
        {GENERIC_WRITE, OPEN_EXISTING},
        {GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS},
        {GENERIC_READ, CREATE_ALWAYS},
        {GENERIC_WRITE, TRUNCATE_EXISTING},
    };
    for (const Case &c : refused) {
        EXPECT_EQ(Open("C:\\locked.txt", c.access, FILE_SHARE_READ, c.disposition), INVALID_HANDLE_VALUE)
            << c.access << " " << c.disposition;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    EXPECT_FALSE(CopyFileA("C:\\other.txt", "C:\\locked.txt", FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(DeleteFileA("C:\\locked.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadText(OnC("locked.txt")), "locked");

    // Reading and renaming it are allowed, as on Windows.
    HANDLE file = Open("C:\\locked.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(MoveFileA("C:\\locked.txt", "C:\\renamed.txt"));
    EXPECT_NE(GetFileAttributesA("C:\\renamed.txt") & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(FilesTest, AFileIsTheSameFileByEveryNameThatReachesIt)
{
    WriteText(OnC("Windows/one.txt"), "first");
    WriteText(OnC("Windows/two.txt"), "first");
    ASSERT_EQ(symlink(OnC("Windows/one.txt").c_str(), OnC("link.txt").c_str()), 0);
    std::string throughZ = "Z:" + OnC("Windows/one.txt");
    for (char &c : throughZ)
        c = c == '/' ? '\\' : c;

    auto identity = [this](const std::string &name, BY_HANDLE_FILE_INFORMATION *info) {
        HANDLE file = Open(name.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        const BOOL got = GetFileInformationByHandle(file, info);
        CloseHandle(file);
        return got != FALSE;
    };
    auto same = [](const BY_HANDLE_FILE_INFORMATION &a, const BY_HANDLE_FILE_INFORMATION &b) {
        return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
               a.nFileIndexLow == b.nFileIndexLow;
    };
    BY_HANDLE_FILE_INFORMATION first;
    ASSERT_TRUE(identity("C:\\Windows\\one.txt", &first));
    EXPECT_EQ(first.nFileSizeLow, 5u);
    EXPECT_EQ(first.nFileSizeHigh, 0u);
    EXPECT_EQ(first.nNumberOfLinks, 1u);
    EXPECT_EQ(first.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    for (const std::string &alias : {std::string("c:/WINDOWS/./One.TXT"), std::string("C:\\link.txt"), throughZ,
                                     std::string("\\\\?\\C:\\Windows\\one.txt")}) {
        BY_HANDLE_FILE_INFORMATION other;
        ASSERT_TRUE(identity(alias, &other)) << alias;
        EXPECT_TRUE(same(first, other)) << alias;
    }
    BY_HANDLE_FILE_INFORMATION second;
    ASSERT_TRUE(identity("C:\\Windows\\two.txt", &second));
    EXPECT_FALSE(same(first, second)) << "same bytes, another file";

    EXPECT_FALSE(GetFileInformationByHandle(INVALID_HANDLE_VALUE, &second));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FilesTest, ARunningProgramOfThisMachineCannotBeDeletedByAnyName)
{
    ASSERT_TRUE(CreateDirectoryA("C:\\Prog", nullptr));
    testsupport::RunningProgram running(OnC("Prog/setup.exe"));
    ASSERT_GT(running.Pid(), 0);
    ASSERT_EQ(link(OnC("Prog/setup.exe").c_str(), OnC("hard.exe").c_str()), 0);
    ASSERT_EQ(symlink(OnC("Prog/setup.exe").c_str(), OnC("soft.exe").c_str()), 0);
    std::string throughZ = "Z:" + OnC("Prog/setup.exe");
    for (char &c : throughZ)
        c = c == '/' ? '\\' : c;
    for (const std::string &name : {std::string("C:\\Prog\\setup.exe"), std::string("c:/PROG/Setup.EXE"), throughZ,
                                    std::string("C:\\Prog\\..\\Prog\\.\\setup.exe"), std::string("C:\\hard.exe")}) {
        EXPECT_FALSE(DeleteFileA(name.c_str())) << name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << name;
    }
    EXPECT_EQ(access(OnC("Prog/setup.exe").c_str(), F_OK), 0);
    EXPECT_FALSE(RemoveDirectoryA("C:\\Prog"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));

    // A link to it goes as a link; a copy of the same bytes is another file.
    EXPECT_TRUE(DeleteFileA("C:\\soft.exe"));
    ASSERT_TRUE(CopyFileA("C:\\Prog\\setup.exe", "C:\\copy.exe", FALSE));
    EXPECT_TRUE(DeleteFileA("C:\\copy.exe"));

    // Once the program has ended, its file goes.
    running.End();
    EXPECT_TRUE(DeleteFileA("C:\\hard.exe"));
    EXPECT_TRUE(DeleteFileA("C:\\Prog\\setup.exe"));
    EXPECT_TRUE(RemoveDirectoryA("C:\\Prog"));
}

TEST_F(FilesTest, AProgramRunningOnAnotherMachineRootDoesNotHoldItsFileHere)
{
    // The file lies in this root, the process runs on another machine.
    const std::string path = OnC("shared.exe");
    std::unique_ptr<testsupport::RunningProgram> elsewhere;
    testsupport::TempFolder otherRoot("arv-other");
    {
        testsupport::ScopedEnvironment environment;
        environment.Set("ARV_MACHINE_ROOT", otherRoot.Path());
        elsewhere.reset(new testsupport::RunningProgram(path));
    }
    ASSERT_GT(elsewhere->Pid(), 0);
    EXPECT_TRUE(DeleteFileA("C:\\shared.exe"));
}

TEST_F(FilesTest, MoveAndCopy)
{
    WriteText(OnC("one.txt"), "first");
    WriteText(OnC("two.txt"), "second");

    EXPECT_FALSE(MoveFileA("C:\\one.txt", "C:\\TWO.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(MoveFileA("C:\\none.txt", "C:\\three.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(MoveFileA("C:\\ONE.txt", "C:\\Windows\\moved.txt"));
    EXPECT_EQ(ReadText(OnC("Windows/moved.txt")), "first");
    // Changing only the case renames.
    EXPECT_TRUE(MoveFileA("C:\\Windows\\moved.txt", "C:\\Windows\\Moved.TXT"));
    EXPECT_EQ(ReadText(OnC("Windows/Moved.TXT")), "first");
    EXPECT_NE(access(OnC("Windows/moved.txt").c_str(), F_OK), 0);

    EXPECT_FALSE(CopyFileA("C:\\two.txt", "C:\\Windows\\Moved.txt", TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_TRUE(CopyFileA("C:\\two.txt", "C:\\Windows\\moved.txt", FALSE));
    EXPECT_EQ(ReadText(OnC("Windows/Moved.TXT")), "second");
    EXPECT_EQ(ReadText(OnC("two.txt")), "second");
    EXPECT_FALSE(CopyFileA("C:\\two.txt", "C:\\TWO.TXT", FALSE)) << "copying onto itself";
    EXPECT_EQ(ReadText(OnC("two.txt")), "second");
    EXPECT_FALSE(CopyFileA("C:\\Windows", "C:\\w2", FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(FilesTest, CurrentFolderInWindowsTerms)
{
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    EXPECT_TRUE(SetCurrentDirectoryA("c:\\windows"));
    char buffer[MAX_PATH];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), 10u);
    EXPECT_STREQ(buffer, "C:\\Windows");
    EXPECT_EQ(GetCurrentDirectoryA(10, buffer), 11u) << "too small: the size needed";
    // Relative names now start there.
    WriteText(OnC("Windows/rel.txt"), "r");
    EXPECT_NE(GetFileAttributesA("REL.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(SetCurrentDirectoryA("C:\\Nowhere"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ASSERT_EQ(chdir(saved), 0);
}

struct FileInCase {
    const char *folder;
    const char *name;
    bool deleted;
    const char *gone; // the entry on C: that goes, or null
};

// A single file deleted in its opened folder: as DeleteFileA would, a link
// as a link, a folder named through a link as the folder it is now, and
// nothing outside the folder by the name.
TEST_F(FilesTest, AFileInAFolderGoesWithoutFollowingLinks)
{
    ASSERT_EQ(mkdir(OnC("Dir").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(OnC("Dir/Inner").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(OnC("Victim").c_str(), 0755), 0);
    for (const char *file : {"Dir/Plain.txt", "Dir/read-only.txt", "Victim/target.txt", "Victim/plain.txt"})
        ASSERT_TRUE(WriteText(OnC(file), "x"));
    ASSERT_EQ(chmod(OnC("Dir/read-only.txt").c_str(), 0444), 0);
    ASSERT_EQ(symlink(OnC("Victim/target.txt").c_str(), OnC("Dir/link.txt").c_str()), 0);
    ASSERT_EQ(symlink(OnC("Victim").c_str(), OnC("Linked").c_str()), 0);

    const FileInCase cases[] = {
        {"C:\\Dir", "PLAIN.TXT", true, "Dir/Plain.txt"},
        {"C:\\Dir", "link.txt", true, "Dir/link.txt"},
        {"C:\\Dir", "read-only.txt", false, nullptr},
        {"C:\\Dir", "Inner", false, nullptr},
        {"C:\\Dir", "missing.txt", false, nullptr},
        {"C:\\Dir", "..\\Victim\\plain.txt", false, nullptr},
        {"C:\\Dir", "Inner/../Plain.txt", false, nullptr},
        {"C:\\Linked", "plain.txt", true, "Victim/plain.txt"},
        {"C:\\Missing", "plain.txt", false, nullptr},
    };
    for (const FileInCase &c : cases) {
        SCOPED_TRACE(testing::Message() << c.folder << " " << c.name);
        EXPECT_EQ(machine::DeleteFileIn(c.folder, c.name), c.deleted);
        if (c.gone) {
            EXPECT_NE(access(OnC(c.gone).c_str(), F_OK), 0);
        }
    }
    EXPECT_EQ(access(OnC("Dir/read-only.txt").c_str(), F_OK), 0);
    EXPECT_EQ(access(OnC("Dir/Inner").c_str(), F_OK), 0);
    EXPECT_EQ(access(OnC("Victim/target.txt").c_str(), F_OK), 0);
}

} // namespace
