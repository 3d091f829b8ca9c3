// The control commands (one a line, one answer line each, "ok ..." or
// "error ..."); the list is in the README.
#pragma once

#include "DeviceModel.h"
#include "EventLog.h"
#include "SerialLine.h"

#include <string>

namespace device {

class ControlCommands {
public:
    ControlCommands(DeviceModel &model, SerialLine &line, EventLog &log, const std::string &ttyPath)
        : model_(model), line_(line), log_(log), tty_(ttyPath)
    {
    }

    std::string Run(const std::string &line);
    bool QuitRequested() const { return quit_; }

private:
    std::string Dispatch(const std::vector<std::string> &words, const std::string &line);

    DeviceModel &model_;
    SerialLine &line_;
    EventLog &log_;
    std::string tty_;
    bool quit_ = false;
};

} // namespace device
