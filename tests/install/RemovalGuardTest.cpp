// What the uninstaller may delete: edited install locations that name the
// machine's own folders, the profile, a host folder reached through Z:, or
// one of them through an alias (another drive on the same folder, Z:,
// "\\?\", "\\.\", case, slashes, "..", trailing dots and blanks), folders
// of another product and folders without the setup program. None of them
// loses anything; the install folder itself still goes under any name of
// it. Links in the install folder go as links.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "FileContents.h"
#include "InstallFixture.h"
#include "Main2.h"
#include "Removal_guard.h"
#include "ScopedEnvironment.h"
#include "TempMachineRoot.h"
#include "machine/Drives.h"
#include "machine/Paths.h"
#include "machine/Restart.h"
#include "machine/Testing.h"

namespace install_test {
namespace {

const std::string kDir = kInstallDir;

// The Windows name of a host path through Z:.
std::string ThroughZ(const std::string &hostPath)
{
    std::string path = "Z:" + hostPath;
    for (char &c : path)
        c = c == '/' ? '\\' : c;
    return path;
}

// Every entry below a host folder, links not followed: its path, kind and
// size, so a lost, emptied or changed entry shows.
void Walk(const std::string &folder, const std::string &skip, std::set<std::string> *entries)
{
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (dirent *entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
            continue;
        const std::string path = folder + "/" + entry->d_name;
        struct stat info;
        if (path == skip || lstat(path.c_str(), &info) != 0)
            continue;
        const char kind = S_ISLNK(info.st_mode) ? 'l' : S_ISDIR(info.st_mode) ? 'd' : 'f';
        entries->insert(path + " " + kind + std::to_string(S_ISREG(info.st_mode) ? info.st_size : 0));
        if (kind == 'd')
            Walk(path, skip, entries);
    }
    closedir(dir);
}

void LayHost(const std::string &path, const std::string &text)
{
    const std::string folder = path.substr(0, path.rfind('/'));
    struct stat info;
    ASSERT_TRUE(stat(folder.c_str(), &info) == 0 || CreateDirTree(machine::WindowsPath(folder).c_str()));
    ASSERT_TRUE(testsupport::WriteText(path, text));
}

void Lay(const std::string &windowsPath, const std::string &text) { LayHost(UnixOf(windowsPath), text); }

// The setup program, the "res" folder, and the "drivers" folder with its
// "mfp.inf".
void LayMarks(const std::string &folder, const std::string &inf)
{
    Lay(folder + "\\setup.exe", "setup");
    Lay(folder + "\\res\\XXMKLINK.EXE", "link tool");
    Lay(folder + "\\drivers\\mfp.inf", inf);
}

class RemovalGuardTest : public InstallTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FHost.Made());
        MakeMedia();
        StartWizard();
        FMfpInf = testsupport::ReadText(MediaFolder() + "/drivers/mfp.inf");
        ASSERT_NE(FMfpInf.find(kPrinter), std::string::npos);
        LayInstallFolder();

