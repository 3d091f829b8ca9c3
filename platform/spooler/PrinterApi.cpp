// Printers: made on an installed driver and an existing port, opened by
// name, and deleted through a handle with the right to.
#include "winspool.h"

#include "machine/Spooler.h"
#include "spooler/DefaultPrinter.h"
#include "spooler/InjectedFailures.h"
#include "spooler/PrinterHandles.h"
#include "spooler/SpoolerStore.h"
#include "winbase.h"

using spooler::Fail;

namespace {

constexpr size_t kMaxPrinterName = 220;
constexpr const char *kPrintProcessor = "WinPrint";
constexpr const char *kDefaultDatatype = "RAW";

bool ValidPrinterName(const std::string &name)
{
    return !name.empty() && name.size() <= kMaxPrinterName && name.find_first_of("\\,") == std::string::npos;
}

HANDLE FailHandle(DWORD error)
{
    SetLastError(error);
    return nullptr;
}

} // namespace

HANDLE WINAPI AddPrinterA(LPSTR pName, DWORD Level, LPBYTE pPrinter)
{
    if (spooler::InjectedFailure(machine::testing::SpoolerCall::AddPrinter))
        return nullptr;
    PRINTER_INFO_2A info;
    if (!spooler::ReadAddedInfo(pName, Level, pPrinter, &info, sizeof info))
        return nullptr;
    const std::string name = spooler::Text(info.pPrinterName);
    if (!ValidPrinterName(name))
        return FailHandle(ERROR_INVALID_PRINTER_NAME);

    spooler::StoreLock lock;
    if (!lock.Held())
        return nullptr;
    std::string stored;
    if (spooler::FindSubKey(HKEY_LOCAL_MACHINE, machine::kPrintersKey, name, &stored))
        return FailHandle(ERROR_PRINTER_ALREADY_EXISTS);
    if (!spooler::SameName(spooler::Text(info.pPrintProcessor), kPrintProcessor))
        return FailHandle(ERROR_UNKNOWN_PRINTPROCESSOR);
    const std::string local = machine::kLocalEnvironment;
    const std::string versionKey = spooler::DriverVersionKey(local, spooler::EnvironmentVersion(local));
    std::string driver;
    if (!spooler::FindSubKey(HKEY_LOCAL_MACHINE, versionKey, spooler::Text(info.pDriverName), &driver))
        return FailHandle(ERROR_UNKNOWN_PRINTER_DRIVER);
    spooler::PortRecord port;
    if (!spooler::FindPort(spooler::Text(info.pPortName), &port))
        return FailHandle(ERROR_UNKNOWN_PORT);

    const std::string datatype = info.pDatatype && *info.pDatatype ? info.pDatatype : kDefaultDatatype;
    const LONG written = spooler::WriteValues(
        HKEY_LOCAL_MACHINE, spooler::PrinterKey(name),
        {spooler::StringValue("Name", name), spooler::StringValue("Share Name", spooler::Text(info.pShareName)),
         spooler::StringValue("Port", port.port), spooler::StringValue("Printer Driver", driver),
         spooler::StringValue("Description", spooler::Text(info.pComment)),
         spooler::StringValue("Location", spooler::Text(info.pLocation)),
         spooler::StringValue("Print Processor", kPrintProcessor), spooler::StringValue("Datatype", datatype),
         spooler::StringValue("Parameters", spooler::Text(info.pParameters)),
         spooler::StringValue("Separator File", spooler::Text(info.pSepFile)),
         spooler::DwordValue("Attributes", info.Attributes), spooler::DwordValue("Priority", info.Priority),
         spooler::DwordValue("Default Priority", info.DefaultPriority),
         spooler::DwordValue("StartTime", info.StartTime), spooler::DwordValue("UntilTime", info.UntilTime),
         spooler::DwordValue("Status", 0)});
    if (written != ERROR_SUCCESS) {
        spooler::DeleteKeyTree(HKEY_LOCAL_MACHINE, spooler::PrinterKey(name));
        return FailHandle(static_cast<DWORD>(written));
    }
    return spooler::OpenPrinterHandle(spooler::PrinterHandle{name, PRINTER_ALL_ACCESS});
}

BOOL WINAPI OpenPrinterA(LPSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSA pDefault)
{
    if (!phPrinter)
        return Fail(ERROR_INVALID_PARAMETER);
    *phPrinter = nullptr;
    std::string printer;
    if (!pPrinterName || !*pPrinterName ||
        !spooler::FindSubKey(HKEY_LOCAL_MACHINE, machine::kPrintersKey, pPrinterName, &printer))
        return Fail(ERROR_INVALID_PRINTER_NAME);
    const ACCESS_MASK access = pDefault && pDefault->DesiredAccess ? pDefault->DesiredAccess : PRINTER_ACCESS_USE;
    *phPrinter = spooler::OpenPrinterHandle(spooler::PrinterHandle{printer, access});
    return TRUE;
}

BOOL WINAPI ClosePrinter(HANDLE hPrinter)
{
    return spooler::ClosePrinterHandle(hPrinter) ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

BOOL WINAPI DeletePrinter(HANDLE hPrinter)
{
    spooler::PrinterHandle handle;
    if (!spooler::FindPrinterHandle(hPrinter, &handle))
        return Fail(ERROR_INVALID_HANDLE);
    if (!(handle.access & DELETE))
        return Fail(ERROR_ACCESS_DENIED);

    spooler::StoreLock lock;
    if (!lock.Held())
        return FALSE;
    std::string printer;
    if (!spooler::FindSubKey(HKEY_LOCAL_MACHINE, machine::kPrintersKey, handle.printer, &printer))
        return Fail(ERROR_PRINTER_DELETED);
    const LONG deleted = spooler::DeleteKeyTree(HKEY_LOCAL_MACHINE, spooler::PrinterKey(printer));
    if (deleted != ERROR_SUCCESS)
        return Fail(static_cast<DWORD>(deleted));
    spooler::ForgetDefaultPrinter(printer);
    return TRUE;
}
