// A file written whole before any name shows it: made without a name in its
// folder (or, where the file system cannot do that, under a passing name of
// its own), filled, flushed, and only then given its name. A process killed
// on the way leaves no half-written file under the name, and no file at all
// where the file system makes unnamed files.
#pragma once

#include <string>
#include <sys/types.h>

namespace platform {

class FreshFile {
public:
    // A new empty file in `folder` with the permissions `mode` (as given,
    // not cut by the umask).
    FreshFile(const std::string &folder, mode_t mode);
    // Closes it; a passing name that still shows it is removed.
    ~FreshFile();
    FreshFile(const FreshFile &) = delete;
    FreshFile &operator=(const FreshFile &) = delete;

    // False with errno set when the file could not be made.
    bool Made() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }

    // Appends all of `text`; false with errno set.
    bool Write(const std::string &text);

    // Flushes the file and gives it the name `path`, unless something has
    // that name already (false, errno EEXIST); false with errno set.
    bool LinkAs(const std::string &path);
    // Flushes the file and renames it over `path` (which need not exist);
    // false with errno set, `path` then untouched.
    bool Replace(const std::string &path);

private:
    // Gives the unnamed file a passing name beside its siblings.
    bool Name();
    bool Flush();

    std::string folder_;
    std::string passing_; // the file's name while it has one of its own
    int fd_ = -1;
};

// Flushes the folder itself, so that a rename or link in it lasts.
void SyncFolder(const std::string &folder);

// The folder part of a Unix path ("." for a bare name).
std::string FolderOfPath(const std::string &path);

} // namespace platform
