// Copies of driver packages' INF files in the Windows folder's INF store,
// named "oem<N>.inf". A package whose INF is already there (same bytes)
// keeps its copy. The store's folder is locked while a copy is chosen, so
// two processes never take the same name or copy one INF twice.
#include "setupapi.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "kernel/ErrorCodes.h"
#include "kernel/PathResolution.h"
#include "machine/Paths.h"
#include "setup/InfFile.h"
#include "winbase.h"

namespace {

struct StoredInf {
    unsigned number;
    std::string name; // as it is spelt in the folder
};

// The number of an "oem<N>.inf" name (any case); false for other names.
bool OemNumber(const std::string &name, unsigned *number)
{
    if (name.size() < 8 || !platform::SameNameIgnoringCase(name.substr(0, 3), "oem") ||
        !platform::SameNameIgnoringCase(name.substr(name.size() - 4), ".inf"))
        return false;
    const std::string digits = name.substr(3, name.size() - 7);
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *number = static_cast<unsigned>(std::stoul(digits));
    return true;
}

std::vector<StoredInf> StoredInfs(const std::string &folder)
{
    std::vector<StoredInf> infs;
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return infs;
    while (const dirent *entry = readdir(dir)) {
        StoredInf inf{0, entry->d_name};
        if (OemNumber(inf.name, &inf.number))
            infs.push_back(inf);
    }
    closedir(dir);
    return infs;
}

DWORD WriteNew(const std::string &path, const std::string &bytes)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return platform::ErrorFromErrno(errno);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            const DWORD error = platform::ErrorFromErrno(wrote < 0 ? errno : ENOSPC);
            close(fd);
            unlink(path.c_str());
            return error;
        }
        done += static_cast<size_t>(wrote);
    }
    if (close(fd) != 0) {
        const DWORD error = platform::ErrorFromErrno(errno);
        unlink(path.c_str());
        return error;
    }
    return ERROR_SUCCESS;
}

bool SameFile(const std::string &a, const std::string &b)
{
    struct stat x, y;
    return stat(a.c_str(), &x) == 0 && stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

// Holds an exclusive lock on a folder while it lives.
class FolderLock {
public:
    explicit FolderLock(const std::string &folder) : fFd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (fFd >= 0) {
            while (flock(fFd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~FolderLock()
    {
        if (fFd >= 0)
            close(fFd);
    }
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

private:
    int fFd;
};

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

} // namespace

BOOL WINAPI SetupCopyOEMInfA(PCSTR SourceInfFileName, PCSTR, DWORD OEMSourceMediaType, DWORD CopyStyle,
                             PSTR DestinationInfFileName, DWORD DestinationInfFileNameSize, PDWORD RequiredSize,
                             PSTR *DestinationInfFileNameComponent)
{
    if (!SourceInfFileName || OEMSourceMediaType >= SPOST_MAX ||
        (!DestinationInfFileName && DestinationInfFileNameSize > 0))
        return Fail(ERROR_INVALID_PARAMETER);
    setup::InfFile inf;
    std::string bytes;
    const DWORD loaded = setup::LoadInf(SourceInfFileName, INF_STYLE_WIN4, &inf, &bytes, nullptr);
    if (loaded != ERROR_SUCCESS)
        return Fail(loaded);
    std::string source;
    platform::MapWindowsName(SourceInfFileName, &source);

    char windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length >= sizeof windows)
        return Fail(ERROR_PATH_NOT_FOUND);
    const std::string storeWindows = std::string(windows) + "\\inf";
    const std::string store = machine::UnixPath(storeWindows.c_str());
    if (mkdir(store.c_str(), 0755) != 0 && errno != EEXIST)
        return Fail(platform::ErrorFromErrno(errno));

    std::string name;
    bool existed = false;
    {
        FolderLock lock(store);
        const std::vector<StoredInf> stored = StoredInfs(store);
        for (const StoredInf &candidate : stored) {
            std::string content;
            if (setup::ReadWholeFile(store + "/" + candidate.name, &content) == ERROR_SUCCESS && content == bytes) {
                name = candidate.name;
                existed = true;
                break;
            }
        }
        if (!existed) {
            if (CopyStyle & SP_COPY_REPLACEONLY)
                return Fail(ERROR_FILE_NOT_FOUND);
            std::set<unsigned> taken;
            for (const StoredInf &candidate : stored)
                taken.insert(candidate.number);
            unsigned number = 0;
            while (taken.count(number))
                ++number;
            name = "oem" + std::to_string(number) + ".inf";
            const DWORD written = WriteNew(store + "/" + name, bytes);
            if (written != ERROR_SUCCESS)
                return Fail(written);
        }
    }
    const bool refused = existed && (CopyStyle & SP_COPY_NOOVERWRITE);
    if (!refused && (CopyStyle & SP_COPY_DELETESOURCE) && !SameFile(source, store + "/" + name))
        unlink(source.c_str());

    const std::string destination = storeWindows + "\\" + name;
    const DWORD needed = static_cast<DWORD>(destination.size() + 1);
    if (RequiredSize)
        *RequiredSize = needed;
    if (DestinationInfFileName) {
        if (DestinationInfFileNameSize < needed)
            return Fail(ERROR_INSUFFICIENT_BUFFER);
        memcpy(DestinationInfFileName, destination.c_str(), needed);
        if (DestinationInfFileNameComponent)
            *DestinationInfFileNameComponent = DestinationInfFileName + (destination.size() - name.size());
    }
    return refused ? Fail(ERROR_FILE_EXISTS) : TRUE;
}
