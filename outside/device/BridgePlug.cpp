#include "BridgePlug.h"

#include "DeviceIds.h"
#include "machine/FtdiBus.h"

namespace device {

BridgePlug::BridgePlug(const std::string &serial, const std::string &instance, const std::string &port,
                       const std::string &vendorId, const std::string &productId)
    : serial_(serial), instance_(instance), port_(port), vendorId_(vendorId), productId_(productId)
{
}

bool BridgePlug::Plug(const std::string &ttyPath)
{
    const char *vendor = vendorId_.empty() ? kDeviceVendorId : vendorId_.c_str();
    const char *product = productId_.empty() ? kDeviceProductId : productId_.c_str();
    plugged_ = machine::PlugDevice(serial_, instance_, port_, ttyPath, vendor, product);
    return plugged_;
}

bool BridgePlug::Unplug()
{
    const char *vendor = vendorId_.empty() ? kDeviceVendorId : vendorId_.c_str();
    const char *product = productId_.empty() ? kDeviceProductId : productId_.c_str();
    plugged_ = false;
    return machine::UnplugDevice(serial_, instance_, port_, vendor, product);
}

} // namespace device
