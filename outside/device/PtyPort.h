// The device's end of the serial line: a pseudo-terminal pair. The host
// opens the slave side (through the COM-port link); the device reads and
// writes the master side. The device keeps one slave descriptor open for its
// whole life, so the host closing and reopening the port never makes the
// master see a hang-up.
#pragma once

#include <string>

namespace device {

class PtyPort {
public:
    PtyPort() = default;
    ~PtyPort();
    PtyPort(const PtyPort &) = delete;
    PtyPort &operator=(const PtyPort &) = delete;

    // Opens the pair, sets the slave raw and the master non-blocking.
    bool Open(std::string *error);

    int Master() const { return master_; }
    const std::string &SlavePath() const { return slavePath_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

} // namespace device
