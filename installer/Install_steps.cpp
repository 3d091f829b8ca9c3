// The four steps of an install run: files and port monitor, printer, the
// USB bridge's INF files, uninstall entry and shortcut. Each step works out
// the system folder, the media folders and the monitor for the Windows
// family anew, shows its own message when it fails and returns its code.
#include <cstring>
#include <initializer_list>
#include <string>

#include "windows.h"
#include "setupapi.h"
#include "shellapi.h"
#include "shlobj.h"
#include "winspool.h"

#include "Dialogs.h"
#include "Install_names.h"
#include "Main2.h"
#include "Registry.h"
#include "Step_messages.h"

using namespace install_names;

namespace {

// Result codes of InstallStep.
enum {
    kDone = 0,
    kMonitorListFailed = 2,
    kNoSystemFolder = 3,
    kAddMonitorFailed = 5,
    kAddPortFailed = 6,
    kCopyFailed = 7,
    kStepFailed = 8,
    kPrinterExists = 9,
    kNoRedMonKey = 10,
    kNoLastPort = 11,
};

constexpr DWORD kFolderBuffer = 4096;
constexpr DWORD kMonitorListSize = 4096;
// Source and destination of a copy, each ended by two zero characters.
constexpr size_t kCopyBuffer = 256;
// "LastPort" with its zero.
constexpr size_t kPortBuffer = 20;
constexpr DWORD kOemInfBuffer = 260;
// Command lines of the service program and the shortcut tool: as long as
// the install folder needs, up to the 32767 characters (zero included) that
// Windows takes.
constexpr size_t kCommandLineLimit = 32767;
constexpr FILEOP_FLAGS kCopyFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI; // 0x614
constexpr DWORD kUserDefaultLanguage = 0x400;
constexpr const char *kMakerAddress = "http://www.veltrona.example/";

// Titles and texts of the failures.
constexpr int kPrinterFailedText = 77;
constexpr int kAlreadyThereTitle = 61;
constexpr int kAlreadyThereText = 62;
// "Error: 112", the error title that no other failure uses.
constexpr int kCommandTitle = 48;

std::string WithBackslash(std::string path)
{
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

// What every step works out first.
struct StepContext {
    const char *environment = nullptr; // the port monitor's environment
    const char *library = nullptr;     // and its library for this family
    std::string system;                // system folder, ending in "\"
    std::string media;                 // folder of the running installer, ending in "\"; "" when unknown
    std::string drivers;               // media + "drivers\"
    std::string programs;              // media + "bin\mfp\"
    std::string monitors;              // media + "bin\vp\"
};

bool SystemFolder(std::string *folder)
{
    char buffer[kFolderBuffer];
    const UINT length = GetSystemDirectoryA(buffer, kFolderBuffer);
    if (length == 0 || length >= kFolderBuffer)
        return false;
    *folder = WithBackslash(buffer);
    return true;
}

std::string MediaFolder()
{
    char module[kFolderBuffer];
    memset(module, 0, sizeof module);
    const DWORD length = GetModuleFileNameA(nullptr, module, kFolderBuffer);
    if (length == 0 || length >= kFolderBuffer)
        return std::string();
    char *lastSeparator = strrchr(module, '\\');
    if (!lastSeparator)
        return std::string();
    lastSeparator[1] = '\0';
    return module;
}

// One SHFileOperationA copy. Each path goes into a zero-filled buffer of
// 256 characters; a path that would not leave its two zeros fails the copy.
bool CopyFiles(const std::string &from, const std::string &to)
{
    if (from.empty() || to.empty() || from.size() > kCopyBuffer - 2 || to.size() > kCopyBuffer - 2)
        return false;
    char source[kCopyBuffer];
    char destination[kCopyBuffer];
    memset(source, 0, sizeof source);
    memset(destination, 0, sizeof destination);
    memcpy(source, from.data(), from.size());
    memcpy(destination, to.data(), to.size());
    SHFILEOPSTRUCTA operation;
    memset(&operation, 0, sizeof operation);
    operation.hwnd = nullptr;
    operation.wFunc = FO_COPY;
    operation.pFrom = source;
    operation.pTo = destination;
    operation.fFlags = kCopyFlags;
    return SHFileOperationA(&operation) == 0;
}

// The running installer's own file, as the fourth copy takes it: "" when
// it does not fit the copy's buffer.
std::string OwnFile()
{
    char module[kCopyBuffer];
    memset(module, 0, sizeof module);
    const DWORD length = GetModuleFileNameA(nullptr, module, kCopyBuffer);
    if (length == 0 || length > kCopyBuffer - 2)
        return std::string();
    return module;
}

bool MonitorListed(const BYTE *list, DWORD returned)
{
    const MONITOR_INFO_1A *monitors = reinterpret_cast<const MONITOR_INFO_1A *>(list);
    for (DWORD i = 0; i < returned; ++i) {
        if (monitors[i].pName && lstrcmpA(monitors[i].pName, kMonitorName) == 0)
            return true;
    }
    return false;
}

// A string value with its zero counted in its length.
void SetString(HKEY key, const char *name, const std::string &value)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

std::string Quoted(const std::string &text) { return "\"" + text + "\""; }

// Whether a command line made of these paths can be run as meant: no path
// holds a double quote (which no quoting carries) and the line fits.
bool Buildable(const std::string &line, std::initializer_list<const std::string *> paths)
{
    for (const std::string *path : paths)
        if (path->find('"') != std::string::npos)
            return false;
    return line.size() < kCommandLineLimit;
}

} // namespace

int TForm2::InstallStep(int step)
{
    StepContext context;
    const bool windows95 = (GetVersion() & 0x80000000u) != 0;
    context.environment = windows95 ? k95Environment : kNtEnvironment;
    context.library = windows95 ? k95MonitorLibrary : kNtMonitorLibrary;
    if (!SystemFolder(&context.system)) {
        ReportStepFailure(this, 36, 52);
        return kNoSystemFolder;
    }
    context.media = MediaFolder();
    if (!context.media.empty()) {
        context.drivers = context.media + "drivers\\";
        context.programs = context.media + "bin\\" + "mfp\\";
        context.monitors = context.media + "bin\\" + "vp\\";
    }
    const std::string folder = FInstallDir ? FInstallDir->str() : std::string();

    switch (step) {
    case 1: {
        // Files, port monitor and port.
        alignas(8) BYTE list[kMonitorListSize];
        memset(list, 0, sizeof list);
        DWORD needed = 0;
        DWORD returned = 0;
        if (!EnumMonitorsA(nullptr, 1, list, kMonitorListSize, &needed, &returned)) {
            ReportStepFailure(this, 38, kPrinterFailedText);
            return kMonitorListFailed;
        }
        const bool present = MonitorListed(list, returned);

        // Without a media folder there is nothing to copy from.
        const std::string drivers = context.drivers.empty() ? std::string()
                                                            : context.drivers.substr(0, context.drivers.size() - 1);
        const bool copied = !context.media.empty() && CopyFiles(context.monitors + "*", context.system) &&
                            CopyFiles(drivers, folder) && CopyFiles(context.programs + "*", folder) &&
                            CopyFiles(OwnFile(), folder);
        if (!copied) {
            ReportStepFailure(this, kAlreadyThereTitle, kAlreadyThereText);
            return kCopyFailed;
        }

        if (!present) {
            std::string name = kMonitorName;
            std::string environment = context.environment;
            std::string library = context.library;
            MONITOR_INFO_2A monitor;
            monitor.pName = &name[0];
            monitor.pEnvironment = &environment[0];
            monitor.pDLLName = &library[0];
            if (!AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&monitor))) {
                ReportStepFailure(this, 39, kPrinterFailedText);
                return kAddMonitorFailed;
            }
        }
        std::string monitorName = kMonitorName;
        if (!AddPortA(nullptr, nullptr, &monitorName[0])) {
            ReportStepFailure(this, 40, kPrinterFailedText);
            return kAddPortFailed;
        }
        return kDone;
    }
    case 2: {
        // Printer on the new port, made the default, and the port's command.
        TRegistry *redMon = new TRegistry;
        if (!redMon->OpenKeyReadOnly(kRedMonKey)) {
            delete redMon;
            ReportStepFailure(this, 41, kPrinterFailedText);
            return kNoRedMonKey;
        }
        // A port name that does not fit its buffer counts as no port.
        const bool havePort =
            redMon->ValueExists(kLastPortValue) && redMon->ReadString(kLastPortValue).Length() < int(kPortBuffer);
        if (!havePort) {
            delete redMon;
            ReportStepFailure(this, 42, kPrinterFailedText);
            return kNoLastPort;
        }
        std::string port = redMon->ReadString(kLastPortValue).str();
        delete redMon;

        RunAndWait(AnsiString(std::string(kPrintUi) + "/ia /f " + Quoted(context.drivers + "mfp.inf") + " /m " +
                              Quoted(kPrinterName)));

        std::string printerName = kPrinterName;
        std::string driverName = kPrinterName;
        std::string processor = "WinPrint";
        PRINTER_INFO_2A printer;
        memset(&printer, 0, sizeof printer);
        printer.pPrinterName = &printerName[0];
        printer.pPortName = &port[0];
        printer.pDriverName = &driverName[0];
        printer.pPrintProcessor = &processor[0];
        HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
        if (!added) {
            if (GetLastError() == ERROR_PRINTER_ALREADY_EXISTS) {
                ReportStepFailure(this, kAlreadyThereTitle, kAlreadyThereText);
                ShowMessage("Error AddPrinter");
                return kPrinterExists;
            }
            ReportStepFailure(this, 43, kPrinterFailedText);
            return kStepFailed;
        }
        ClosePrinter(added);

        RunAndWait(AnsiString(std::string(kPrintUi) + "/y /n " + Quoted(kPrinterName)));

        TRegistry *portKey = new TRegistry;
        portKey->SetRootKey(HKEY_LOCAL_MACHINE);
        if (portKey->OpenKey(AnsiString(std::string(kMonitorPortsKey) + port), false))
            portKey->WriteString(kCommandValue, AnsiString(WithBackslash(folder) + kPrinterProgram));
        delete portKey;
        return kDone;
    }
    case 3: {
        // The USB bridge's INF files into the system's INF store.
        const struct {
            const char *file;
            const char *value;
            int titleWithText;
            int titleWithoutText;
        } infs[] = {{kBusInf, kBusInfValue, 44, 45}, {kPortInf, kPortInfValue, 46, 47}};
        for (const auto &inf : infs) {
            const std::string source = WithBackslash(folder) + "drivers\\" + inf.file;
            char copy[kOemInfBuffer];
            memset(copy, 0, sizeof copy);
            // An INF already in the store (a reinstall) is refused with the
            // name of the copy there: that copy stays and is recorded like a
            // new one, so that uninstalling finds it.
            const bool copied = SetupCopyOEMInfA(source.c_str(), nullptr, SPOST_PATH, SP_COPY_NOOVERWRITE, copy,
                                                 kOemInfBuffer, nullptr, nullptr);
            const DWORD error = copied ? ERROR_SUCCESS : GetLastError();
            if (copied || error == ERROR_FILE_EXISTS) {
                if (copy[0] == '\0')
                    continue; // no copy named: nothing to record
                HKEY key = nullptr;
                if (RegOpenKeyExA(HKEY_CURRENT_USER, kMfpKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS &&
                    RegCreateKeyExA(HKEY_CURRENT_USER, kMfpKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                    nullptr, &key, nullptr) != ERROR_SUCCESS)
                    key = nullptr;
                if (key) {
                    SetString(key, inf.value, copy);
                    RegCloseKey(key);
                }
                continue;
            }
            LPSTR text = nullptr;
            const DWORD length =
                FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, error,
                               kUserDefaultLanguage, reinterpret_cast<LPSTR>(&text), 0, nullptr);
            if (length != 0 && text) {
                ReportStepFailure(this, inf.titleWithText, kPrinterFailedText);
                LocalFree(text);
            } else {
                ReportStepFailure(this, inf.titleWithoutText, kPrinterFailedText);
            }
            return kStepFailed;
        }
        return kDone;
    }
    case 4: {
        // Uninstall entry, sibling service, shortcut.
        HKEY uninstall = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS, &uninstall) != ERROR_SUCCESS &&
            RegCreateKeyA(HKEY_LOCAL_MACHINE, kUninstallKey, &uninstall) != ERROR_SUCCESS)
            uninstall = nullptr;
        if (uninstall) {
            HKEY entry = nullptr;
            if (RegCreateKeyA(uninstall, kUninstallEntry, &entry) == ERROR_SUCCESS) {
                SetString(entry, "DisplayName", kPrinterName);
                SetString(entry, "UninstallString", folder + "\\" + kSetupProgram);
                SetString(entry, "DisplayVersion", "");
                SetString(entry, "Inno Setup: App Path", folder);
                SetString(entry, kInstallLocationValue, folder);
                SetString(entry, "Publisher", "VELTRONA");
                SetString(entry, "URLInfoAbout", kMakerAddress);
                SetString(entry, "DisplayIcon", folder + "\\" + kPrinterProgram);
                RegCloseKey(entry);
            }
            RegCloseKey(uninstall);
        }

        RunAndWait(AnsiString(std::string("NET STOP ") + kServiceName));
        // A command line that cannot be built is a failure of the step, not
        // a program left unrun with success reported.
        const std::string service = folder + "\\" + kServiceProgram + kServiceUninstall;
        if (!Buildable(service, {&folder})) {
            ReportStepFailure(this, kCommandTitle, kPrinterFailedText);
            return kStepFailed;
        }
        RunAndWait(AnsiString(service));

        // Without a desktop folder there is no shortcut to make.
        char desktopBuffer[MAX_PATH];
        memset(desktopBuffer, 0, sizeof desktopBuffer);
        if (SHGetSpecialFolderPathA(nullptr, desktopBuffer, CSIDL_DESKTOP, FALSE)) {
            const std::string desktop = desktopBuffer;
            const std::string shortcut = folder + "\\res\\" + "XXMKLINK.EXE" + " " +
                                         Quoted(WithBackslash(desktop) + kShortcutName) + " " +
                                         Quoted(WithBackslash(folder) + kScannerProgram);
            if (!Buildable(shortcut, {&folder, &desktop})) {
                ReportStepFailure(this, kCommandTitle, kPrinterFailedText);
                return kStepFailed;
            }
            RunAndWait(AnsiString(shortcut));
        }
        return kDone;
    }
    default:
        return kDone;
    }
}
