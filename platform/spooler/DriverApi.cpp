// Printer drivers, per environment and version: added (or replaced) with
// the names of their files, and deleted while no printer uses them.
#include "winspool.h"

#include "machine/Spooler.h"
#include "spooler/SpoolerStore.h"
#include "winbase.h"

using spooler::Fail;

namespace {

// Drivers live in the spooler's driver folder; only a file's name is kept.
std::string FileName(const std::string &path) { return path.substr(path.find_last_of("\\/:") + 1); }

} // namespace

BOOL WINAPI AddPrinterDriverA(LPSTR pName, DWORD Level, LPBYTE pDriverInfo)
{
    DRIVER_INFO_2A info;
    if (!spooler::ReadAddedInfo(pName, Level, pDriverInfo, &info, sizeof info))
        return FALSE;
    const std::string name = spooler::Text(info.pName);
    const std::string driverFile = FileName(spooler::Text(info.pDriverPath));
    const std::string dataFile = FileName(spooler::Text(info.pDataFile));
    const std::string configFile = FileName(spooler::Text(info.pConfigFile));
    if (name.empty() || name.size() > ARV_REG_MAX_KEY_NAME || name.find_first_of("\\,") != std::string::npos ||
        driverFile.empty() || dataFile.empty() || configFile.empty())
        return Fail(ERROR_INVALID_PARAMETER);
    std::string environment;
    if (!spooler::KnownEnvironment(info.pEnvironment, &environment))
        return Fail(ERROR_INVALID_ENVIRONMENT);
    if (info.cVersion != spooler::EnvironmentVersion(environment))
        return Fail(ERROR_INVALID_PARAMETER);

    spooler::StoreLock lock;
    if (!lock.Held())
        return FALSE;
    const std::string versionKey = spooler::DriverVersionKey(environment, info.cVersion);
    std::string stored = name;
    spooler::FindSubKey(HKEY_LOCAL_MACHINE, versionKey, name, &stored);
    const LONG written = spooler::WriteValues(
        HKEY_LOCAL_MACHINE, versionKey + "\\" + stored,
        {spooler::StringValue("Driver", driverFile), spooler::StringValue("Data File", dataFile),
         spooler::StringValue("Configuration File", configFile), spooler::DwordValue("Version", info.cVersion)});
    return written == ERROR_SUCCESS ? TRUE : Fail(static_cast<DWORD>(written));
}

BOOL WINAPI DeletePrinterDriverA(LPSTR pName, LPSTR pEnvironment, LPSTR pDriverName)
{
    std::string name;
    if (!spooler::LocalName(pName, pDriverName, &name))
        return FALSE;
    std::string environment;
    if (!spooler::KnownEnvironment(pEnvironment, &environment))
        return Fail(ERROR_INVALID_ENVIRONMENT);

    spooler::StoreLock lock;
    if (!lock.Held())
        return FALSE;
    std::vector<std::string> keys;
    for (const std::string &version : spooler::SubKeys(HKEY_LOCAL_MACHINE, spooler::DriversKey(environment))) {
        const std::string versionKey = spooler::DriversKey(environment) + "\\" + version;
        std::string stored;
        if (spooler::FindSubKey(HKEY_LOCAL_MACHINE, versionKey, name, &stored))
            keys.push_back(versionKey + "\\" + stored);
    }
    if (keys.empty())
        return Fail(ERROR_UNKNOWN_PRINTER_DRIVER);
    // Printers are made on the local environment's drivers.
    if (environment == machine::kLocalEnvironment) {
        for (const spooler::PrinterRecord &printer : spooler::Printers()) {
            if (spooler::SameName(printer.driver, name))
                return Fail(ERROR_PRINTER_DRIVER_IN_USE);
        }
    }
    for (const std::string &key : keys) {
        const LONG deleted = spooler::DeleteKeyTree(HKEY_LOCAL_MACHINE, key);
        if (deleted != ERROR_SUCCESS)
            return Fail(static_cast<DWORD>(deleted));
    }
    return TRUE;
}
