// The deletion rule of the uninstaller (see Removal_guard.h).
#include "Removal_guard.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "windows.h"
#include "shlobj.h"

#include "Install_names.h"
#include "Regular_file.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"

namespace {

// The host's folders whose contents are the system's own.
const char *const kHostSystemFolders[] = {"/bin",   "/boot", "/dev",  "/etc",  "/lib", "/lib32", "/lib64",
                                          "/libx32", "/proc", "/run", "/sbin", "/sys", "/usr",   "/var"};

// The machine root's own folders and files beside its drives.
const char *const kMachineFolders[] = {"registry", "ports", "settings", "logs", "printed", "outside-runs.log"};

// How much of "mfp.inf" is read to find the printer model.
constexpr size_t kInfReadLimit = 1 << 16;

// True when the host path `inner` is `outer` or lies below it.
bool Within(const std::string &inner, const std::string &outer)
{
    if (outer.empty() || inner.empty())
        return false;
    if (outer == "/" || inner == outer)
        return true;
    return inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 && inner[outer.size()] == '/';
}

// The host path with every link resolved; "" when it does not exist.
std::string Resolved(const std::string &hostPath)
{
    char resolved[PATH_MAX];
    return realpath(hostPath.c_str(), resolved) ? std::string(resolved) : std::string();
}

bool Inspect(const std::string &place, struct stat *info) { return !place.empty() && lstat(place.c_str(), info) == 0; }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Only a path with a drive and its root names a fixed place: "C:\...", also
// after a "\\?\" or "\\.\" prefix. Relative and drive-relative names depend
// on the current folder; network and device names are no tree.
bool IsAbsolute(const std::string &path)
{
    size_t at = 0;
    if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == '?' || path[2] == '.') &&
        IsSeparator(path[3]))
        at = 4;
    return path.size() >= at + 3 && isalpha(static_cast<unsigned char>(path[at])) && path[at + 1] == ':' &&
           IsSeparator(path[at + 2]);
}

// The folder that holds the place (host path).
std::string FolderOfPlace(const std::string &place)
{
    const std::string::size_type slash = place.rfind('/');
    if (slash == std::string::npos || place == "/")
        return std::string();
    return slash == 0 ? std::string("/") : place.substr(0, slash);
}

// The place of `name` in the folder `folder` names, when it is there as a
// real entry (not a link) of the wanted kind.
bool HasEntry(const std::string &folder, const std::string &folderPlace, const char *name, bool wantFolder,
              std::string *entryPlace)
{
    const std::string path = folder + (IsSeparator(folder.back()) ? "" : "\\") + name;
    const std::string place = machine::RealPlace(path.c_str());
    struct stat info;
    if (!Inspect(place, &info) || FolderOfPlace(place) != folderPlace)
        return false;
    if (wantFolder ? !S_ISDIR(info.st_mode) : !S_ISREG(info.st_mode))
        return false;
    if (entryPlace)
        *entryPlace = place;
    return true;
}

// Whether the file at the host place is a regular file whose first bytes
// name the printer model.
bool DefinesThePrinterModel(const std::string &infPlace)
{
    std::string text;
    struct stat info;
    return regular_file::Read(infPlace, kInfReadLimit, &text, &info) &&
           text.find(install_names::kPrinterName) != std::string::npos;
}

std::string QueriedFolder(UINT(WINAPI *query)(LPSTR, UINT))
{
    char buffer[MAX_PATH] = {};
    const UINT length = query(buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer) : std::string();
}

std::string SpecialFolder(int csidl)
{
    char buffer[MAX_PATH] = {};
    return SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE) ? std::string(buffer) : std::string();
}

std::string EnvironmentFolder(const char *name)
{
    char buffer[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer) : std::string();
}

std::string TempFolder()
{
    char buffer[MAX_PATH] = {};
    const DWORD length = GetTempPathA(sizeof buffer, buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer) : std::string();
}

