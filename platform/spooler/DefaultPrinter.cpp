// The current user's default printer: the value "Device" of the user's
// "Windows" key, "<printer>,winspool,<port>".
#include "spooler/DefaultPrinter.h"

#include <cstring>

#include "machine/Spooler.h"
#include "spooler/SpoolerStore.h"
#include "winspool.h"

using spooler::Fail;

namespace spooler {

std::string DefaultPrinterName()
{
    std::string device;
    if (!ReadString(HKEY_CURRENT_USER, machine::kWindowsKey, machine::kDefaultPrinterValue, &device))
        return std::string();
    return device.substr(0, device.find(','));
}

void ForgetDefaultPrinter(const std::string &printer)
{
    const std::string current = DefaultPrinterName();
    if (!current.empty() && SameName(current, printer))
        DeleteValue(HKEY_CURRENT_USER, machine::kWindowsKey, machine::kDefaultPrinterValue);
}

} // namespace spooler

namespace {

LONG MakeDefault(const spooler::PrinterRecord &printer)
{
    return spooler::WriteValues(
        HKEY_CURRENT_USER, machine::kWindowsKey,
        {spooler::StringValue(machine::kDefaultPrinterValue, printer.name + ",winspool," + printer.port)});
}

} // namespace

BOOL WINAPI SetDefaultPrinterA(LPCSTR pszPrinter)
{
    const std::string name = spooler::Text(pszPrinter);
    spooler::StoreLock lock;
    if (!lock.Held())
        return FALSE;
    const std::vector<spooler::PrinterRecord> printers = spooler::Printers();
    const std::string wanted = name.empty() ? spooler::DefaultPrinterName() : name;
    for (const spooler::PrinterRecord &printer : printers) {
        if (!wanted.empty() && spooler::SameName(printer.name, wanted)) {
            if (name.empty())
                return TRUE; // the default there is stays
            const LONG result = MakeDefault(printer);
            return result == ERROR_SUCCESS ? TRUE : Fail(static_cast<DWORD>(result));
        }
    }
    if (!name.empty())
        return Fail(ERROR_INVALID_PRINTER_NAME);
    if (printers.empty())
        return TRUE;
    const LONG result = MakeDefault(printers.front());
    return result == ERROR_SUCCESS ? TRUE : Fail(static_cast<DWORD>(result));
}

BOOL WINAPI GetDefaultPrinterA(LPSTR pszBuffer, LPDWORD pcchBuffer)
{
    if (!pcchBuffer)
        return Fail(ERROR_INVALID_PARAMETER);
    const std::string name = spooler::DefaultPrinterName();
    if (name.empty())
        return Fail(ERROR_FILE_NOT_FOUND);
    const DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (!pszBuffer || *pcchBuffer < needed) {
        *pcchBuffer = needed;
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    memcpy(pszBuffer, name.c_str(), needed);
    *pcchBuffer = needed;
    return TRUE;
}