        // Victims, several marked as an install folder would be, so that
        // only the folder rules keep them.
        for (const std::string &folder : {std::string("C:\\Windows"), std::string("C:\\Windows\\inf"),
                                          std::string("C:\\Documents and Settings\\User\\Local Settings\\Temp"),
                                          std::string("C:\\Documents and Settings\\User")})
            LayMarks(folder, FMfpInf);
        for (const char *file :
             {"C:\\orvel_printer.exe", "C:\\selvio\\victim.txt", "C:\\Windows\\orvel_printer.exe",
              "C:\\Windows\\orvel_scanner.exe", "C:\\Windows\\selvio\\victim.txt", "C:\\Windows\\win.ini",
              "C:\\Windows\\inf\\oem0.inf", "C:\\Windows\\System32\\victim.dll",
              "C:\\Documents and Settings\\User\\My Documents\\letter.txt",
              "C:\\Documents and Settings\\User\\Local Settings\\Temp\\selvio\\victim.txt",
              "C:\\Program Files\\Veltrona\\victim.txt", "C:\\Program Files\\Other Product\\orvel_printer.exe",
              "C:\\Program Files\\No Setup\\orvel_printer.exe", "C:\\Program Files\\No Setup\\selvio\\victim.txt"})
            Lay(file, "victim");
        LayMarks("C:\\Program Files\\Other Product", "[Strings]\r\nModel=\"ARV-B100 Copier\"\r\n");
        Lay("C:\\Program Files\\No Setup\\drivers\\mfp.inf", FMfpInf);
        // A copy of the install media with a person's files beside it.
        for (const char *file : {"setup.exe", "bin\\mfp\\orvel_printer.exe", "bin\\mfp\\res\\XXMKLINK.EXE",
                                 "bin\\mfp\\selvio\\selvio.txt", "letter.txt"})
            Lay(std::string("C:\\Program Files\\Media Copy\\") + file, "victim");
        Lay("C:\\Program Files\\Media Copy\\drivers\\mfp.inf", FMfpInf);
        for (const char *file : {"/victim.txt", "/Data/victim.txt", "/Data/selvio/victim.txt", "/drivers/mfp.inf"})
            LayHost(FHost.Path() + file, "victim");
        // A second drive on the Windows folder, another on the host folder.
        ASSERT_TRUE(machine::MountDrive('W', UnixOf("C:\\Windows"), DRIVE_FIXED));
        ASSERT_TRUE(machine::MountDrive('V', FHost.Path(), DRIVE_FIXED));
        // The host's name of the install folder, which may go.
        char real[PATH_MAX];
        ASSERT_NE(realpath(UnixOf(kDir).c_str(), real), nullptr);
        FInstallPlace = real;
        FBefore = Everything();
        FInstallBefore = InstallFolderEntries();
        ASSERT_GT(FInstallBefore.size(), 5u);
    }

    // The install folder as install step 1 leaves it.
    void LayInstallFolder()
    {
        LayMarks(kDir, FMfpInf);
        for (const char *file : {"orvel_printer.exe", "orvel_scanner.exe", "res\\tiffcp.exe", "selvio\\selvio.txt",
                                 "drivers\\ftdibus.inf"})
            Lay(kDir + "\\" + file, std::string("installed ") + file);
    }

    // Everything in the machine root and the host folder but the install
    // folder and what the runs themselves write (registry, logs).
    std::set<std::string> Everything() const
    {
        std::set<std::string> entries;
        for (const char *folder : {"/drives", "/settings", "/media"})
            Walk(FRoot.Path() + folder, UnixOf(kDir), &entries);
        Walk(FHost.Path(), "", &entries);
        return entries;
    }
    std::set<std::string> InstallFolderEntries() const
    {
        std::set<std::string> entries;
        Walk(FInstallPlace, "", &entries);
        return entries;
    }

    static void SetInstallLocation(const std::string &location)
    {
        HKEY entry = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, kUninstallEntryKey, &entry), ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(entry, "InstallLocation", 0, REG_SZ,
                                 reinterpret_cast<const BYTE *>(location.c_str()),
                                 static_cast<DWORD>(location.size() + 1)),
                  ERROR_SUCCESS);
        RegCloseKey(entry);
    }

    testsupport::TempFolder FHost{"arv-host"};
    std::string FMfpInf;
    std::string FInstallPlace;
    std::set<std::string> FBefore;
    std::set<std::string> FInstallBefore;
};

struct LocationCase {
    const char *name;
    std::string location;
    std::string module; // the running uninstaller; "" for the media's
    bool removed;       // the install folder goes
};