// The entries directly in a host folder, as host paths.
std::vector<std::string> EntriesOf(const std::string &folder)
{
    std::vector<std::string> entries;
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return entries;
    while (dirent *entry = readdir(dir)) {
        if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
            entries.push_back((folder == "/" ? folder : folder + "/") + entry->d_name);
    }
    closedir(dir);
    return entries;
}

} // namespace

TRemovalGuard::TRemovalGuard()
{
    // A host place under its own name and, when it is a link or lies behind
    // one, under its real name too.
    auto guardHost = [this](const std::string &place, bool withContents) {
        if (place.empty())
            return;
        FGuarded.push_back({place, withContents, false});
        const std::string resolved = Resolved(place);
        if (!resolved.empty() && resolved != place)
            FGuarded.push_back({resolved, withContents, false});
    };
    auto guardWindows = [&](const std::string &windowsPath, bool withContents) {
        if (windowsPath.empty())
            return;
        guardHost(machine::RealPlace(windowsPath.c_str()), withContents);
    };

    FMachineRoot = Resolved(machine::RootPath());
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const std::string root = Resolved(machine::UnixPath((std::string(1, letter) + ":\\").c_str()));
        if (root.empty())
            continue;
        FDriveRoots.push_back(root);
        guardHost(root, false);
    }

    for (const std::string &folder : {std::string(machine::kWindowsDir), std::string(machine::kSystemDir),
                                      QueriedFolder(GetWindowsDirectoryA), QueriedFolder(GetSystemDirectoryA),
                                      SpecialFolder(CSIDL_WINDOWS), SpecialFolder(CSIDL_SYSTEM)})
        guardWindows(folder, true);
    for (const std::string &folder :
         {std::string(machine::kProgramFilesDir), SpecialFolder(CSIDL_PROGRAM_FILES), EnvironmentFolder("PROGRAMFILES"),
          std::string(machine::kDesktopDir), SpecialFolder(CSIDL_DESKTOP), SpecialFolder(CSIDL_DESKTOPDIRECTORY),
          std::string(machine::kDocumentsDir), SpecialFolder(CSIDL_PERSONAL), std::string(machine::kTempDir),
          TempFolder()})
        guardWindows(folder, false);
    for (const std::string &profile :
         {std::string(machine::kUserProfileDir), SpecialFolder(CSIDL_PROFILE), EnvironmentFolder("USERPROFILE")}) {
        guardWindows(profile, false);
        if (!profile.empty())
            for (const std::string &entry : EntriesOf(Resolved(machine::UnixPath(profile.c_str()))))
                guardHost(entry, false);
    }

    if (!FMachineRoot.empty()) {
        guardHost(FMachineRoot, false);
        guardHost(FMachineRoot + "/drives", false);
        for (const char *name : kMachineFolders)
            guardHost(FMachineRoot + "/" + name, true);
    }

    guardHost("/", false);
    for (const std::string &entry : EntriesOf("/"))
        guardHost(entry, false);
    for (const char *folder : kHostSystemFolders) {
        const size_t first = FGuarded.size();
        guardHost(folder, true);
        for (size_t i = first; i < FGuarded.size(); ++i)
            FGuarded[i].host = true;
    }
    std::vector<std::string> homes = EntriesOf("/home");
    homes.push_back("/root");
    if (const char *home = getenv("HOME"))
        homes.push_back(home);
    setpwent();
    while (const passwd *account = getpwent()) {
        if (account->pw_dir && account->pw_dir[0] == '/')
            homes.push_back(account->pw_dir);
    }
    endpwent();
    for (const std::string &home : homes) {
        guardHost(home, false);
        // The homes of the system's accounts (/bin, /var/lib/...) are kept
        // with their system folder already.
        bool inSystemFolder = false;
        for (const char *folder : kHostSystemFolders)
            inSystemFolder = inSystemFolder || Within(home, folder);
        if (!inSystemFolder && home != "/")
            for (const std::string &entry : EntriesOf(home))
                guardHost(entry, false);
    }

    // The identities of the guarded places and of the folders that hold
    // them.
    for (const TPlace &guarded : FGuarded) {
        struct stat info;
        if (stat(guarded.path.c_str(), &info) != 0)
            continue;
        if (guarded.withContents) {
            auto kept = FKeptWithContents.insert({{info.st_dev, info.st_ino}, guarded.host});
            kept.first->second = kept.first->second && guarded.host;
        }
        FHolders.insert({info.st_dev, info.st_ino});
        for (std::string folder = FolderOfPlace(Resolved(guarded.path)); !folder.empty();
             folder = FolderOfPlace(folder)) {
            if (stat(folder.c_str(), &info) == 0)
                FHolders.insert({info.st_dev, info.st_ino});
        }
    }
}

