// The stand-in's event log: one line per event, each written whole with one
// write() to a file opened for appending, so a reader never sees half a line.
// Without a log file the events are dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace device {

class EventLog {
public:
    EventLog() = default;
    ~EventLog();
    EventLog(const EventLog &) = delete;
    EventLog &operator=(const EventLog &) = delete;

    bool Open(const std::string &path);
    bool IsOpen() const { return fd_ >= 0; }

    // printf-style; the newline is added.
    void Line(const char *format, ...) __attribute__((format(printf, 2, 3)));

    // "12 34 56" for up to `shown` bytes, then " ..." when there were more.
    static std::string Hex(const uint8_t *bytes, size_t count, size_t shown = 32);

private:
    int fd_ = -1;
};

} // namespace device
