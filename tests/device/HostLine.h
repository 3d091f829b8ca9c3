// The host's end of the stand-in's line for these tests: the COM-port link
// opened raw, with bounded reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PseudoTerminal.h"

class HostLine {
public:
    HostLine() = default;
    ~HostLine() { Close(); }
    HostLine(const HostLine &) = delete;
    HostLine &operator=(const HostLine &) = delete;

    bool Open(const std::string &path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    bool Write(const std::vector<uint8_t> &bytes) { return testsupport::WriteAll(fd_, bytes.data(), bytes.size()); }
    // Reads exactly `count` bytes, waiting at most `timeoutMs` in all; the
    // bytes that did come are returned either way.
    std::vector<uint8_t> Read(size_t count, int timeoutMs = 10000)
    {
        return testsupport::ReadWithin(fd_, count, timeoutMs);
    }

private:
    int fd_ = -1;
};
