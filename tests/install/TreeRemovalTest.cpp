// The uninstaller's tree removal: a file, a folder with all below it, a
// missing path, a read-only file and a running program that stay with the
// folders above them, a FIFO, the folders it refuses to touch whatever an
// install location names, a folder swapped for a link while the removal
// runs, and mounts in the tree.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "ChildProcess.h"
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

TEST_F(TreeRemovalTest, ARunningProgramAndItsFoldersStayAFifoGoes)
{
    Put("C:\\Tree\\Run\\other.txt");
    Put("C:\\Tree\\g.txt");
    testsupport::RunningProgram running(UnixOf("C:\\Tree\\Run") + "/sleeper.exe");
    ASSERT_GT(running.Pid(), 0);
    ASSERT_EQ(mkfifo((UnixOf("C:\\Tree") + "/pipe").c_str(), 0644), 0);
    Form2->DeleteTree("C:\\Tree");
    EXPECT_TRUE(Exists("C:\\Tree\\Run\\sleeper.exe"));
    EXPECT_FALSE(Exists("C:\\Tree\\Run\\other.txt"));
    EXPECT_FALSE(Exists("C:\\Tree\\g.txt"));
    EXPECT_FALSE(Exists("C:\\Tree\\pipe"));

    running.End();
    Form2->DeleteTree("C:\\Tree");
    EXPECT_FALSE(Exists("C:\\Tree"));
}

// The number of entries in a host folder.
int EntryCount(const std::string &folder)
{
    int count = 0;
    if (DIR *dir = opendir(folder.c_str())) {
        while (dirent *entry = readdir(dir))
            count += entry->d_name[0] != '.';
        closedir(dir);
    }
    return count;
}

// A process that swaps a folder of the tree for a link to another folder
// while the removal runs reaches nothing of that folder. Program files are
// the widest gap, as each is looked for among the running programs first.
TEST_F(TreeRemovalTest, AFolderSwappedForALinkDuringTheRemovalLeavesTheTargetWhole)
{
    const std::string victim = FRoot.Scratch("victim");
    // The victim's files have the names of the tree's, as a removal by path
    // through the link would reach them.
    constexpr int kFiles = 400;
    for (int i = 0; i < kFiles; ++i)
        ASSERT_TRUE(testsupport::WriteText(victim + "/f" + std::to_string(i) + ".exe", "v"));
    const std::string sub = UnixOf("C:\\Tree") + "/Norvik/sub";
    for (int round = 0; round < 8; ++round) {
        for (int i = 0; i < kFiles; ++i) {
            const std::string file = "C:\\Tree\\Norvik\\sub\\f" + std::to_string(i) + ".exe";
            Put(file);
            ASSERT_EQ(chmod(UnixOf(file).c_str(), 0755), 0);
        }
        std::atomic<bool> stop{false};
        std::thread flipper([&] {
            const std::string aside = sub + ".aside";
            while (!stop.load()) {
                if (rename(sub.c_str(), aside.c_str()) != 0)
                    continue;
                symlink(victim.c_str(), sub.c_str());
                std::this_thread::yield();
                unlink(sub.c_str());
                rename(aside.c_str(), sub.c_str());
            }
        });
        Form2->DeleteTree("C:\\Tree");
        stop = true;
        flipper.join();
        ASSERT_EQ(EntryCount(victim), kFiles) << "round " << round;
        testsupport::RemoveTree(UnixOf("C:\\Tree"));
    }
}

// Mounts in the tree stay whole: a file system mounted on the tree's root
// and a folder bind-mounted inside it. Mounting needs root and a mount
// namespace of the child's own.
TEST_F(TreeRemovalTest, MountsInTheTreeStayWhole)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting needs root";
    const std::string victim = FRoot.Scratch("bound-victim");
    ASSERT_TRUE(testsupport::WriteText(victim + "/kept.txt", "v"));
    Put("C:\\Tree\\selvio\\placeholder.txt");
    Put("C:\\Tree\\res\\bound\\placeholder.txt");
    Put("C:\\Tree\\res\\r.txt");
    const std::string selvio = UnixOf("C:\\Tree\\selvio");
    const std::string bound = UnixOf("C:\\Tree\\res\\bound");
    enum { kKept = 0, kNoNamespace = 77, kLost = 1 };
    const int code = testsupport::RunInChild([&] {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("arv-tmpfs", selvio.c_str(), "tmpfs", 0, nullptr) != 0 ||
            mount(victim.c_str(), bound.c_str(), nullptr, MS_BIND, nullptr) != 0)
            return static_cast<int>(kNoNamespace);
        if (!testsupport::WriteText(selvio + "/on-tmpfs.txt", "t"))
            return static_cast<int>(kNoNamespace);
        Form2->DeleteTree("C:\\Tree\\selvio");
        Form2->DeleteTree("C:\\Tree");
        const bool kept = access((selvio + "/on-tmpfs.txt").c_str(), F_OK) == 0 &&
                          access((bound + "/kept.txt").c_str(), F_OK) == 0 &&
                          access(UnixOf("C:\\Tree\\res\\r.txt").c_str(), F_OK) != 0;
        return static_cast<int>(kept ? kKept : kLost);
    });
    if (code == kNoNamespace)
        GTEST_SKIP() << "no mount namespace of its own for the child";
    EXPECT_EQ(code, kKept);
    EXPECT_TRUE(Exists("C:\\Tree\\selvio\\placeholder.txt"));
    EXPECT_EQ(EntryCount(victim), 1);
}

} // namespace
} // namespace install_test
