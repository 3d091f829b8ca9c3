#include "machine/MachineRoot.h"

#include "StandardContents.h"
#include "kernel/FreshFile.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace machine {
namespace {

void MakeFolders(const std::string &path)
{
    std::string partial;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        partial = path.substr(0, slash);
        if (!partial.empty())
            mkdir(partial.c_str(), 0755);
        start = slash + 1;
    }
}

// Where a hive's file lies in `root`.
std::string HiveFileIn(const std::string &root, const std::string &hiveName)
{
    return root + "/registry/" + hiveName + ".hive";
}

bool Exists(const std::string &path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// Makes the hive file with `text` unless it exists; true when this call
// made it. The text is written unnamed and linked into place, so that no
// reader sees the file half written and a process killed on the way leaves
// nothing behind.
bool MakeHive(const std::string &file, const std::string &text)
{
    if (text.empty()) {
        const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        close(fd);
        return true;
    }
    platform::FreshFile fresh(platform::FolderOfPath(file), 0644);
    return fresh.Made() && fresh.Write(text) && fresh.LinkAs(file);
}

void Lay(const std::string &root)
{
    static const char *const folders[] = {
        "drives/c/Windows/System32",
        "drives/c/Windows/inf",
        "drives/c/Program Files",
        "drives/c/Documents and Settings/User/Desktop",
        "drives/c/Documents and Settings/User/My Documents",
        "drives/c/Documents and Settings/User/Local Settings/Temp",
        "registry",
        "ports",
        "settings",
    };
    for (const char *folder : folders)
        MakeFolders(root + "/" + folder);
    std::string unixDrive = root + "/drives/z";
    struct stat info;
    if (lstat(unixDrive.c_str(), &info) != 0)
        symlink("/", unixDrive.c_str());
    // Hives are made only where none exists, so a hive that a writer
    // renames into place meanwhile is never touched. Whoever makes the
    // machine hive has made the root: it also gets the machine's programs.
    const std::string machineHive = HiveFileIn(root, kMachineHive);
    if (!Exists(machineHive) && MakeHive(machineHive, StandardMachineHive()))
        LinkMachinePrograms(root);
    const std::string userHive = HiveFileIn(root, kUserHive);
    if (!Exists(userHive))
        MakeHive(userHive, std::string());
}

} // namespace

std::string RootPathFor(const char *rootVariable, const char *dataHome, const char *home, const std::string &cwd)
{
    std::string root;
    if (rootVariable && *rootVariable)
        root = rootVariable;
    else if (dataHome && *dataHome)
        root = std::string(dataHome) + "/arv-machine";
    else
        root = std::string(home && *home ? home : "/tmp") + "/.local/share/arv-machine";
    if (root[0] != '/')
        root = cwd + "/" + root;
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root;
}

std::string RootPath()
{
    char cwd[4096];
    const std::string root = RootPathFor(getenv(kRootVariable), getenv("XDG_DATA_HOME"), getenv("HOME"),
                                         getcwd(cwd, sizeof cwd) ? cwd : "");

    // Laying out is idempotent, so each thread remembers on its own which
    // roots it has laid: no lock, so nothing can be inherited locked by a
    // forked child.
    thread_local std::set<std::string> laid;
    if (laid.insert(root).second)
        Lay(root);
    return root;
}

std::string DriveFolder(char letter)
{
    return RootPath() + "/drives/" + static_cast<char>(tolower(static_cast<unsigned char>(letter)));
}

std::string RegistryFolder() { return RootPath() + "/registry"; }
std::string HiveFile(const std::string &hiveName) { return HiveFileIn(RootPath(), hiveName); }
std::string PortsFolder() { return RootPath() + "/ports"; }
std::string PortLink(const std::string &portName) { return PortsFolder() + "/" + portName; }
std::string SettingsFolder() { return RootPath() + "/settings"; }

} // namespace machine
