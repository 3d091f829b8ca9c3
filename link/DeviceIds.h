// The device's USB ids, as its USB-serial bridge reports them (four hex
// digits each). The bridge driver lists the device under a key named
// "VID_<vendor>+PID_<product>+..." (the port search matches these 17
// characters), so the device link, the installer's port search and the
// device stand-in all take them from here.
#pragma once

constexpr char kDeviceVendorId[] = "0403";
constexpr char kDeviceProductId[] = "6001";
