#include "FreshFile.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// A name in `folder` that no other process or call picks at once.
std::string PassingName(const std::string &folder)
{
    static std::atomic<unsigned> counter{0};
    return folder + "/.arv-fresh-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

bool Retry(int result) { return result != 0 && errno == EINTR; }

} // namespace

std::string FolderOfPath(const std::string &path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void SyncFolder(const std::string &folder)
{
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

FreshFile::FreshFile(const std::string &folder, mode_t mode) : folder_(folder)
{
    do {
        fd_ = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // No unnamed files here: a name of its own, never one that exists.
        for (int tries = 0; tries < 100 && fd_ < 0; ++tries) {
            passing_ = PassingName(folder);
            fd_ = open(passing_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
            if (fd_ < 0 && errno != EEXIST && errno != EINTR)
                break;
        }
        if (fd_ < 0)
            passing_.clear();
    }
    if (fd_ >= 0 && fchmod(fd_, mode) != 0) {
        const int error = errno;
        if (!passing_.empty())
            unlink(passing_.c_str());
        passing_.clear();
        close(fd_);
        fd_ = -1;
        errno = error;
    }
}

FreshFile::~FreshFile()
{
    if (!passing_.empty())
        unlink(passing_.c_str());
    if (fd_ >= 0)
        close(fd_);
}

bool FreshFile::Write(const std::string &text)
{
    const char *at = text.data();
    size_t left = text.size();
    while (left > 0) {
        const ssize_t wrote = write(fd_, at, left);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            if (wrote == 0)
                errno = ENOSPC;
            return false;
        }
        at += wrote;
        left -= static_cast<size_t>(wrote);
    }
    return true;
}

bool FreshFile::Flush()
{
    int result;
    while (Retry(result = fsync(fd_))) {
    }
    return result == 0;
}

bool FreshFile::Name()
{
    if (!passing_.empty())
        return true;
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    for (int tries = 0; tries < 100; ++tries) {
        const std::string name = PassingName(folder_);
        if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            passing_ = name;
            return true;
        }
        if (errno != EEXIST && errno != EINTR)
            return false;
    }
    return false;
}

bool FreshFile::LinkAs(const std::string &path)
{
    if (fd_ < 0 || !Flush())
        return false;
    if (passing_.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        int result;
        while (Retry(result = linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW))) {
        }
        if (result != 0)
            return false;
    } else {
        int result;
        while (Retry(result = link(passing_.c_str(), path.c_str()))) {
        }
        if (result != 0)
            return false;
        unlink(passing_.c_str());
        passing_.clear();
    }
    SyncFolder(FolderOfPath(path));
    return true;
}

bool FreshFile::Replace(const std::string &path)
{
    if (fd_ < 0 || !Flush() || !Name())
        return false;
    if (rename(passing_.c_str(), path.c_str()) != 0)
        return false;
    passing_.clear();
    SyncFolder(FolderOfPath(path));
    return true;
}

} // namespace platform
