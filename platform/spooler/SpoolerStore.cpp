#include "spooler/SpoolerStore.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "kernel/ErrorCodes.h"
#include "kernel/PathResolution.h"
#include "machine/MachineRoot.h"
#include "machine/Spooler.h"
#include "registry/SubKeyNames.h"
#include "winbase.h"

namespace spooler {

std::string MonitorKey(const std::string &monitor) { return std::string(machine::kMonitorsKey) + "\\" + monitor; }
std::string PortsKey(const std::string &monitor) { return MonitorKey(monitor) + "\\Ports"; }
std::string PortKey(const std::string &monitor, const std::string &port) { return PortsKey(monitor) + "\\" + port; }
std::string PrinterKey(const std::string &printer) { return std::string(machine::kPrintersKey) + "\\" + printer; }

std::string DriversKey(const std::string &environment)
{
    return std::string(machine::kEnvironmentsKey) + "\\" + environment + "\\Drivers";
}

std::string DriverVersionKey(const std::string &environment, DWORD version)
{
    return DriversKey(environment) + "\\Version-" + std::to_string(version);
}

bool SameName(const std::string &a, const std::string &b) { return platform::SameNameIgnoringCase(a, b); }

bool IsLocalServer(LPCSTR server)
{
    if (!server || !*server)
        return true;
    SetLastError(ERROR_INVALID_NAME);
    return false;
}

bool ReadAddedInfo(LPCSTR server, DWORD level, const BYTE *given, void *info, size_t size)
{
    if (!IsLocalServer(server))
        return false;
    if (level != 2)
        return Fail(ERROR_INVALID_LEVEL);
    if (!given)
        return Fail(ERROR_INVALID_PARAMETER);
    memcpy(info, given, size);
    return true;
}

bool LocalName(LPCSTR server, LPCSTR given, std::string *name)
{
    if (!IsLocalServer(server))
        return false;
    *name = Text(given);
    return !name->empty() || Fail(ERROR_INVALID_PARAMETER);
}

bool KnownEnvironment(LPCSTR given, std::string *environment)
{
    const std::string name = Text(given);
    for (const char *known : {machine::kLocalEnvironment, machine::kWindows95Environment}) {
        if (name.empty() || SameName(name, known)) {
            *environment = known;
            return true;
        }
    }
    return false;
}

DWORD EnvironmentVersion(const std::string &environment)
{
    return environment == machine::kWindows95Environment ? 0 : 3;
}

std::string Text(LPCSTR text) { return text ? std::string(text) : std::string(); }

StoredValue StringValue(const std::string &name, const std::string &text)
{
    return StoredValue{name, REG_SZ, std::string(text.c_str(), text.size() + 1)};
}

StoredValue DwordValue(const std::string &name, DWORD number)
{
    const char bytes[4] = {static_cast<char>(number & 0xFF), static_cast<char>((number >> 8) & 0xFF),
                           static_cast<char>((number >> 16) & 0xFF), static_cast<char>((number >> 24) & 0xFF)};
    return StoredValue{name, REG_DWORD, std::string(bytes, sizeof bytes)};
}

std::vector<std::string> SubKeys(HKEY root, const std::string &path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    std::vector<std::string> names = registry::SubKeyNames(key);
    RegCloseKey(key);
    return names;
}

bool FindSubKey(HKEY root, const std::string &path, const std::string &name, std::string *stored)
{
    for (const std::string &candidate : SubKeys(root, path)) {
        if (SameName(candidate, name)) {
            *stored = candidate;
            return true;
        }
    }
    return false;
}

bool ReadString(HKEY root, const std::string &path, const std::string &name, std::string *text)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 0;
    LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    std::string data;
    if (result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
        data.assign(size, '\0');
        result = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(&data[0]), &size);
        data.resize(size);
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    *text = data.substr(0, data.find('\0'));
    return true;
}

LONG WriteValues(HKEY root, const std::string &path, const std::vector<StoredValue> &values)
{
    HKEY key = nullptr;
    LONG result = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    for (const StoredValue &value : values) {
        result = RegSetValueExA(key, value.name.c_str(), 0, value.type,
                                reinterpret_cast<const BYTE *>(value.data.data()),
                                static_cast<DWORD>(value.data.size()));
        if (result != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
    return result;
}

LONG DeleteValue(HKEY root, const std::string &path, const std::string &name)
{
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS)
        return result;
    result = RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
    return result;
}

LONG DeleteKeyTree(HKEY root, const std::string &path) { return RegDeleteTreeA(root, path.c_str()); }

std::vector<std::string> Monitors() { return SubKeys(HKEY_LOCAL_MACHINE, machine::kMonitorsKey); }

std::vector<PortRecord> Ports()
{
    std::vector<PortRecord> ports;
    for (const std::string &monitor : Monitors()) {
        for (const std::string &port : SubKeys(HKEY_LOCAL_MACHINE, PortsKey(monitor)))
            ports.push_back(PortRecord{monitor, port});
    }
    return ports;
}

bool FindPort(const std::string &port, PortRecord *found)
{
    for (const PortRecord &record : Ports()) {
        if (SameName(record.port, port)) {
            *found = record;
            return true;
        }
    }
    return false;
}

std::vector<PrinterRecord> Printers()
{
    std::vector<PrinterRecord> printers;
    for (const std::string &name : SubKeys(HKEY_LOCAL_MACHINE, machine::kPrintersKey)) {
        PrinterRecord record{name, "", ""};
        ReadString(HKEY_LOCAL_MACHINE, PrinterKey(name), "Port", &record.port);
        ReadString(HKEY_LOCAL_MACHINE, PrinterKey(name), "Printer Driver", &record.driver);
        printers.push_back(record);
    }
    return printers;
}

StoreLock::StoreLock()
{
    const std::string path = machine::RegistryFolder() + "/spooler.lock";
    fFd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fFd < 0) {
        platform::SetLastErrorForPath(errno, path);
        return;
    }
    int locked;
    do
        locked = flock(fFd, LOCK_EX);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        SetLastError(platform::ErrorFromErrno(errno));
        close(fFd);
        fFd = -1;
    }
}

StoreLock::~StoreLock()
{
    if (fFd >= 0)
        close(fFd); // lets go of the lock
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

} // namespace spooler
