// Removal through folder descriptors: the real place of a path is opened
// one component at a time without following links, entries are judged with
// fstatat and removed with unlinkat relative to their folder, and no
// non-folder is ever opened (a FIFO cannot block the removal).
#include "machine/TreeRemoval.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ErrorCodes.h"
#include "FileAttributes.h"
#include "FileObject.h"
#include "PathResolution.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"
#include "psapi/MachineProcesses.h"
#include "winbase.h"
#include "winerror.h"

namespace machine {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;

// A descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// The mount a folder lies on: its mount id where the kernel has one, else
// whether it is a mount's root, else its device.
struct MountOf {
    bool known = false;
    uint64_t id = 0;
    bool mountRoot = false;
    dev_t device = 0;
};

MountOf Mount(int fd)
{
    MountOf mount;
    struct statx info;
    if (statx(fd, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, STATX_MNT_ID, &info) != 0)
        return mount;
    mount.known = true;
    mount.device = makedev(info.stx_dev_major, info.stx_dev_minor);
    if (info.stx_mask & STATX_MNT_ID)
        mount.id = info.stx_mnt_id;
    mount.mountRoot = (info.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) && (info.stx_attributes & STATX_ATTR_MOUNT_ROOT);
    return mount;
}

// Whether the folder `inner`, opened in the folder `outer`, lies on the
// same mount; unknown counts as another.
bool SameMount(int outer, int inner)
{
    const MountOf a = Mount(outer);
    const MountOf b = Mount(inner);
    if (!a.known || !b.known || b.mountRoot || a.device != b.device)
        return false;
    return a.id == b.id;
}

// Opens the folder `name` in `parent` when it is still the folder `expected`
// that fstatat saw and lies on the parent's mount; -1 otherwise.
int OpenInnerFolder(int parent, const char *name, const struct stat &expected)
{
    Descriptor folder(openat(parent, name, kFolderFlags));
    struct stat info;
    if (!folder.Valid() || fstat(folder.Get(), &info) != 0 || info.st_dev != expected.st_dev ||
        info.st_ino != expected.st_ino || !SameMount(parent, folder.Get()))
        return -1;
    return folder.Release();
}

// Why DeleteFileA would refuse the file `info`; ERROR_SUCCESS when it may go.
DWORD Refusal(const struct stat &info)
{
    if (S_ISDIR(info.st_mode) || (S_ISREG(info.st_mode) && platform::IsReadOnly(info)))
        return ERROR_ACCESS_DENIED;
    if (!platform::FileObject::DeletionShared(info.st_dev, info.st_ino))
        return ERROR_SHARING_VIOLATION;
    // Windows keeps a running image: only a file that can be run is looked for.
    if (S_ISREG(info.st_mode) && (info.st_mode & 0111) &&
        psapi::MachineRunsProgram(info.st_dev, info.st_ino, RootPath()))
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

// Deletes the non-folder `name` in `folder` unless DeleteFileA would refuse
// it; unlinkat never follows the name, so a swap after the judgement can
// only remove another entry of this same folder.
DWORD DeleteEntry(int folder, const char *name, const struct stat &info)
{
    const DWORD refusal = Refusal(info);
    if (refusal != ERROR_SUCCESS)
        return refusal;
    if (unlinkat(folder, name, 0) != 0)
        return platform::ErrorFromErrno(errno);
    return ERROR_SUCCESS;
}

// The names in the folder `fd` in listing order, "." and ".." left out.
std::vector<std::string> Names(int fd)
{
    std::vector<std::string> names;
    const int listing = openat(fd, ".", kFolderFlags);
    if (listing < 0)
        return names;
    DIR *dir = fdopendir(listing);
    if (!dir) {
        close(listing);
        return names;
    }
    while (dirent *entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end(), platform::ListingOrderLess);
    return names;
}

// Removes the entry `name` of the folder `parent`; false when anything of
// it stays.
bool RemoveEntry(int parent, const char *name)
{
    struct stat info;
    if (fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(info.st_mode))
        return DeleteEntry(parent, name, info) == ERROR_SUCCESS;

    bool all = true;
    {
        const Descriptor folder(OpenInnerFolder(parent, name, info));
        if (!folder.Valid())
            return false;
        for (const std::string &inner : Names(folder.Get()))
            all = RemoveEntry(folder.Get(), inner.c_str()) && all;
    }
    return all && unlinkat(parent, name, AT_REMOVEDIR) == 0;
}

// Opens the real folder `place` (an absolute host path with no links left
// in it) from "/" one component at a time without following links; -1
// when a component is missing, not a folder, or a link by now.
int OpenRealFolder(const std::string &place)
{
    if (place.empty() || place[0] != '/')
        return -1;
    int fd = open("/", kFolderFlags);
    size_t at = 1;
    while (fd >= 0 && at < place.size()) {
        size_t end = place.find('/', at);
        if (end == std::string::npos)
            end = place.size();
        const std::string component = place.substr(at, end - at);
        at = end + 1;
        if (component.empty() || component == ".")
            continue;
        if (component == "..") {
            close(fd);
            return -1;
        }
        const int inner = openat(fd, component.c_str(), kFolderFlags);
        close(fd);
        fd = inner;
    }
    return fd;
}

// The folder and last component of the real place of `path`.
bool SplitPlace(const char *path, std::string *folder, std::string *name)
{
    const std::string place = RealPlace(path);
    const size_t slash = place.rfind('/');
    if (place.empty() || slash == std::string::npos || slash + 1 >= place.size())
        return false;
    *folder = slash == 0 ? std::string("/") : place.substr(0, slash);
    *name = place.substr(slash + 1);
    return *name != "." && *name != "..";
}

} // namespace

bool RemoveTree(const char *path)
{
    std::string folder, name;
    if (!path || !SplitPlace(path, &folder, &name))
        return false;
    const Descriptor parent(OpenRealFolder(folder));
    if (!parent.Valid())
        return errno == ENOENT;
    return RemoveEntry(parent.Get(), name.c_str());
}

bool DeleteFileIn(const char *folder, const char *name)
{
    if (!folder || !name || !*name || strpbrk(name, "\\/") || !strcmp(name, ".") || !strcmp(name, "..")) {
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    // The folder as it resolves now, links and all; then opened without
    // following anything, so a link put on the way since is refused.
    std::string mapped;
    if (!platform::MapWindowsName(folder, &mapped))
        return false;
    char resolved[PATH_MAX];
    if (!realpath(mapped.c_str(), resolved)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    const std::string place = resolved;
    const Descriptor parent(OpenRealFolder(place));
    if (!parent.Valid()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    // The entry's spelling as the platform matches names without case.
    std::string entryName;
    {
        std::string entryFolder;
        if (!SplitPlace((std::string(folder) + "\\" + name).c_str(), &entryFolder, &entryName) ||
            entryFolder != place) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return false;
        }
    }
    struct stat info;
    if (fstatat(parent.Get(), entryName.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        SetLastError(platform::ErrorFromErrno(errno));
        return false;
    }
    const DWORD result = DeleteEntry(parent.Get(), entryName.c_str(), info);
    SetLastError(result);
    return result == ERROR_SUCCESS;
}

} // namespace machine
