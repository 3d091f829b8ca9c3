#include "Regular_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace regular_file {

bool Read(const std::string &place, size_t limit, std::string *bytes, struct stat *info)
{
    bytes->clear();
    int fd;
    do {
        fd = open(place.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    bool ok = fstat(fd, info) == 0 && S_ISREG(info->st_mode);
    if (ok) {
        const size_t size = static_cast<size_t>(info->st_size) < limit ? static_cast<size_t>(info->st_size) : limit;
        bytes->assign(size, '\0');
        size_t done = 0;
        while (ok && done < size) {
            const ssize_t got = read(fd, &(*bytes)[done], size - done);
            if (got < 0 && errno == EINTR)
                continue;
            ok = got > 0;
            if (ok)
                done += static_cast<size_t>(got);
        }
    }
    close(fd);
    return ok;
}

} // namespace regular_file
