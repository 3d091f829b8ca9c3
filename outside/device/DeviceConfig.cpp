#include "DeviceConfig.h"

#include <cstring>

namespace device {

const char *DeviceUsage()
{
    return "usage: arv_device [options]\n"
           "  --root DIR         machine root (default: $ARV_MACHINE_ROOT)\n"
           "  --port NAME        COM port name (default COM3)\n"
           "  --serial TEXT      USB serial number (default ARV0001)\n"
           "  --instance TEXT    bridge instance (default 0000)\n"
           "  --vid HEX --pid HEX  USB ids (default: the device's own)\n"
           "  --state NAME       ready, busy, error, document, silent or 0xNN\n"
           "  --scan FILE...     a document of 1728-dot-wide PBM pages\n"
           "  --keep             keep the document after a scan\n"
           "  --standard         scan at standard resolution (every second line)\n"
           "  --out DIR          folder for printed pages (default .)\n"
           "  --log FILE         event log\n"
           "  --control PATH     control socket\n"
           "  --paced            pace the wire at 19200 baud\n";
}

bool ParseDeviceConfig(int argc, char **argv, DeviceConfig *config, std::string *error)
{
    struct Valued {
        const char *name;
        std::string DeviceConfig::*field;
    };
    static const Valued valued[] = {
        {"--root", &DeviceConfig::root},       {"--port", &DeviceConfig::port},
        {"--serial", &DeviceConfig::serial},   {"--instance", &DeviceConfig::instance},
        {"--vid", &DeviceConfig::vendorId},    {"--pid", &DeviceConfig::productId},
        {"--state", &DeviceConfig::state},     {"--out", &DeviceConfig::outDir},
        {"--log", &DeviceConfig::logPath},     {"--control", &DeviceConfig::controlPath},
    };
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        bool matched = false;
        for (const Valued &option : valued) {
            if (strcmp(arg, option.name) != 0)
                continue;
            if (i + 1 >= argc) {
                *error = std::string(arg) + " needs a value";
                return false;
            }
            config->*option.field = argv[++i];
            matched = true;
            break;
        }
        if (matched)
            continue;
        if (strcmp(arg, "--scan") == 0) {
            while (i + 1 < argc && strncmp(argv[i + 1], "--", 2) != 0)
                config->scanPages.push_back(argv[++i]);
            if (config->scanPages.empty()) {
                *error = "--scan needs at least one file";
                return false;
            }
        } else if (strcmp(arg, "--paced") == 0) {
            config->paced = true;
        } else if (strcmp(arg, "--keep") == 0) {
            config->keepDocument = true;
        } else if (strcmp(arg, "--standard") == 0) {
            config->standard = true;
        } else if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
            config->help = true;
        } else {
            *error = std::string("unknown option ") + arg;
            return false;
        }
    }
    if (config->port.empty()) {
        *error = "empty port name";
        return false;
    }
    return true;
}

} // namespace device
