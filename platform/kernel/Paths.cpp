#include "machine/Paths.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "PathResolution.h"
#include "winbase.h"
#include "winerror.h"
#include "machine/MachineRoot.h"

namespace platform {

bool SameNameIgnoringCase(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (std::string::size_type i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x != y && (x >= 0x80 || y >= 0x80 || tolower(x) != tolower(y)))
            return false;
    }
    return true;
}

std::string FoldedName(const std::string &name)
{
    std::string folded = name;
    for (char &c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

std::string FindEntry(const std::string &folder, const std::string &name)
{
    // Only a plain name: nothing that would lead out of the folder.
    if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos)
        return std::string();
    struct stat info;
    const std::string exact = (folder == "/" ? folder : folder + "/") + name;
    if (lstat(exact.c_str(), &info) == 0)
        return name;
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return std::string();
    std::string best;
    while (dirent *entry = readdir(dir)) {
        std::string candidate = entry->d_name;
        if (SameNameIgnoringCase(candidate, name) && (best.empty() || candidate < best))
            best = candidate;
    }
    closedir(dir);
    return best;
}

namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

bool HasForbiddenCharacters(const char *name)
{
    const char *start = name;
    if (IsSlash(name[0]) && IsSlash(name[1]) && (name[2] == '?' || name[2] == '.') && IsSlash(name[3]))
        start += 4;
    for (const char *at = start; *at; ++at) {
        const unsigned char c = static_cast<unsigned char>(*at);
        if (c < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*')
            return true;
        if (c == ':' && at != start + 1) // a colon only follows a drive letter
            return true;
    }
    return false;
}

} // namespace

bool MapWindowsName(const char *windowsName, std::string *unixPath)
{
    if (!windowsName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (HasForbiddenCharacters(windowsName)) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    *unixPath = machine::UnixPath(windowsName);
    if (unixPath->empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    return true;
}

} // namespace platform

namespace machine {
namespace {

typedef std::vector<std::string> Parts;

// A Windows path taken apart: upper-case drive letter and components.
struct WindowsName {
    char drive = 'Z';
    Parts parts;
};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

void Push(Parts &parts, const std::string &component)
{
    if (component.empty() || component == ".")
        return;
    if (component == "..") {
        if (!parts.empty())
            parts.pop_back();
        return;
    }
    parts.push_back(component);
}

// Appends the components of `text`, split at either separator.
void PushAll(Parts &parts, const char *text, bool windowsSeparators)
{
    std::string component;
    for (const char *p = text;; ++p) {
        bool separator = *p == '/' || (windowsSeparators && *p == '\\');
        if (*p == '\0' || separator) {
            Push(parts, component);
            component.clear();
            if (*p == '\0')
                break;
        } else {
            component += *p;
        }
    }
}

std::string Join(const std::string &base, const Parts &parts, size_t count)
{
    std::string path = base;
    for (size_t i = 0; i < count; ++i) {
        if (path.empty() || path.back() != '/')
            path += '/';
        path += parts[i];
    }
    return path.empty() ? "/" : path;
}

bool StartsWithParts(const Parts &path, const Parts &prefix)
{
    if (prefix.size() > path.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (path[i] != prefix[i])
            return false;
    return true;
}

Parts UnixParts(const std::string &path)
{
    Parts parts;
    PushAll(parts, path.c_str(), false);
    return parts;
}

std::string CurrentFolder()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string("/");
}

// The folders that hold the drives, each under every Unix name it has: its
// place in the root and, when that differs, its real path (a link's target).
struct DriveEntry {
    char letter;
    Parts prefix;
};

std::vector<DriveEntry> DriveEntries()
{
    std::vector<DriveEntry> entries;
    const std::string folder = RootPath() + "/drives";
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return entries;
    while (dirent *entry = readdir(dir)) {
        const unsigned char letter = static_cast<unsigned char>(entry->d_name[0]);
        if (!isalpha(letter) || entry->d_name[1] != '\0')
            continue;
        const char upper = static_cast<char>(toupper(letter));
        const std::string place = folder + "/" + entry->d_name;
        entries.push_back({upper, UnixParts(place)});
        char resolved[PATH_MAX];
        if (realpath(place.c_str(), resolved) && place != resolved)
            entries.push_back({upper, UnixParts(resolved)});
    }
    closedir(dir);
    return entries;
}

WindowsName WindowsNameOf(const std::string &unixPath)
{
    Parts parts;
    if (unixPath.empty() || unixPath[0] != '/')
        PushAll(parts, CurrentFolder().c_str(), false);
    PushAll(parts, unixPath.c_str(), false);

    WindowsName name;
    const DriveEntry *best = nullptr;
    const std::vector<DriveEntry> drives = DriveEntries();
    for (const DriveEntry &drive : drives) {
        if (!StartsWithParts(parts, drive.prefix))
            continue;
        if (!best || drive.prefix.size() > best->prefix.size() ||
            (drive.prefix.size() == best->prefix.size() && drive.letter < best->letter))
            best = &drive;
    }
    const size_t skip = best ? best->prefix.size() : 0;
    name.drive = best ? best->letter : 'Z';
    name.parts.assign(parts.begin() + static_cast<long>(skip), parts.end());
    return name;
}

// The Unix folder that holds a drive: its folder in the root, or the target
// of the drive's link.
std::string DriveBase(char letter)
{
    const std::string place = DriveFolder(letter);
    struct stat info;
    if (lstat(place.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(place.c_str(), resolved))
            return resolved;
    }
    return place;
}

// Follows the components from `base`, each matched without regard to case.
std::string Resolve(const std::string &base, const Parts &parts)
{
    struct stat info;
    const std::string whole = Join(base, parts, parts.size());
    if (parts.empty() || lstat(whole.c_str(), &info) == 0)
        return whole;

    std::string path = base;
    size_t next = 0;
    if (parts.size() > 1) {
        const std::string folder = Join(base, parts, parts.size() - 1);
        if (stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            path = folder;
            next = parts.size() - 1;
        }
    }
    for (; next < parts.size(); ++next) {
        const std::string found = platform::FindEntry(path, parts[next]);
        if (found.empty())
            break;
        path = Join(path, Parts{found}, 1);
    }
    for (; next < parts.size(); ++next)
        path = Join(path, Parts{parts[next]}, 1);
    return path;
}

bool IsDrivePrefix(const char *p)
{
    return isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':';
}

} // namespace

std::string UnixPath(const char *windowsPath)
{
    if (!windowsPath || !*windowsPath)
        return std::string();
    const char *p = windowsPath;
    if (IsSeparator(p[0]) && IsSeparator(p[1])) {
        const bool local = (p[2] == '.' || p[2] == '?') && IsSeparator(p[3]);
        if (!local)
            return std::string(); // network path
        p += 4;
        if (!IsDrivePrefix(p)) {
            const std::string device = p;
            const std::string found = platform::FindEntry(PortsFolder(), device);
            return found.empty() ? std::string() : PortLink(found);
        }
    }

    WindowsName name;
    if (IsDrivePrefix(p)) {
        name.drive = static_cast<char>(toupper(static_cast<unsigned char>(p[0])));
        p += 2;
        if (!IsSeparator(*p)) {
            // "X:name" is relative to the current folder when it is on X:.
            WindowsName current = WindowsNameOf(CurrentFolder());
            if (current.drive == name.drive)
                name.parts = current.parts;
        }
    } else {
        WindowsName current = WindowsNameOf(CurrentFolder());
        name.drive = current.drive;
        if (!IsSeparator(*p))
            name.parts = current.parts;
    }
    PushAll(name.parts, p, true);
    return Resolve(DriveBase(name.drive), name.parts);
}

std::string WindowsPath(const std::string &unixPath)
{
    const WindowsName name = WindowsNameOf(unixPath);
    std::string path(1, name.drive);
    path += ":";
    for (const std::string &part : name.parts)
        path += "\\" + part;
    if (name.parts.empty())
        path += "\\";
    return path;
}

std::string RealPlace(const char *windowsPath)
{
    std::string path;
    if (!platform::MapWindowsName(windowsPath, &path))
        return std::string();
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    const std::string folder = slash == 0 ? std::string("/") : path.substr(0, slash);
    const std::string name = path.substr(slash + 1);
    char resolved[PATH_MAX];
    if (!realpath(folder.c_str(), resolved))
        return std::string();
    const std::string place = resolved;
    if (name.empty())
        return place; // the host's root
    if (name == "." || name == "..")
        return std::string();
    return (place == "/" ? place : place + "/") + name;
}

} // namespace machine
