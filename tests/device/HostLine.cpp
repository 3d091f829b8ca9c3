#include "HostLine.h"

#include <fcntl.h>
#include <unistd.h>

bool HostLine::Open(const std::string &path)
{
    Close();
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0)
        return false;
    if (!testsupport::MakeRaw(fd_)) {
        Close();
        return false;
    }
    return true;
}

void HostLine::Close()
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}
