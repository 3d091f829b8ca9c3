// The spooler's state in the registry (layout: machine/Spooler.h) and what
// every spooler call shares: the local-server check, name rules, and the
// lock that makes each change one step for every process of the machine,
// as the one spooler service of Windows does.
#pragma once

#include <string>
#include <vector>

#include "windef.h"
#include "winreg.h"

namespace spooler {

// Key paths below HKEY_LOCAL_MACHINE.
std::string MonitorKey(const std::string &monitor);
std::string PortsKey(const std::string &monitor);
std::string PortKey(const std::string &monitor, const std::string &port);
std::string PrinterKey(const std::string &printer);
std::string DriversKey(const std::string &environment);
std::string DriverVersionKey(const std::string &environment, DWORD version);

// Names compare as the registry compares them: without regard to ASCII case.
bool SameName(const std::string &a, const std::string &b);

// Only the local machine is served: a null or empty server name. Sets
// ERROR_INVALID_NAME for any other.
bool IsLocalServer(LPCSTR server);

// The environment a call names, in its standard spelling: null or "" is
// the local one. False for an environment the spooler does not know.
bool KnownEnvironment(LPCSTR given, std::string *environment);
// The driver version an environment keeps: 3 for the NT family, 0 for the
// 95 family.
DWORD EnvironmentVersion(const std::string &environment);

// The string, or "" for null.
std::string Text(LPCSTR text);

// How a call that adds something starts: the local server, information at
// level 2 (ERROR_INVALID_LEVEL otherwise) and not null
// (ERROR_INVALID_PARAMETER), copied to `info` of `size` bytes. False with
// the last error set.
bool ReadAddedInfo(LPCSTR server, DWORD level, const BYTE *given, void *info, size_t size);
// How a call on a named object starts: the local server and the object's
// name, which must not be empty (ERROR_INVALID_PARAMETER). False with the
// last error set.
bool LocalName(LPCSTR server, LPCSTR given, std::string *name);

// ---- Registry access ----------------------------------------------------------

struct StoredValue {
    std::string name;
    DWORD type;
    std::string data; // with the NUL for strings
};
StoredValue StringValue(const std::string &name, const std::string &text);
StoredValue DwordValue(const std::string &name, DWORD number);

// The subkeys of a key, in registry order and stored spelling; none when
// the key is missing.
std::vector<std::string> SubKeys(HKEY root, const std::string &path);
// The stored spelling of subkey `name` of `path`; false when there is none.
bool FindSubKey(HKEY root, const std::string &path, const std::string &name, std::string *stored);
// A string value, up to its first NUL; false when missing or not a string.
bool ReadString(HKEY root, const std::string &path, const std::string &name, std::string *text);
// Creates the key if needed and sets the values; a registry result code.
LONG WriteValues(HKEY root, const std::string &path, const std::vector<StoredValue> &values);
LONG DeleteValue(HKEY root, const std::string &path, const std::string &name);
// Deletes the key with everything below it.
LONG DeleteKeyTree(HKEY root, const std::string &path);

// ---- What the records say -------------------------------------------------------

struct PortRecord {
    std::string monitor;
    std::string port;
};
struct PrinterRecord {
    std::string name;
    std::string port;
    std::string driver;
};

// The monitors in registry order.
std::vector<std::string> Monitors();
// Every monitor's ports, monitor by monitor.
std::vector<PortRecord> Ports();
bool FindPort(const std::string &port, PortRecord *found);
std::vector<PrinterRecord> Printers();

// ---- One change at a time ---------------------------------------------------------

// Holds the machine's spooler lock (a file lock beside the hive files)
// while it lives; blocks until it is free.
class StoreLock {
public:
    StoreLock();
    ~StoreLock();
    StoreLock(const StoreLock &) = delete;
    StoreLock &operator=(const StoreLock &) = delete;

    // False when the lock file could not be had; the error is then set.
    bool Held() const { return fFd >= 0; }

private:
    int fFd = -1;
};

// Sets the last error and returns FALSE, for the calls' failure paths.
BOOL Fail(DWORD error);

} // namespace spooler
