// Command-line options of arv_device.
#pragma once

#include <string>
#include <vector>

namespace device {

struct DeviceConfig {
    std::string root;          // machine root; empty: ARV_MACHINE_ROOT or the default
    std::string port = "COM3";
    std::string serial = "ARV0001";
    std::string instance = "0000";
    std::string vendorId, productId; // empty: the device's own ids
    std::string state;         // empty: document when --scan is given, else ready
    std::vector<std::string> scanPages;
    std::string outDir = ".";
    std::string logPath;
    std::string controlPath;
    bool paced = false;
    bool keepDocument = false;
    bool standard = false;
    bool help = false;
};

// Parses argv; false with a message on a bad option.
bool ParseDeviceConfig(int argc, char **argv, DeviceConfig *config, std::string *error);

const char *DeviceUsage();

} // namespace device
