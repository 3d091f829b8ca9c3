#include "EventLog.h"

#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace device {

EventLog::~EventLog()
{
    if (fd_ >= 0)
        close(fd_);
}

bool EventLog::Open(const std::string &path)
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    return fd_ >= 0;
}

void EventLog::Line(const char *format, ...)
{
    if (fd_ < 0)
        return;
    char line[2048];
    va_list args;
    va_start(args, format);
    int length = vsnprintf(line, sizeof line - 1, format, args);
    va_end(args);
    if (length < 0)
        return;
    size_t size = static_cast<size_t>(length) < sizeof line - 1 ? static_cast<size_t>(length) : sizeof line - 2;
    line[size++] = '\n';
    ssize_t written = write(fd_, line, size);
    (void)written;
}

std::string EventLog::Hex(const uint8_t *bytes, size_t count, size_t shown)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    size_t limit = count < shown ? count : shown;
    text.reserve(limit * 3 + 4);
    for (size_t i = 0; i < limit; ++i) {
        if (i)
            text += ' ';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    if (count > limit)
        text += " ...";
    return text;
}

} // namespace device
