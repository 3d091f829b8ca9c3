#include "FileObject.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "ErrorCodes.h"
#include "FileAttributes.h"
#include "winbase.h"
#include "winerror.h"

namespace platform {
namespace {

// The opens of one file that take part in share checks.
struct ShareEntry {
    const FileObject *owner;
    bool read;
    bool write;
    DWORD share;
};

typedef std::pair<dev_t, ino_t> FileKey;

std::mutex gShareLock;
std::map<FileKey, std::vector<ShareEntry>> gShares;

bool Compatible(const ShareEntry &open, const ShareEntry &wanted)
{
    if (wanted.read && !(open.share & FILE_SHARE_READ))
        return false;
    if (wanted.write && !(open.share & FILE_SHARE_WRITE))
        return false;
    if (open.read && !(wanted.share & FILE_SHARE_READ))
        return false;
    if (open.write && !(wanted.share & FILE_SHARE_WRITE))
        return false;
    return true;
}

bool Register(const FileKey &key, const ShareEntry &wanted)
{
    std::lock_guard<std::mutex> hold(gShareLock);
    std::vector<ShareEntry> &opens = gShares[key];
    for (const ShareEntry &open : opens)
        if (!Compatible(open, wanted))
            return false;
    opens.push_back(wanted);
    return true;
}

void Unregister(const FileObject *owner)
{
    std::lock_guard<std::mutex> hold(gShareLock);
    for (auto it = gShares.begin(); it != gShares.end(); ++it) {
        std::vector<ShareEntry> &opens = it->second;
        for (auto entry = opens.begin(); entry != opens.end(); ++entry) {
            if (entry->owner == owner) {
                opens.erase(entry);
                if (opens.empty())
                    gShares.erase(it);
                return;
            }
        }
    }
}

int OpenFlags(bool canRead, bool canWrite, DWORD disposition)
{
    int flags = O_CLOEXEC | O_NOCTTY;
    flags |= canRead && canWrite ? O_RDWR : canWrite ? O_WRONLY : O_RDONLY;
    if (disposition == CREATE_NEW)
        flags |= O_CREAT | O_EXCL;
    else if (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS)
        flags |= O_CREAT;
    return flags;
}

} // namespace

FileObject::FileObject(int fd, bool canRead, bool canWrite, std::string deleteOnClose)
    : fd_(fd), canRead_(canRead), canWrite_(canWrite), deleteOnClose_(std::move(deleteOnClose))
{
}

std::shared_ptr<FileObject> FileObject::Open(const std::string &unixPath, DWORD access,
                                             DWORD share, DWORD disposition, DWORD flags)
{
    const bool canRead = access & (GENERIC_READ | GENERIC_ALL | FILE_READ_DATA);
    const bool canWrite =
        access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA);
    if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING ||
        (disposition == TRUNCATE_EXISTING && !canWrite)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }

    struct stat before;
    const bool existed = stat(unixPath.c_str(), &before) == 0;
    if (existed && S_ISDIR(before.st_mode)) {
        SetLastError(disposition == CREATE_NEW ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED);
        return nullptr;
    }
    // A read-only file is neither written nor emptied, whoever asks.
    if (existed && IsReadOnly(before) && disposition != CREATE_NEW &&
        (canWrite || disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    const mode_t mode = (flags & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    int fd;
    do {
        fd = open(unixPath.c_str(), OpenFlags(canRead, canWrite, disposition), mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        SetLastErrorForPath(errno, unixPath);
        return nullptr;
    }

    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }

    std::string doomed = (flags & FILE_FLAG_DELETE_ON_CLOSE) ? unixPath : std::string();
    auto file = std::make_shared<FileObject>(fd, canRead, canWrite, std::move(doomed));
    if (S_ISREG(info.st_mode) && (canRead || canWrite) &&
        !Register(FileKey(info.st_dev, info.st_ino), ShareEntry{file.get(), canRead, canWrite, share})) {
        file->deleteOnClose_.clear();
        file.reset();
        SetLastError(ERROR_SHARING_VIOLATION);
        return nullptr;
    }

    const bool empty = (disposition == CREATE_ALWAYS && existed) || disposition == TRUNCATE_EXISTING;
    if (empty && S_ISREG(info.st_mode)) {
        const int result = canWrite ? ftruncate(fd, 0) : truncate(unixPath.c_str(), 0);
        if (result != 0) {
            const int error = errno;
            file->deleteOnClose_.clear();
            file.reset();
            SetLastError(ErrorFromErrno(error));
            return nullptr;
        }
    }
    SetLastError(existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS)
                     ? ERROR_ALREADY_EXISTS
                     : ERROR_SUCCESS);
    return file;
}

FileObject::~FileObject()
{
    Unregister(this);
    close(fd_);
    if (!deleteOnClose_.empty())
        unlink(deleteOnClose_.c_str());
}

BOOL FileObject::Read(void *buffer, DWORD count, DWORD *done)
{
    *done = 0;
    if (!canRead_) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    char *bytes = static_cast<char *>(buffer);
    while (*done < count) {
        ssize_t n = read(fd_, bytes + *done, count - *done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            SetLastError(ErrorFromErrno(errno));
            return FALSE;
        }
        if (n == 0)
            break;
        *done += static_cast<DWORD>(n);
    }
    return TRUE;
}

BOOL FileObject::Write(const void *buffer, DWORD count, DWORD *done)
{
    *done = 0;
    if (!canWrite_) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const char *bytes = static_cast<const char *>(buffer);
    while (*done < count) {
        ssize_t n = write(fd_, bytes + *done, count - *done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            SetLastError(n < 0 ? ErrorFromErrno(errno) : ERROR_DISK_FULL);
            return FALSE;
        }
        *done += static_cast<DWORD>(n);
    }
    return TRUE;
}

BOOL FileObject::Flush()
{
    if (!canWrite_) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        SetLastError(ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

bool FileObject::DeletionShared(const std::string &unixPath)
{
    struct stat info;
    if (stat(unixPath.c_str(), &info) != 0)
        return true;
    return DeletionShared(info.st_dev, info.st_ino);
}

bool FileObject::DeletionShared(dev_t device, ino_t inode)
{
    std::lock_guard<std::mutex> hold(gShareLock);
    auto found = gShares.find(FileKey(device, inode));
    if (found == gShares.end())
        return true;
    for (const ShareEntry &open : found->second)
        if (!(open.share & FILE_SHARE_DELETE))
            return false;
    return true;
}

} // namespace platform
