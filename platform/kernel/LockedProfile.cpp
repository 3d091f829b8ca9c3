#include "LockedProfile.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "FreshFile.h"

namespace platform {
namespace {

bool SameFile(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The path the open file has now, every link resolved.
bool RealPathOf(int fd, std::string *path)
{
    char buffer[PATH_MAX];
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = readlink(self.c_str(), buffer, sizeof buffer);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof buffer || buffer[0] != '/')
        return false;
    path->assign(buffer, static_cast<size_t>(length));
    return true;
}

// How often a file replaced under the name is opened again before giving up.
constexpr int kMostRounds = 1000;

} // namespace

LockedProfile::LockedProfile(const std::string &path, Mode mode)
{
    const bool change = mode != Mode::Read;
    const int noLink = mode == Mode::ChangeOwnFile ? O_NOFOLLOW : 0;
    // A file replaced while this waited for its lock is opened again; each
    // round sleeps in flock, and only a writer that finished can end it. A
    // name that never leads back to the file it opens (a place this process
    // cannot name) ends the rounds with a sharing failure.
    // O_NONBLOCK: opening a FIFO or a device in place of the file never
    // waits; such a file is refused once it is open.
    for (int round = 0;; ++round) {
        if (round == kMostRounds) {
            error_ = EBUSY;
            return;
        }
        do {
            fd_ = open(path.c_str(), (change ? O_RDWR | noLink : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
        } while (fd_ < 0 && errno == EINTR);
        // A missing file is made here, never through a link: O_EXCL refuses
        // a dangling link instead of making the file it names.
        if (fd_ < 0 && errno == ENOENT && change) {
            do {
                fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NONBLOCK | O_CLOEXEC, 0666);
            } while (fd_ < 0 && errno == EINTR);
            struct stat entry;
            if (fd_ < 0 && errno == EEXIST) {
                if (lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode)) {
                    error_ = EACCES;
                    return;
                }
                continue; // another process made it meanwhile
            }
        }
        if (fd_ < 0 && errno == ELOOP && noLink)
            errno = EACCES;
        if (fd_ < 0) {
            error_ = errno;
            return;
        }
        int locked;
        while ((locked = flock(fd_, change ? LOCK_EX : LOCK_SH)) != 0 && errno == EINTR) {
        }
        struct stat named;
        if (locked != 0 || fstat(fd_, &info_) != 0) {
            error_ = errno;
            break;
        }
        if (!S_ISREG(info_.st_mode)) {
            error_ = EACCES;
            break;
        }
        if (!RealPathOf(fd_, &real_)) {
            error_ = ENOENT;
            break;
        }
        if (stat(path.c_str(), &named) == 0 && SameFile(named, info_) && stat(real_.c_str(), &named) == 0 &&
            SameFile(named, info_))
            return;
        close(fd_);
        fd_ = -1;
    }
    close(fd_);
    fd_ = -1;
}

LockedProfile::~LockedProfile()
{
    if (fd_ >= 0)
        close(fd_); // releases the lock
}

bool LockedProfile::Read(std::string *text)
{
    text->clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = pread(fd_, buffer, sizeof buffer, static_cast<off_t>(text->size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        text->append(buffer, static_cast<size_t>(got));
    }
}

bool LockedProfile::Replace(const std::string &text)
{
    if (!S_ISREG(info_.st_mode)) {
        errno = EACCES;
        return false;
    }
    if (info_.st_nlink > 1) {
        errno = EACCES;
        return false;
    }
    FreshFile fresh(FolderOfPath(real_), info_.st_mode & 07777);
    if (!fresh.Made())
        return false;
    // The owner stays where this process may keep it (a process of another
    // user keeps the file's group at most).
    const bool owned = fchown(fresh.Descriptor(), info_.st_uid, info_.st_gid) == 0 ||
                       fchown(fresh.Descriptor(), static_cast<uid_t>(-1), info_.st_gid) == 0;
    static_cast<void>(owned);
    if (fchmod(fresh.Descriptor(), info_.st_mode & 07777) != 0 || !fresh.Write(text))
        return false;
    return fresh.Replace(real_);
}

} // namespace platform
