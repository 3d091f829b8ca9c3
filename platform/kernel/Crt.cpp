// The Windows C runtime's file calls on POSIX: fopen_s on Windows paths and
// the descriptor calls under their Windows names.
#include "wincrt.h"

#include <cerrno>
#include <climits>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

#include "SafePoint.h"
#include "machine/Paths.h"

namespace {

// Translation modes set on descriptors, with the file each one named then,
// so that a descriptor number reused for another file starts in text mode.
struct ModeEntry {
    dev_t device;
    ino_t inode;
    int mode;
};

std::mutex gModeLock;
std::unordered_map<int, ModeEntry> gModes;

// Records `mode` for `fd` and returns the mode it had; -1 for a bad fd.
int ExchangeMode(int fd, int mode)
{
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0)
        return -1;
    std::lock_guard<std::mutex> hold(gModeLock);
    auto found = gModes.find(fd);
    int previous = _O_TEXT;
    if (found != gModes.end() && found->second.device == info.st_dev && found->second.inode == info.st_ino)
        previous = found->second.mode;
    gModes[fd] = ModeEntry{info.st_dev, info.st_ino, mode};
    return previous;
}

// The POSIX mode for a Windows CRT mode: r, w or a, then '+', 'b' or 't', and
// 'x' after w, in any order; the CRT's other letters (c, n, N, S, R, T, D) are
// accepted and dropped. Streams are not passed on to child programs.
bool PosixMode(const char *mode, std::string *posix, bool *binary)
{
    if (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')
        return false;
    bool plus = false, text = false, exclusive = false;
    *binary = false;
    for (const char *p = mode + 1; *p; ++p) {
        switch (*p) {
        case '+': if (plus) return false; plus = true; break;
        case 'x': if (mode[0] != 'w' || exclusive) return false; exclusive = true; break;
        case 'b': if (*binary || text) return false; *binary = true; break;
        case 't': if (*binary || text) return false; text = true; break;
        case 'c': case 'n': case 'N': case 'S': case 'R': case 'T': case 'D': break;
        case ' ': break;
        default: return false;
        }
    }
    *posix = std::string(1, mode[0]) + (plus ? "+" : "") + (exclusive ? "x" : "") + "e";
    return true;
}

// fopen_s fails with `error` both set in errno and returned.
errno_t OpenFailure(int error)
{
    errno = error;
    return error;
}

// _read and _write: checks the buffer, then runs `transfer` (read or
// write), again while a signal interrupts it, between two safe points.
template <typename Buffer, typename Call>
int RetriedTransfer(int fd, Buffer *buffer, unsigned int count, Call transfer)
{
    if (count > INT_MAX || (!buffer && count)) {
        errno = EINVAL;
        return -1;
    }
    platform::SafePoint();
    ssize_t n;
    do {
        n = transfer(fd, buffer, count);
    } while (n < 0 && errno == EINTR);
    platform::SafePoint();
    return n < 0 ? -1 : static_cast<int>(n);
}

} // namespace

errno_t fopen_s(FILE **file, const char *name, const char *mode)
{
    if (file)
        *file = nullptr;
    std::string posix;
    bool binary = false;
    if (!file || !name || !mode || !*name || !PosixMode(mode, &posix, &binary))
        return OpenFailure(EINVAL);
    const std::string path = machine::UnixPath(name);
    if (path.empty())
        return OpenFailure(ENOENT);
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return OpenFailure(EACCES); // Windows does not open a folder as a stream
    FILE *stream = fopen(path.c_str(), posix.c_str());
    if (!stream)
        return OpenFailure(errno == EISDIR ? EACCES : errno);
    // A folder made in its place after the test above is refused as well.
    if (fstat(fileno(stream), &info) == 0 && S_ISDIR(info.st_mode)) {
        fclose(stream);
        return OpenFailure(EACCES);
    }
    ExchangeMode(fileno(stream), binary ? _O_BINARY : _O_TEXT);
    *file = stream;
    return 0;
}

int _setmode(int fd, int mode)
{
    if (mode != _O_BINARY && mode != _O_TEXT) {
        errno = EINVAL;
        return -1;
    }
    const int previous = ExchangeMode(fd, mode);
    if (previous < 0)
        errno = EBADF;
    return previous;
}

int _fileno(FILE *stream)
{
    if (!stream) {
        errno = EINVAL;
        return -1;
    }
    return fileno(stream);
}

int _read(int fd, void *buffer, unsigned int count) { return RetriedTransfer(fd, buffer, count, ::read); }

int _write(int fd, const void *buffer, unsigned int count) { return RetriedTransfer(fd, buffer, count, ::write); }
