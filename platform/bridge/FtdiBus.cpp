#include "machine/FtdiBus.h"

#include "machine/MachineRoot.h"
#include "winreg.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace machine {
namespace {

std::string DeviceKey(const std::string &serial, const char *vendorId, const char *productId)
{
    return std::string(kFtdiBusKey) + "\\" + FtdiDeviceKeyName(serial, vendorId, productId);
}

bool LinkPort(const std::string &portName, const std::string &ttyPath)
{
    std::string link = PortLink(portName);
    mkdir(PortsFolder().c_str(), 0755);
    // Make the new link beside the old one and rename it over, so that the
    // port is never missing for a moment when it is replaced.
    std::string fresh = link + ".plug." + std::to_string(getpid());
    unlink(fresh.c_str());
    if (symlink(ttyPath.c_str(), fresh.c_str()) != 0)
        return false;
    if (rename(fresh.c_str(), link.c_str()) != 0) {
        unlink(fresh.c_str());
        return false;
    }
    return true;
}

bool UnlinkPort(const std::string &portName)
{
    std::string link = PortLink(portName);
    struct stat info;
    if (lstat(link.c_str(), &info) != 0)
        return errno == ENOENT;
    if (!S_ISLNK(info.st_mode))
        return false; // not a port link of ours: leave it
    return unlink(link.c_str()) == 0 || errno == ENOENT;
}

std::string ReadPortName(const std::string &parametersKey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parametersKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::string();
    char name[256];
    DWORD size = sizeof name - 1;
    DWORD type = 0;
    std::string result;
    if (RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE *>(name), &size) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        name[size] = '\0';
        result = name; // up to the first NUL
    }
    RegCloseKey(key);
    return result;
}

bool HasSubKeys(const std::string &keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD subKeys = 0;
    LSTATUS result = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                                      nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && subKeys > 0;
}

} // namespace

std::string FtdiDeviceKeyName(const std::string &serial, const char *vendorId, const char *productId)
{
    return std::string("VID_") + (vendorId ? vendorId : "") + "+PID_" + (productId ? productId : "") + "+" + serial;
}

std::string FtdiParametersKey(const std::string &serial, const std::string &instance, const char *vendorId,
                              const char *productId)
{
    return DeviceKey(serial, vendorId, productId) + "\\" + instance + "\\Device Parameters";
}

bool RegisterDevice(const std::string &serial, const std::string &instance, const std::string &portName,
                    const char *vendorId, const char *productId)
{
    if (instance.empty())
        return false;
    HKEY key = nullptr;
    std::string path = FtdiParametersKey(serial, instance, vendorId, productId);
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    LSTATUS result = RegSetValueExA(key, "PortName", 0, REG_SZ, reinterpret_cast<const BYTE *>(portName.c_str()),
                                    static_cast<DWORD>(portName.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool PlugDevice(const std::string &serial, const std::string &instance, const std::string &portName,
                const std::string &ttyPath, const char *vendorId, const char *productId)
{
    if (portName.empty() || portName.find('/') != std::string::npos)
        return false;
    return RegisterDevice(serial, instance, portName, vendorId, productId) && LinkPort(portName, ttyPath);
}

bool UnplugDevice(const std::string &serial, const std::string &instance, const std::string &portName,
                  const char *vendorId, const char *productId)
{
    if (instance.empty())
        return false;
    std::string device = DeviceKey(serial, vendorId, productId);
    std::string port = portName.empty() ? ReadPortName(FtdiParametersKey(serial, instance, vendorId, productId))
                                        : portName;
    bool ok = true;
    std::string instanceKey = device + "\\" + instance;
    LSTATUS result = RegDeleteTreeA(HKEY_LOCAL_MACHINE, instanceKey.c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        ok = false;
    if (!HasSubKeys(device)) {
        result = RegDeleteKeyA(HKEY_LOCAL_MACHINE, device.c_str());
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND && result != ERROR_ACCESS_DENIED)
            ok = false; // ERROR_ACCESS_DENIED: another instance came meanwhile
    }
    if (!port.empty() && port.find('/') == std::string::npos && !UnlinkPort(port))
        ok = false;
    return ok;
}

} // namespace machine
