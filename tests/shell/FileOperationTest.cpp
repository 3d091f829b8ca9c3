// SHFileOperationA: copies as the installer makes them, trees deleted
// without following links, moves, and the failures.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "FileContents.h"
#include "ShellFixture.h"
#include "machine/Paths.h"

namespace {

using Names = std::vector<std::string>;

// The installer's flags: no progress, yes to every question, no error box.
constexpr FILEOP_FLAGS kInstallerFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;

class FileOperation : public ShellFixture {
protected:
    // Files ("path=content") and folders ("path/") below a Windows folder.
    static void Make(const std::string &windowsFolder, const Names &entries)
    {
        const std::string base = machine::UnixPath(windowsFolder.c_str());
        for (const std::string &entry : entries) {
            const size_t equals = entry.find('=');
            const std::string path = base + "/" + entry.substr(0, equals);
            for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
                mkdir(path.substr(0, slash).c_str(), 0755);
            if (equals != std::string::npos) {
                ASSERT_TRUE(testsupport::WriteText(path, entry.substr(equals + 1))) << path;
            }
        }
    }

    // Everything below a Windows folder, as Make takes it, sorted.
    static Names Tree(const std::string &windowsFolder)
    {
        Names names;
        Collect(machine::UnixPath(windowsFolder.c_str()), "", &names);
        std::sort(names.begin(), names.end());
        return names;
    }

    static void Collect(const std::string &folder, const std::string &prefix, Names *names)
    {
        DIR *dir = opendir(folder.c_str());
        while (dirent *entry = dir ? readdir(dir) : nullptr) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "/" + name;
            struct stat info;
            if (lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
                names->push_back(prefix + name + "/");
                Collect(path, prefix + name + "/", names);
            } else {
                names->push_back(prefix + name + "=" + testsupport::ReadText(path));
            }
        }
        if (dir)
            closedir(dir);
    }

    // A list of paths each ended by a NUL, the list by one more.
    static std::string List(const Names &paths)
    {
        std::string list;
        for (const std::string &path : paths)
            list += path + '\0';
        return list + '\0';
    }

    static int Operate(UINT function, const Names &from, const Names &to, FILEOP_FLAGS flags = kInstallerFlags)
    {
        const std::string source = List(from), target = List(to);
        SHFILEOPSTRUCTA operation;
        memset(&operation, 0, sizeof operation);
        operation.wFunc = function;
        operation.pFrom = source.c_str();
        operation.pTo = to.empty() ? nullptr : target.c_str();
        operation.fFlags = flags;
        operation.fAnyOperationsAborted = TRUE;
        const int result = SHFileOperationA(&operation);
        EXPECT_FALSE(operation.fAnyOperationsAborted);
        return result;
    }

