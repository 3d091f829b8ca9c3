#include "registry/HiveStore.h"

#include "registry/HiveText.h"
#include "winerror.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace registry {
namespace {

std::string FolderOf(const std::string &file)
{
    size_t slash = file.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : file.substr(0, slash);
}

LONG CodeForErrno(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS: return ERROR_ACCESS_DENIED;
    case ENOSPC: return ERROR_DISK_FULL;
    default: return ERROR_CANTWRITE;
    }
}

bool WriteAll(int fd, const std::string &text)
{
    const char *at = text.data();
    size_t left = text.size();
    while (left > 0) {
        ssize_t written = write(fd, at, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        at += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

bool ReadAll(int fd, off_t sizeHint, std::string *text)
{
    text->clear();
    text->reserve(sizeHint > 0 ? static_cast<size_t>(sizeHint) : 0);
    char buffer[65536];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        text->append(buffer, static_cast<size_t>(got));
    }
}

// Holds the exclusive writer lock of one hive while it lives.
class WriterLock {
public:
    explicit WriterLock(const std::string &file)
    {
        std::string path = file + ".lock";
        fFd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fFd < 0 && errno == ENOENT) {
            // The registry folder went away: make it again.
            mkdir(FolderOf(file).c_str(), 0755);
            fFd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        }
        if (fFd < 0) {
            fError = errno;
            return;
        }
        while (flock(fFd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                fError = errno;
                close(fFd);
                fFd = -1;
                return;
            }
        }
    }
    ~WriterLock()
    {
        if (fFd >= 0)
            close(fFd); // releases the lock
    }
    WriterLock(const WriterLock &) = delete;
    WriterLock &operator=(const WriterLock &) = delete;

    bool Held() const { return fFd >= 0; }
    int Error() const { return fError; }

private:
    int fFd = -1;
    int fError = 0;
};

bool Later(const struct timespec &a, const struct timespec &b)
{
    return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec > b.tv_nsec);
}

} // namespace

bool HiveStore::Identity::operator==(const Identity &other) const
{
    if (exists != other.exists)
        return false;
    if (!exists)
        return true;
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

HiveStore::Identity HiveStore::IdentityOf(const struct stat &info)
{
    Identity identity;
    identity.exists = true;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modified = info.st_mtim;
    return identity;
}

bool HiveStore::StatIdentity(const std::string &file, Identity *identity, int *error)
{
    struct stat info;
    *identity = Identity();
    if (stat(file.c_str(), &info) != 0) {
        *error = errno;
        return false;
    }
    *identity = IdentityOf(info);
    return true;
}

HiveStore::Entry &HiveStore::Load(const std::string &file)
{
    Entry &entry = fEntries[file];
    Identity now;
    int error = 0;
    bool present = StatIdentity(file, &now, &error);
    if (entry.valid && now == entry.identity)
        return entry;

    entry.valid = false;
    entry.hive = Hive();
    if (!present && error == ENOENT) {
        entry.identity = now;
        entry.valid = true;
        return entry;
    }
    int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) { // removed between stat and open
            entry.identity = Identity();
            entry.valid = true;
            return entry;
        }
        entry.hive.refusal = ERROR_CANTREAD;
        entry.hive.problem = strerror(errno);
        return entry; // not valid: tried again on the next call
    }
    struct stat info;
    std::string text;
    const char *problem = nullptr;
    if (fstat(fd, &info) != 0)
        problem = strerror(errno);
    else if (!S_ISREG(info.st_mode))
        problem = "not a regular file";
    else if (!ReadAll(fd, info.st_size, &text))
        problem = strerror(errno);
    if (problem) {
        entry.hive.refusal = ERROR_CANTREAD;
        entry.hive.problem = problem;
        close(fd);
        return entry;
    }
    close(fd);
    entry.hive = ParseHive(text);
    entry.identity = IdentityOf(info);
    entry.valid = true;
    return entry;
}

Hive &HiveStore::Current(const std::string &file) { return Load(file).hive; }

LONG HiveStore::Save(const std::string &file, Entry &entry)
{
    std::string text = WriteHive(entry.hive);
    std::string fresh = file + ".new";
    int fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return CodeForErrno(errno);

    // A modification time that no earlier version of the file had.
    struct timespec stamp;
    clock_gettime(CLOCK_REALTIME, &stamp);
    if (entry.identity.exists) {
        struct timespec floor = entry.identity.modified;
        floor.tv_nsec += 1000;
        if (floor.tv_nsec >= 1000000000L) {
            floor.tv_nsec -= 1000000000L;
            ++floor.tv_sec;
        }
        if (!Later(stamp, floor))
            stamp = floor;
    }
    struct timespec times[2] = {{0, UTIME_OMIT}, stamp};

    struct stat info;
    bool ok = WriteAll(fd, text) && futimens(fd, times) == 0 && fsync(fd) == 0 && fstat(fd, &info) == 0;
    int error = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok || rename(fresh.c_str(), file.c_str()) != 0) {
        if (ok)
            error = errno;
        unlink(fresh.c_str());
        return CodeForErrno(error);
    }
    // Make the rename itself durable.
    int folder = open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    entry.identity = IdentityOf(info);
    entry.valid = true;
    return ERROR_SUCCESS;
}

LONG HiveStore::Change(const std::string &file, const std::function<LONG(Hive &hive, bool &changed)> &change)
{
    WriterLock lock(file);
    if (!lock.Held())
        return CodeForErrno(lock.Error());
    Entry &entry = Load(file);
    if (entry.hive.refusal)
        return entry.hive.refusal;
    bool changed = false;
    LONG result = change(entry.hive, changed);
    if (result != ERROR_SUCCESS || !changed)
        return result;
    result = Save(file, entry);
    if (result != ERROR_SUCCESS)
        entry.valid = false; // the file still holds the old hive: read it again
    return result;
}

} // namespace registry