TEST_F(RemovalGuardTest, EditedInstallLocationsDeleteNothingButTheInstallFolder)
{
    const std::string root = ThroughZ(FRoot.Path());
    const std::string host = ThroughZ(FHost.Path());
    const std::vector<LocationCase> cases = {
        {"the install folder", kDir, "", true},
        {"mixed case and slashes", "c:/PROGRAM FILES/veltrona\\NORVIK", "", true},
        {"\\\\?\\ before it", "\\\\?\\" + kDir, "", true},
        {"\"..\" in it", "C:\\Program Files\\Veltrona\\Other\\..\\Norvik\\.", "", true},
        {"Z: to it", root + "\\drives\\c\\Program Files\\Veltrona\\Norvik", "", true},
        {"Windows", "C:\\Windows", "", false},
        {"\\\\?\\ Windows", "\\\\?\\C:\\Windows", "", false},
        {"\\\\.\\ Windows", "\\\\.\\C:\\Windows", "", false},
        {"\\\\?\\ Windows, slashes", "\\\\?\\c:/windows/", "", false},
        {"Windows with a trailing dot", "C:\\Windows.", "", false},
        {"Windows with a trailing blank", "C:\\Windows ", "", false},
        {"Windows with trailing dots and blanks", "C:\\Windows. .", "", false},
        {"Windows, mixed case", "c:/WINDOWS", "", false},
        {"Windows through \"..\"", "C:\\Program Files\\..\\Windows\\.", "", false},
        {"Windows through Z:", root + "\\drives\\c\\Windows", "", false},
        {"the INF store through Z:", root + "\\DRIVES\\C\\windows\\INF", "", false},
        {"the INF store", "C:\\Windows\\inf", "", false},
        {"the system folder", "C:\\Windows\\System32", "", false},
        {"another drive on Windows", "W:\\", "", false},
        {"the INF store on another drive", "w:/inf", "", false},
        {"the drive root", "C:\\", "", false},
        {"the drive root, slash", "c:/", "", false},
        {"the drive root through \"..\"", "C:\\Windows\\..", "", false},
        {"the media's root", "D:\\", "", false},
        {"the profile", "C:\\Documents and Settings\\User", "", false},
        {"the profile's Temp", "C:\\Documents and Settings\\User\\Local Settings\\Temp", "", false},
        {"the documents", "C:\\Documents and Settings\\User\\My Documents", "", false},
        {"Program Files", "C:\\Program Files", "", false},
        {"the folder above the install folder", "C:\\Program Files\\Veltrona", "", false},
        {"another product", "C:\\Program Files\\Other Product", "", false},
        {"no setup program", "C:\\Program Files\\No Setup", "", false},
        {"a copy of the media with a person's files", "C:\\Program Files\\Media Copy", "", false},
        {"the machine's registry", root + "\\registry", "", false},
        {"the machine root", root, "", false},
        {"a host folder", host, "", false},
        {"a host folder's sub folder", host + "\\Data", "", false},
        {"a drive on the host folder", "V:\\", "", false},
        {"a host folder on another drive", "V:\\Data", "", false},
        {"Windows, run from there", "C:\\Windows", "C:\\Windows\\setup.exe", false},
        {"the drive root, run from there", "C:", "C:\\setup.exe", false},
        {"the profile, run from there", "C:\\Documents and Settings\\User",
         "C:\\Documents and Settings\\User\\setup.exe", false},
        {"a relative path", "Program Files\\Veltrona\\Norvik", "", false},
        {"a network path", "\\\\server\\share\\Norvik", "", false},
    };
    for (const LocationCase &test : cases) {
        SCOPED_TRACE(std::string(test.name) + ": " + test.location);
        SetInstallLocation(test.location);
        machine::testing::SetModuleFileName(test.module.empty() ? std::string(kMediaSetup) : test.module);
        EXPECT_EQ(Form2->UninstallStep(4), 0);
        EXPECT_TRUE(machine::Restart().empty());
        EXPECT_EQ(Everything(), FBefore);
        if (test.removed) {
            EXPECT_FALSE(Exists(kDir));
            LayInstallFolder();
        }
        EXPECT_EQ(InstallFolderEntries(), FInstallBefore);
    }
}

