// A file opened with CreateFileA: a descriptor with its access and share
// modes. Share modes are kept among the files this process opens: a second
// opening of the same file must allow what the first one does, and leave
// open what the first one shares.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "IoObject.h"

namespace platform {

class FileObject final : public IoObject {
public:
    // Opens `unixPath` for CreateFileA; null with the last error set on failure.
    static std::shared_ptr<FileObject> Open(const std::string &unixPath, DWORD access,
                                            DWORD share, DWORD disposition, DWORD flags);
    ~FileObject() override;

    BOOL Read(void *buffer, DWORD count, DWORD *done) override;
    BOOL Write(const void *buffer, DWORD count, DWORD *done) override;
    BOOL Flush() override;

    int Descriptor() const { return fd_; }

    // True when no open file of this process on `unixPath` refuses deletion.
    static bool DeletionShared(const std::string &unixPath);
    // The same for the file `device`/`inode`.
    static bool DeletionShared(dev_t device, ino_t inode);

    FileObject(int fd, bool canRead, bool canWrite, std::string deleteOnClose);

private:
    int fd_;
    bool canRead_;
    bool canWrite_;
    std::string deleteOnClose_;
};

} // namespace platform
