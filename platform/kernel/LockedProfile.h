// A profile file held under its lock while it is read, or read and
// replaced. The lock is an flock on the file itself: shared to read,
// exclusive to change. A change writes a new file beside it and renames it
// over the old, so a writer killed at any moment leaves the old file or the
// new one whole; whoever gets the lock checks that the name still shows the
// file it locked (a writer or the machine's restart may have put another in
// its place) and else takes the lock again on the file the name shows now.
//
// A profile reached through a symbolic link is the file the link names: the
// new file replaces that file, in its folder, and the link stays. A file
// with further names (hard links) is refused for changes, since replacing it
// would silently leave the other names with the old text.
#pragma once

#include <string>
#include <sys/stat.h>

namespace platform {

class LockedProfile {
public:
    // ChangeOwnFile changes only a file that the name itself is: a link
    // there is refused (EACCES).
    enum class Mode { Read, Change, ChangeOwnFile };
    // Opens the file at the Unix path `path` and takes its lock. To change
    // it, a missing file is made (empty) in its folder; a dangling link is
    // refused (EACCES), the file it names is not made.
    LockedProfile(const std::string &path, Mode mode);
    ~LockedProfile();
    LockedProfile(const LockedProfile &) = delete;
    LockedProfile &operator=(const LockedProfile &) = delete;

    // False with Error() the errno when the file could not be opened or
    // locked.
    bool Open() const { return fd_ >= 0; }
    int Error() const { return error_; }

    // The whole file; false with errno set.
    bool Read(std::string *text);
    // Puts `text` in the file's place with the file's permissions; false
    // with errno set, the file then as it was.
    bool Replace(const std::string &text);

private:
    int fd_ = -1;
    int error_ = 0;
    std::string real_; // the file's own path, links resolved
    struct stat info_ {};
};

} // namespace platform
