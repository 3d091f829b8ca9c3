// Test and benchmark harness for the device stand-in `arv_device`: starts the
// stand-in as a separate process on a fresh pseudo-terminal in the current
// machine root (ARV_MACHINE_ROOT), talks to its control socket, reads its log
// and the pages it printed. The control commands and the log format are in
// outside/device/README.md.
//
//   standin::DeviceOptions options;
//   options.state = "busy";
//   standin::DeviceProcess device(options);
//   ASSERT_TRUE(device.Started());
//   ... open machine::PortLink(device.PortName()) and speak to it ...
//   device.Command("fault drop-ack 3");
//   device.WaitForLog("end-of-page page=1", 10000);
#pragma once

#include "Pbm.h"
#include "ZeroRun.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace standin {

struct DeviceOptions {
    std::string port = "COM3", serial = "ARV0001", instance = "0000", state = "ready";
    std::string vendorId, productId; // empty: the device's own ids
    bool paced = false;                  // 19200 baud, 10 bits a byte, both ways
    std::vector<std::string> scanPages;  // PBM files of a document lying in the device
    std::vector<std::string> extraArgs;  // further command-line options, passed as given
};

class DeviceProcess {
public:
    // Starts the stand-in and returns once it has plugged itself in (its
    // registry entry and COM-port link exist) or has failed to start (then
    // Started() is false and Error() says why). Waits at most 30 s.
    explicit DeviceProcess(const DeviceOptions &options = DeviceOptions());
    // Stops the stand-in by its pid (SIGTERM, then SIGKILL after a grace of
    // 10 s) and removes its temporary folder.
    ~DeviceProcess();

    DeviceProcess(const DeviceProcess &) = delete;
    DeviceProcess &operator=(const DeviceProcess &) = delete;

    bool Started() const { return pid_ > 0 && started_; }
    const std::string &Error() const { return error_; }

    // Sends one control command and waits (up to 10 s) for its answer line.
    // True when the answer begins with "ok"; the whole answer goes to `reply`.
    bool Command(const std::string &line, std::string *reply = nullptr);

    // The log so far, and a bounded wait until it holds `needle` at least
    // `occurrences` times (checked every few milliseconds).
    std::string Log() const;
    bool WaitForLog(const std::string &needle, int timeoutMs, int occurrences = 1) const;
    int CountInLog(const std::string &needle) const;

    // Printed pages, in the order printed (page-0001.pbm, ...).
    std::vector<std::string> PagePaths() const;
    std::string OutputFolder() const { return folder_ + "/out"; }
    std::string LogPath() const { return folder_ + "/device.log"; }
    std::string ControlPath() const { return folder_ + "/control"; }
    // A fresh folder inside the harness's temporary folder (for test input).
    std::string ScratchFolder() const { return folder_ + "/scratch"; }

    std::string PortName() const { return port_; }
    // The pseudo-terminal's slave side, which the port link points at.
    std::string TtyPath() const { return tty_; }
    pid_t Pid() const { return pid_; }

    // Stops the stand-in now (as the destructor does) and returns its wait
    // status, or -1 when it was not running. Idempotent.
    int Stop();

private:
    bool Launch(const DeviceOptions &options);
    bool WaitReady(int readFd);

    std::string folder_;
    std::string port_;
    std::string tty_;
    std::string error_;
    pid_t pid_ = -1;
    bool started_ = false;
    int exitStatus_ = -1;
};

} // namespace standin