TEST_F(RemovalGuardTest, LinksInTheInstallFolderGoAsLinks)
{
    // Links to a host folder, to the Windows folder, to a file, and one in
    // the place of "selvio", all pointing at what must stay.
    const std::string dir = UnixOf(kDir);
    ASSERT_EQ(symlink((FHost.Path() + "/Data").c_str(), (dir + "/data-link").c_str()), 0);
    ASSERT_EQ(symlink(UnixOf("C:\\Windows").c_str(), (dir + "/res/windows-link").c_str()), 0);
    ASSERT_EQ(symlink((FHost.Path() + "/victim.txt").c_str(), (dir + "/file-link").c_str()), 0);
    testsupport::RemoveTree(dir + "/selvio");
    ASSERT_EQ(symlink(UnixOf("C:\\Windows\\selvio").c_str(), (dir + "/selvio").c_str()), 0);
    SetInstallLocation(kDir);
    EXPECT_EQ(Form2->UninstallStep(4), 0);
    EXPECT_FALSE(Exists(kDir));
    EXPECT_EQ(Everything(), FBefore);

    // Run from the install folder: the programs and "selvio" go, the
    // linked folders stay whole.
    LayInstallFolder();
    testsupport::RemoveTree(dir + "/selvio");
    ASSERT_EQ(symlink((FHost.Path() + "/Data/selvio").c_str(), (dir + "/selvio").c_str()), 0);
    SetInstallLocation(kDir);
    machine::testing::SetModuleFileName(kDir + "\\setup.exe");
    EXPECT_EQ(Form2->UninstallStep(4), 0);
    EXPECT_FALSE(Exists(kDir + "\\selvio"));
    EXPECT_FALSE(Exists(kDir + "\\orvel_printer.exe"));
    EXPECT_TRUE(Exists(kDir + "\\setup.exe"));
    EXPECT_EQ(Everything(), FBefore);
}

TEST_F(RemovalGuardTest, TheInstallFolderUnderALinkIsRefused)
{
    // A location that is itself a link, even to a folder marked as ours.
    LayMarks(ThroughZ(FHost.Path() + "/Marked"), FMfpInf);
    ASSERT_EQ(symlink((FHost.Path() + "/Marked").c_str(), UnixOf("C:\\Program Files\\Linked").c_str()), 0);
    FBefore = Everything();
    SetInstallLocation("C:\\Program Files\\Linked");
    EXPECT_EQ(Form2->UninstallStep(4), 0);
    EXPECT_EQ(Everything(), FBefore);
    EXPECT_TRUE(TRemovalGuard().IsOwnInstallFolder(ThroughZ(FHost.Path() + "/Marked")));
}

// The Windows folder bind-mounted on a host folder: the mount and what is
// below it are the Windows folder under another name, so neither goes. Run
// in a child with a mount namespace of its own, so the mount never shows
// outside it; the child's exit code says which judgement failed.
TEST_F(RemovalGuardTest, ABindMountOfTheWindowsFolderIsTheWindowsFolder)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a bind mount needs the host's administrator";
    constexpr int kNoNamespace = 77;
    const std::string alias = FHost.Path() + "/alias";
    ASSERT_EQ(mkdir(alias.c_str(), 0755), 0);
    const int code = testsupport::RunInChild(
        [&] {
            if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
                return kNoNamespace;
            if (mount(UnixOf("C:\\Windows").c_str(), alias.c_str(), nullptr, MS_BIND, nullptr) != 0)
                return kNoNamespace;
            std::set<std::string> windows;
            Walk(UnixOf("C:\\Windows"), "", &windows);
            const TRemovalGuard guard;
            int failed = 0;
            int bit = 1;
            for (const std::string &location :
                 {ThroughZ(alias), ThroughZ(alias) + "\\System32", ThroughZ(alias) + "\\inf"}) {
                if (guard.MayRemoveTree(location) || guard.IsOwnInstallFolder(location))
                    failed |= bit;
                SetInstallLocation(location);
                Form2->UninstallStep(4);
                bit <<= 1;
            }
            std::set<std::string> after;
            Walk(UnixOf("C:\\Windows"), "", &after);
            return failed | (after == windows ? 0 : 64);
        },
        120000);
    if (code == kNoNamespace)
        GTEST_SKIP() << "no mount namespace of its own here";
    EXPECT_EQ(code, 0) << "1, 2, 4: the alias, its System32, its inf judged removable; 64: the Windows folder lost files";
    EXPECT_EQ(rmdir(alias.c_str()), 0);
    EXPECT_EQ(Everything(), FBefore);
}

