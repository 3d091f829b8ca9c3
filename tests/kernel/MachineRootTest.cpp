// The machine root: where it lies (the variable, else a per-user folder) and
// the layout it gets on first use.
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <set>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "FileContents.h"
#include "ScopedEnvironment.h"
#include "TempMachineRoot.h"
#include "machine/MachineRoot.h"

namespace {

bool IsFolder(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

class MachineRootTest : public ::testing::Test {
protected:
    testsupport::TempFolder scratch_{"arv-root-place"};
    testsupport::ScopedEnvironment environment_;
};

TEST_F(MachineRootTest, IsLaidOutOnFirstUse)
{
    ASSERT_TRUE(scratch_.Made());
    const std::string root = scratch_.File("new/machine");
    environment_.Set(machine::kRootVariable, root + "/");
    EXPECT_EQ(machine::RootPath(), root);

    const char *const folders[] = {
        "drives/c/Windows/System32",
        "drives/c/Program Files",
        "drives/c/Documents and Settings/User/Desktop",
        "drives/c/Documents and Settings/User/My Documents",
        "drives/c/Documents and Settings/User/Local Settings/Temp",
        "ports",
        "settings",
    };
    for (const char *folder : folders)
        EXPECT_TRUE(IsFolder(root + "/" + folder)) << folder;

    char target[PATH_MAX] = {0};
    EXPECT_EQ(readlink((root + "/drives/z").c_str(), target, sizeof target - 1), 1);
    EXPECT_STREQ(target, "/");

    for (const char *hive : {machine::kMachineHive, machine::kUserHive}) {
        struct stat info;
        ASSERT_EQ(stat(machine::HiveFile(hive).c_str(), &info), 0) << hive;
        EXPECT_TRUE(S_ISREG(info.st_mode)) << hive;
        EXPECT_EQ(machine::HiveFile(hive), root + "/registry/" + hive + ".hive");
    }
    // The machine hive starts with the file classes of the shell, the
    // user's hive empty.
    const std::string machineHive = testsupport::ReadText(machine::HiveFile(machine::kMachineHive));
    EXPECT_NE(machineHive.find("[SOFTWARE\\Classes\\.tif]\n\"\"=sz:\"TIFImage.Document\"\n"), std::string::npos)
        << machineHive;
    EXPECT_EQ(testsupport::ReadText(machine::HiveFile(machine::kUserHive)), "");
    std::set<std::string> entries;
    if (DIR *dir = opendir((root + "/registry").c_str())) {
        while (const dirent *entry = readdir(dir))
            entries.insert(entry->d_name);
        closedir(dir);
    }
    EXPECT_EQ(entries, std::set<std::string>({".", "..", std::string(machine::kMachineHive) + ".hive",
                                              std::string(machine::kUserHive) + ".hive"}))
        << "nothing else left behind";
}

TEST_F(MachineRootTest, LayingOutAgainKeepsWhatIsThere)
{
    ASSERT_TRUE(scratch_.Made());
    environment_.Set(machine::kRootVariable, scratch_.File("kept"));
    const std::string hive = machine::HiveFile(machine::kMachineHive);
    ASSERT_TRUE(testsupport::WriteText(hive, "[SOFTWARE]\n"));
    // Where the hives exist nothing is written in their folder, not even a
    // file aside.
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, machine::RegistryFolder().c_str(), IN_CREATE | IN_MODIFY | IN_MOVED_TO), 0);
    // Each thread lays the root out on its own first use.
    std::thread([] { machine::RootPath(); }).join();
    EXPECT_EQ(testsupport::ReadText(hive), "[SOFTWARE]\n");
    char events[4096];
    EXPECT_LT(read(watch, events, sizeof events), 0) << "an event in the registry folder";
    close(watch);
}

TEST_F(MachineRootTest, ARelativeNameIsTakenFromTheCurrentFolder)
{
    ASSERT_TRUE(scratch_.Made());
    char saved[PATH_MAX];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(chdir(scratch_.Path().c_str()), 0);
    environment_.Set(machine::kRootVariable, "relative");
    const std::string root = machine::RootPath();
    ASSERT_EQ(chdir(saved), 0);
    char real[PATH_MAX];
    ASSERT_NE(realpath(scratch_.Path().c_str(), real), nullptr);
    EXPECT_EQ(root, std::string(real) + "/relative");
    EXPECT_TRUE(IsFolder(root + "/drives/c/Windows"));
}

TEST_F(MachineRootTest, WithoutTheVariableAPerUserFolder)
{
    ASSERT_TRUE(scratch_.Made());
    struct Case {
        const char *home;
        const char *dataHome; // null: not set
        std::string expected;
    };
    const std::string home = scratch_.File("home");
    const std::string data = home + "/data";
    const Case cases[] = {
        {home.c_str(), nullptr, home + "/.local/share/arv-machine"},
        {home.c_str(), "", home + "/.local/share/arv-machine"},
        {home.c_str(), data.c_str(), data + "/arv-machine"},
    };
    environment_.Clear(machine::kRootVariable);
    for (const Case &c : cases) {
        environment_.Set("HOME", c.home);
        if (c.dataHome)
            environment_.Set("XDG_DATA_HOME", c.dataHome);
        else
            environment_.Clear("XDG_DATA_HOME");
        EXPECT_EQ(machine::RootPath(), c.expected);
        EXPECT_TRUE(IsFolder(c.expected + "/drives/c/Windows/System32")) << c.expected;
    }
    // An empty variable counts as unset.
    environment_.Set(machine::kRootVariable, "");
    EXPECT_EQ(machine::RootPath(), cases[2].expected);
}

} // namespace