    static mode_t Mode(const std::string &windowsPath)
    {
        struct stat info;
        return stat(machine::UnixPath(windowsPath.c_str()).c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
    }
};

// The four copies of an install, each from a zero-filled buffer of 256
// characters, as the installer writes them.
int InstallerCopy(const std::string &from, const std::string &to)
{
    char source[256], target[256];
    memset(source, 0, sizeof source);
    memset(target, 0, sizeof target);
    strcpy(source, from.c_str());
    strcpy(target, to.c_str());
    SHFILEOPSTRUCTA operation;
    memset(&operation, 0, sizeof operation);
    operation.wFunc = FO_COPY;
    operation.pFrom = source;
    operation.pTo = target;
    operation.fFlags = 0x614;
    return SHFileOperationA(&operation);
}

TEST_F(FileOperation, CopiesAnInstallFromItsMedia)
{
    const std::string media = "C:\\Media\\";
    const std::string install = "C:\\Program Files\\Veltrona\\Norvik";
    Make(media, {"bin/vp/orvel_vpnt.dll=nt", "bin/vp/orvel_vp95.dll=95", "drivers/mfp.inf=mfp",
                 "drivers/ftdibus.inf=bus", "bin/mfp/orvel_printer.exe=printer", "bin/mfp/orvel_scanner.exe=scanner",
                 "bin/mfp/res/tiffcp.exe=tiffcp", "bin/mfp/res/XXMKLINK.EXE=link", "bin/mfp/selvio/", "setup.exe=setup"});
    ASSERT_EQ(chmod(machine::UnixPath("C:\\Media\\bin\\mfp\\orvel_printer.exe").c_str(), 0755), 0);
    ASSERT_TRUE(CreateDirectoryA("C:\\Program Files\\Veltrona", nullptr));
    ASSERT_TRUE(CreateDirectoryA(install.c_str(), nullptr));
    Make(install, {"orvel_scanner.exe=old scanner", "kept.txt=kept"});
    ASSERT_EQ(chmod(machine::UnixPath((install + "\\orvel_scanner.exe").c_str()).c_str(), 0444), 0);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "install" : "install again over it");
        EXPECT_EQ(InstallerCopy(media + "bin\\vp\\*", "C:\\Windows\\System32\\"), 0);
        EXPECT_EQ(InstallerCopy(media + "drivers", install), 0);
        EXPECT_EQ(InstallerCopy(media + "bin\\mfp\\*", install), 0);
        EXPECT_EQ(InstallerCopy(media + "setup.exe", install), 0);
    }
    Names system = Tree("C:\\Windows\\System32");
    system.erase(std::remove_if(system.begin(), system.end(),
                                [](const std::string &name) { return name.compare(0, 6, "orvel_") != 0; }),
                 system.end());
    EXPECT_EQ(system, (Names{"orvel_vp95.dll=95", "orvel_vpnt.dll=nt"}));
    EXPECT_EQ(Tree(install), (Names{"drivers/", "drivers/ftdibus.inf=bus", "drivers/mfp.inf=mfp", "kept.txt=kept",
                                    "orvel_printer.exe=printer", "orvel_scanner.exe=scanner", "res/",
                                    "res/XXMKLINK.EXE=link", "res/tiffcp.exe=tiffcp", "selvio/", "setup.exe=setup"}))
        << "a read-only file is replaced too";
    EXPECT_EQ(Mode(install + "\\orvel_printer.exe"), 0755u) << "a program stays a program";
}

TEST_F(FileOperation, CopiesNamesListsAndWildcards)
{
    Make("C:\\From", {"a.txt=a", "b.TXT=b", "noext=n", "sub/c.txt=c", "other.dat=o"});

    // One folder to a name that does not exist: copied under that name.
    EXPECT_EQ(Operate(FO_COPY, {"C:\\From\\sub"}, {"C:\\New\\Place"}), 0);
    EXPECT_EQ(Tree("C:\\New"), (Names{"Place/", "Place/c.txt=c"}));
    // One file likewise.
    EXPECT_EQ(Operate(FO_COPY, {"C:\\From\\a.txt"}, {"C:\\Renamed\\copy.txt"}), 0);
    EXPECT_EQ(Tree("C:\\Renamed"), (Names{"copy.txt=a"}));
    // A list of several into a folder that is made.
    EXPECT_EQ(Operate(FO_COPY, {"C:\\From\\a.txt", "C:\\From\\sub"}, {"C:\\Both"}), 0);
    EXPECT_EQ(Tree("C:\\Both"), (Names{"a.txt=a", "sub/", "sub/c.txt=c"}));
    // Wildcards without regard to case; "*.*" takes names without a dot.
    EXPECT_EQ(Operate(FO_COPY, {"C:\\From\\*.txt"}, {"C:\\Texts"}), 0);
    EXPECT_EQ(Tree("C:\\Texts"), (Names{"a.txt=a", "b.TXT=b"}));
    EXPECT_EQ(Operate(FO_COPY, {"C:\\From\\*.*"}, {"C:\\Files"}, kInstallerFlags | FOF_FILESONLY), 0);
    EXPECT_EQ(Tree("C:\\Files"), (Names{"a.txt=a", "b.TXT=b", "noext=n", "other.dat=o"}));
    // Each entry to its own name.
    EXPECT_EQ(Operate(FO_COPY, {"C:\\From\\a.txt", "C:\\From\\noext"}, {"C:\\Pairs\\one", "C:\\Pairs\\two"},
                      kInstallerFlags | FOF_MULTIDESTFILES),
              0);
    EXPECT_EQ(Tree("C:\\Pairs"), (Names{"one=a", "two=n"}));
}

