// Plugs the stand-in into the machine: the bridge driver's enumeration entry
// (serial, instance, PortName) and the COM-port link to the pseudo-terminal,
// as the bridge driver presents a real device.
#pragma once

#include <string>

namespace device {

class BridgePlug {
public:
    BridgePlug(const std::string &serial, const std::string &instance, const std::string &port,
               const std::string &vendorId, const std::string &productId);

    bool Plug(const std::string &ttyPath);
    bool Unplug();
    bool Plugged() const { return plugged_; }
    const std::string &Port() const { return port_; }

private:
    std::string serial_, instance_, port_, vendorId_, productId_;
    bool plugged_ = false;
};

} // namespace device