// Random install locations from the pieces of the aliases above: whatever
// the rule lets go, nothing outside the install folder is lost.
TEST_F(RemovalGuardTest, RandomLocationsNeverReachBeyondTheInstallFolder)
{
    const unsigned seed = 20061215;
    std::cout << "seed " << seed << "\n";
    std::mt19937 random(seed);
    auto pick = [&random](const std::vector<std::string> &from) {
        return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
    };
    // Each start with the depth of folders below it that ".." may climb
    // without leaving the test's folders.
    const std::vector<std::pair<std::string, int>> starts = {
        {"C:", 0},
        {"c:", 0},
        {"\\\\?\\C:", 0},
        {"\\\\.\\c:", 0},
        {"D:", 0},
        {"W:", 0},
        {"V:", 0},
        {ThroughZ(FRoot.Path()), 0},
        {ThroughZ(FRoot.Path()) + "\\drives\\c", 0},
        {ThroughZ(FHost.Path()), 0},
        {"\\\\?\\" + ThroughZ(FHost.Path()), 0},
        {"C:\\Program Files\\Veltrona", 2},
        {kDir, 3},
        {"c:/program files/VELTRONA/norvik", 3},
        {"\\\\?\\" + kDir, 3},
        {ThroughZ(FRoot.Path()) + "\\drives\\c\\Program Files\\Veltrona\\Norvik", 3},
        {"C:\\Documents and Settings\\User", 2},
    };
    const std::vector<std::string> names = {"Program Files", "Veltrona", "Norvik", "Windows", "inf", "System32",
                                            "Documents and Settings", "User", "Local Settings", "Temp", "drives", "c",
                                            "registry", "Data", "selvio", "drivers", "Other Product", "No Setup",
                                            "..", ".", "", "Norvik.", "Norvik ", "Windows. "};
    const std::vector<std::string> separators = {"\\", "/", "\\\\"};
    const std::vector<std::string> ends = {"", "\\", "/", ".", " ", ". ", "\\."};
    const TRemovalGuard guard;
    int removed = 0;
    for (int round = 0; round < 3000; ++round) {
        const auto start = starts[std::uniform_int_distribution<size_t>(0, starts.size() - 1)(random)];
        std::string location = start.first;
        int depth = start.second;
        const int count = std::uniform_int_distribution<int>(0, 4)(random);
        for (int i = 0; i < count; ++i) {
            std::string name = pick(names);
            if (name == "..") {
                if (depth == 0)
                    continue;
                --depth;
            } else if (!name.empty() && name != ".") {
                ++depth;
            }
            for (char &c : name) {
                if (random() % 4 == 0)
                    c = static_cast<char>(random() % 2 ? toupper(c) : tolower(c));
            }
            location += pick(separators) + name;
        }
        location += pick(ends);

        SCOPED_TRACE("seed " + std::to_string(seed) + ", round " + std::to_string(round) + ": " + location);
        if (guard.IsOwnInstallFolder(location)) {
            Form2->DeleteTree((location + "\\selvio").c_str());
            Form2->DeleteTree(location.c_str());
        }
        ASSERT_EQ(Everything(), FBefore);
        if (!Exists(kDir)) {
            ++removed;
            LayInstallFolder();
        }
        ASSERT_EQ(InstallFolderEntries(), FInstallBefore);
    }
    // The pieces reach the install folder too.
    EXPECT_GT(removed, 0);
}

// A machine root in a host system folder (/var/tmp here) keeps its install
// folder removable, while a marked folder beside the root stays.
TEST(RemovalGuardPlacesTest, AMachineRootInAHostSystemFolderStillHasItsInstallFolder)
{
    testsupport::ScopedEnvironment temporary;
    temporary.Set("TMPDIR", "/var/tmp");
    const testsupport::TempMachineRoot root("arv-guard", testsupport::Layout::Now);
    const testsupport::TempFolder beside("arv-guard-host");
    if (!root.Made() || !beside.Made())
        GTEST_SKIP() << "no temporary folders in /var/tmp";
    const std::string inf = std::string("\"") + kPrinter + "\" = ARV_A700\r\n";
    LayMarks(kDir, inf);
    LayMarks("C:\\Windows", inf);
    LayMarks(ThroughZ(beside.Path()), inf);
    const TRemovalGuard guard;
    EXPECT_TRUE(guard.IsOwnInstallFolder(kDir));
    EXPECT_FALSE(guard.IsOwnInstallFolder("C:\\Windows"));
    EXPECT_FALSE(guard.IsOwnInstallFolder(ThroughZ(beside.Path())));
}

} // namespace
} // namespace install_test