bool TRemovalGuard::IsGuardedByIdentity(const std::string &place, bool inMachineDrive) const
{
    struct stat info;
    if (lstat(place.c_str(), &info) == 0 && FHolders.count({info.st_dev, info.st_ino}))
        return true; // a guarded place, or a folder that holds one
    // Each folder on the way to the place, and the place itself (a link as
    // itself): real folders, since the place's name has every link on the
    // way resolved.
    for (size_t end = 0; end != std::string::npos && end < place.size();) {
        end = place.find('/', end + 1);
        const bool last = end == std::string::npos;
        const std::string folder = last ? place : place.substr(0, end);
        if ((last ? lstat(folder.c_str(), &info) : stat(folder.c_str(), &info)) != 0)
            continue;
        const auto kept = FKeptWithContents.find({info.st_dev, info.st_ino});
        if (kept != FKeptWithContents.end() && !(kept->second && inMachineDrive))
            return true;
    }
    struct stat root;
    if (stat("/", &root) == 0) {
        const auto kept = FKeptWithContents.find({root.st_dev, root.st_ino});
        if (kept != FKeptWithContents.end() && !(kept->second && inMachineDrive))
            return true;
    }
    return false;
}

bool TRemovalGuard::IsGuarded(const std::string &place) const
{
    // The machine's own drives may lie in a host system folder (a root in
    // /var/lib, say): what is in them is judged as the machine's.
    bool inMachineDrive = false;
    for (const std::string &drive : FDriveRoots) {
        if (Within(drive, FMachineRoot) && Within(place, drive))
            inMachineDrive = true;
    }
    for (const TPlace &guarded : FGuarded) {
        if (Within(guarded.path, place)) // the place itself, or a folder that holds it
            return true;
        if (guarded.withContents && Within(place, guarded.path) && !(guarded.host && inMachineDrive))
            return true;
    }
    if (IsGuardedByIdentity(place, inMachineDrive))
        return true;
    // What lies in the machine root outside its drives is the machine's.
    if (Within(place, FMachineRoot)) {
        for (const std::string &drive : FDriveRoots) {
            if (!Within(FMachineRoot, drive) && Within(place, drive))
                return false;
        }
        return true;
    }
    return false;
}

bool TRemovalGuard::MayRemoveTree(const std::string &path) const
{
    if (!IsAbsolute(path))
        return false;
    const std::string place = machine::RealPlace(path.c_str());
    struct stat info;
    return Inspect(place, &info) && !IsGuarded(place);
}

bool TRemovalGuard::IsOwnInstallFolder(const std::string &location) const
{
    if (!MayRemoveTree(location))
        return false;
    const std::string place = machine::RealPlace(location.c_str());
    struct stat info;
    if (!Inspect(place, &info) || !S_ISDIR(info.st_mode))
        return false;
    std::string drivers, inf;
    // The install media also holds the setup program and "drivers"; the
    // folder "res" lies in its root only where install step 1 copied the
    // programs' folder, so a copy of the media does not pass. ("selvio" is
    // no mark: step 4 removes it first, and a repeated uninstall still
    // finds the folder ours.)
    return HasEntry(location, place, install_names::kSetupProgram, false, nullptr) &&
           HasEntry(location, place, "res", true, nullptr) &&
           HasEntry(location, place, "drivers", true, &drivers) &&
           HasEntry(location + "\\drivers", drivers, "mfp.inf", false, &inf) && DefinesThePrinterModel(inf);
}
