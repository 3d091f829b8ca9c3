// The stand-in's one event loop: poll() over the pseudo-terminal's master,
// the control socket and the signal pipe, with a timer only while the wire
// pacing or an incomplete frame needs one. No threads, no busy waiting.
#pragma once

#include "ControlCommands.h"
#include "ControlServer.h"
#include "DeviceModel.h"
#include "EventLog.h"
#include "FrameParser.h"
#include "SerialLine.h"

namespace device {

class DeviceLoop {
public:
    // A host frame left incomplete this long is dropped.
    static constexpr int64_t kIncompleteGapNs = 2000000000;
    // While scanning, records are made ahead up to this many queued bytes.
    static constexpr size_t kScanAhead = 8192;

    DeviceLoop(SerialLine &line, DeviceModel &model, ControlServer &control, ControlCommands &commands,
               EventLog &log, int signalFd)
        : line_(line), model_(model), control_(control), commands_(commands), log_(log), signalFd_(signalFd)
    {
    }

    // Runs until a signal or the quit command; false when the wire failed.
    bool Run();

private:
    SerialLine &line_;
    DeviceModel &model_;
    ControlServer &control_;
    ControlCommands &commands_;
    EventLog &log_;
    int signalFd_;
    FrameParser parser_;
};

} // namespace device
