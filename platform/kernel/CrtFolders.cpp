// The C runtime's current folder per drive (direct.h).
#include "direct.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "machine/MachineRoot.h"
#include "machine/Paths.h"

namespace {

std::mutex gLock;
// The last current folder of each drive that is not the current drive.
std::map<char, std::string> gFolders;

bool CurrentFolder(std::string *windowsPath)
{
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer))
        return false;
    *windowsPath = machine::WindowsPath(buffer);
    return true;
}

char Upper(char c) { return static_cast<char>(toupper(static_cast<unsigned char>(c))); }

bool DriveExists(char letter)
{
    struct stat info;
    return stat(machine::DriveFolder(letter).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Copies `text` as the C runtime does: into the buffer when it fits, into a
// new block when there is no buffer.
char *GiveOut(const std::string &text, char *buffer, int maxlen)
{
    if (!buffer) {
        const size_t size = std::max(static_cast<size_t>(maxlen > 0 ? maxlen : 0), text.size() + 1);
        buffer = static_cast<char *>(malloc(size));
        if (!buffer) {
            errno = ENOMEM;
            return nullptr;
        }
    } else if (maxlen <= 0) {
        errno = EINVAL;
        return nullptr;
    } else if (static_cast<size_t>(maxlen) <= text.size()) {
        errno = ERANGE;
        return nullptr;
    }
    memcpy(buffer, text.c_str(), text.size() + 1);
    return buffer;
}

} // namespace

int _getdrive()
{
    std::string current;
    if (!CurrentFolder(&current))
        return 0;
    return Upper(current[0]) - 'A' + 1;
}

char *_getcwd(char *buffer, int maxlen)
{
    std::string current;
    if (!CurrentFolder(&current)) {
        errno = ENOENT;
        return nullptr;
    }
    return GiveOut(current, buffer, maxlen);
}

char *_getdcwd(int drive, char *buffer, int maxlen)
{
    if (drive < 0 || drive > 26) {
        errno = EINVAL;
        return nullptr;
    }
    if (drive == 0 || drive == _getdrive())
        return _getcwd(buffer, maxlen);
    const char letter = static_cast<char>('A' + drive - 1);
    if (!DriveExists(letter)) {
        errno = EACCES;
        return nullptr;
    }
    std::string folder = std::string(1, letter) + ":\\";
    {
        std::lock_guard<std::mutex> hold(gLock);
        auto found = gFolders.find(letter);
        if (found != gFolders.end())
            folder = found->second;
    }
    return GiveOut(folder, buffer, maxlen);
}

int _chdir(const char *dirname)
{
    if (!dirname || !*dirname) {
        errno = dirname ? ENOENT : EINVAL;
        return -1;
    }
    std::string name = dirname;
    std::string current;
    const bool haveCurrent = CurrentFolder(&current);
    // "X:" and "X:name" on another drive are relative to that drive's folder.
    if (isalpha(static_cast<unsigned char>(name[0])) && name.size() >= 2 && name[1] == ':' &&
        (name.size() == 2 || (name[2] != '\\' && name[2] != '/')) &&
        (!haveCurrent || Upper(name[0]) != Upper(current[0]))) {
        const int drive = Upper(name[0]) - 'A' + 1;
        char base[PATH_MAX];
        if (!_getdcwd(drive, base, sizeof base)) {
            errno = ENOENT;
            return -1;
        }
        std::string folder = base;
        if (folder.back() != '\\')
            folder += '\\';
        name = folder + name.substr(2);
    }
    const std::string unixPath = machine::UnixPath(name.c_str());
    struct stat info;
    if (unixPath.empty() || stat(unixPath.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        chdir(unixPath.c_str()) != 0) {
        errno = ENOENT;
        return -1;
    }
    std::string now;
    if (haveCurrent && CurrentFolder(&now) && Upper(now[0]) != Upper(current[0])) {
        // The drive we leave keeps its folder for _getdcwd.
        std::lock_guard<std::mutex> hold(gLock);
        gFolders[Upper(current[0])] = current;
        gFolders.erase(Upper(now[0]));
    }
    return 0;
}
