#include "machine/MachineRoot.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <set>
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

std::string DefaultRoot()
{
    const char *data = getenv("XDG_DATA_HOME");
    if (data && *data)
        return std::string(data) + "/arv-machine";
    const char *home = getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.local/share/arv-machine";
}

std::string Absolute(const std::string &path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd))
        return path;
    return std::string(cwd) + "/" + path;
}

// Where a hive's file lies in `root`.
std::string HiveFileIn(const std::string &root, const std::string &hiveName)
{
    return root + "/registry/" + hiveName + ".hive";
}

bool IsFolder(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Links each of Windows' own programs that the build made (the folder
// ARV_WINDOWS_PROGRAMS) into the system folder, where Windows keeps them.
void LinkWindowsPrograms(const std::string &systemFolder)
{
#ifdef ARV_WINDOWS_PROGRAMS
    DIR *dir = opendir(ARV_WINDOWS_PROGRAMS);
    if (!dir)
        return;
    while (dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        symlink((std::string(ARV_WINDOWS_PROGRAMS) + "/" + name).c_str(), (systemFolder + "/" + name).c_str());
    }
    closedir(dir);
#else
    (void)systemFolder;
#endif
}

void Lay(const std::string &root)
{
    const std::string systemFolder = root + "/drives/c/Windows/System32";
    const bool newSystem = !IsFolder(systemFolder);
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
    if (newSystem)
        LinkWindowsPrograms(systemFolder);
    std::string unixDrive = root + "/drives/z";
    struct stat info;
    if (lstat(unixDrive.c_str(), &info) != 0)
        symlink("/", unixDrive.c_str());
    // An empty file is an empty hive. Made only where none exists, so a hive
    // that a writer renames into place meanwhile is never touched.
    for (const char *hive : {kMachineHive, kUserHive}) {
        const int fd = open(HiveFileIn(root, hive).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0)
            close(fd);
    }
}

} // namespace

std::string RootPath()
{
    const char *chosen = getenv(kRootVariable);
    std::string root = Absolute(chosen && *chosen ? chosen : DefaultRoot());
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();

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