TEST_F(FileOperation, RefusesWhatCannotBeDone)
{
    Make("C:\\From", {"a.txt=a", "sub/c.txt=c"});
    struct Case {
        UINT function;
        Names from;
        Names to;
        int result;
    } cases[] = {
        {FO_COPY, {"C:\\From\\none.txt"}, {"C:\\To"}, ERROR_FILE_NOT_FOUND},
        {FO_COPY, {"C:\\Nowhere\\a.txt"}, {"C:\\To"}, ERROR_PATH_NOT_FOUND},
        {FO_COPY, {"C:\\From\\*.none"}, {"C:\\To"}, ERROR_FILE_NOT_FOUND},
        {FO_COPY, {"C:\\From\\a.txt"}, {"C:\\From\\a.txt"}, DE_SAMEFILE},
        {FO_COPY, {"C:\\From"}, {"C:\\From\\sub"}, DE_DESTSUBTREE},
        {FO_MOVE, {"C:\\From"}, {"C:\\From\\sub\\deeper"}, DE_DESTSUBTREE},
        {FO_COPY, {"C:\\From\\a.txt"}, {"C:\\To1", "C:\\To2"}, DE_MANYSRC1DEST},
        {FO_DELETE, {"C:\\From\\none.txt"}, {}, ERROR_FILE_NOT_FOUND},
        {FO_RENAME, {"C:\\From\\a.txt"}, {"C:\\From\\b.txt"}, ERROR_INVALID_PARAMETER},
        {FO_COPY, {}, {"C:\\To"}, ERROR_INVALID_PARAMETER},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Operate(c.function, c.from, c.to), c.result) << (c.from.empty() ? "" : c.from[0]);
    EXPECT_EQ(Tree("C:\\From"), (Names{"a.txt=a", "sub/", "sub/c.txt=c"})) << "left as it was";
    EXPECT_EQ(GetFileAttributesA("C:\\To"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(SHFileOperationA(nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(FileOperation, DeletesTreesButNeverWhatALinkLeadsTo)
{
    Make("C:\\Outside", {"precious.txt=keep"});
    Make("C:\\Tree", {"a.txt=a", "deep/er/b.txt=b", "readonly.txt=r"});
    ASSERT_EQ(chmod(machine::UnixPath("C:\\Tree\\readonly.txt").c_str(), 0444), 0);
    ASSERT_EQ(symlink(machine::UnixPath("C:\\Outside").c_str(), machine::UnixPath("C:\\Tree\\link").c_str()), 0);
    Make("C:\\Emptied", {"x.txt=x", "y/z.txt=z"});

    EXPECT_EQ(Operate(FO_DELETE, {"C:\\Tree", "C:\\Emptied\\*.*"}, {}), 0);
    EXPECT_EQ(GetFileAttributesA("C:\\Tree"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Tree("C:\\Emptied"), Names{}) << "the folder itself stays";
    EXPECT_EQ(Tree("C:\\Outside"), (Names{"precious.txt=keep"}));
}

TEST_F(FileOperation, MovesFilesAndFolders)
{
    Make("C:\\From", {"a.txt=a", "sub/c.txt=c"});
    Make("C:\\Into", {"sub/old.txt=old"});
    EXPECT_EQ(Operate(FO_MOVE, {"C:\\From\\a.txt", "C:\\From\\sub"}, {"C:\\Into"}), 0);
    EXPECT_EQ(Tree("C:\\From"), Names{});
    EXPECT_EQ(Tree("C:\\Into"), (Names{"a.txt=a", "sub/", "sub/c.txt=c", "sub/old.txt=old"}))
        << "a folder onto a folder merges";
    EXPECT_EQ(Operate(FO_MOVE, {"C:\\Into"}, {"C:\\Moved"}), 0);
    EXPECT_EQ(Tree("C:\\Moved"), (Names{"a.txt=a", "sub/", "sub/c.txt=c", "sub/old.txt=old"}));
    EXPECT_EQ(GetFileAttributesA("C:\\Into"), INVALID_FILE_ATTRIBUTES);
}

} // namespace
