// The four steps of an uninstall run: printer and driver, the port
// monitor's ports and the monitor, the OEM copies of the USB bridge's INF
// files, then files, uninstall entry and install folder. Run from the
// install folder on a fixed drive, the uninstaller cannot remove its own
// file: it has it (and on the NT family the folder) removed at the next
// start of Windows. Every deletion of the install location's files and
// folders is first put to the removal guard.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "windows.h"
#include "shlobj.h"
#include "winspool.h"

#include "Dialogs.h"
#include "Install_names.h"
#include "Main2.h"
#include "Oem_inf_copies.h"
#include "Registry.h"
#include "Removal_guard.h"
#include "Step_messages.h"
#include "StringList.h"
#include "machine/Profiles.h"
#include "machine/TreeRemoval.h"

using namespace install_names;

namespace {

// Result codes of UninstallStep.
enum {
    kDone = 0,
    kMonitorListFailed = 2,
    kDeletePortFailed = 3,
    kPortListFailed = 4,
    kDeleteMonitorFailed = 5,
    kNoSuchStep = -1,
};

constexpr DWORD kMonitorListSize = 4096;
// The install location, the program's path and folder, the system and
// Windows folders, and the service program's command line.
constexpr size_t kPathBuffer = 256;
constexpr UINT kFixedDrive = 3;

constexpr int kUninstallFailedText = 80;

std::string Quoted(const std::string &text) { return "\"" + text + "\""; }

bool MonitorListed(const BYTE *list, DWORD returned)
{
    const MONITOR_INFO_1A *monitors = reinterpret_cast<const MONITOR_INFO_1A *>(list);
    for (DWORD i = 0; i < returned; ++i) {
        if (monitors[i].pName && lstrcmpA(monitors[i].pName, kMonitorName) == 0)
            return true;
    }
    return false;
}

// The install location of the uninstall entry; "" without the entry or
// the value, or when it does not fit its buffer (a damaged entry names no
// folder to remove).
std::string InstallLocation()
{
    TRegistry *entry = new TRegistry;
    entry->SetRootKey(HKEY_LOCAL_MACHINE);
    std::string location;
    if (entry->OpenKeyReadOnly(AnsiString(std::string(kUninstallKey) + "\\" + kUninstallEntry)) &&
        entry->ValueExists(kInstallLocationValue))
        location = entry->ReadString(kInstallLocationValue).str();
    delete entry;
    return location.size() < kPathBuffer ? location : std::string();
}

// A folder query into a buffer of `size`; "" when it fails or does not fit.
std::string Folder(UINT(WINAPI *query)(LPSTR, UINT), size_t size)
{
    std::vector<char> buffer(size, '\0');
    const UINT length = query(buffer.data(), static_cast<UINT>(size));
    if (length == 0 || length >= size)
        return std::string();
    return buffer.data();
}

// The folder of the running program, without its last backslash; "" when
// its path does not fit the buffer or has no folder.
std::string ProgramFolder()
{
    char module[kPathBuffer];
    memset(module, 0, sizeof module);
    const DWORD length = GetModuleFileNameA(nullptr, module, kPathBuffer);
    if (length == 0 || length >= kPathBuffer)
        return std::string();
    const std::string program = module;
    const size_t lastSeparator = program.rfind('\\');
    return lastSeparator == std::string::npos ? std::string() : program.substr(0, lastSeparator);
}

// Deletes the OEM copy that a record names when it is one of ours; without
// a driver folder to compare with, nothing is.
void DeleteBridgeCopy(const std::string &recorded, const std::string &driverFolder)
{
    if (driverFolder.empty())
        return;
    const std::string copy = oem_inf_copies::StoreCopyOf(recorded, driverFolder);
    if (!copy.empty())
        DeleteFileA(copy.c_str());
}

} // namespace

void TForm2::DeleteTree(const char *path)
{
    if (!path)
        return;
    // Once the root may go, the tree goes through folder descriptors: a
    // folder swapped for a link meanwhile, or a mount in the tree, is not
    // followed.
    if (TRemovalGuard().MayRemoveTree(path))
        machine::RemoveTree(path);
}

int TForm2::UninstallStep(int step)
{
    const bool windows95 = (GetVersion() & 0x80000000u) != 0;

    switch (step) {
    case 1: {
        // Printer and driver; a device still plugged in is only a warning.
        TStringList *ports = FindFtdiComPorts();
        if (ports->Count() > 0)
            ReportStepFailure(this, 79, 70);
        delete ports;
        RunAndWait(AnsiString(std::string(kPrintUi) + "/q /dl /n " + Quoted(kPrinterName)));
        RunAndWait(AnsiString(std::string(kPrintUi) + "/q /dd /m " + Quoted(kPrinterName)));
        return kDone;
    }
    case 2: {
        // The monitor's ports, then the monitor.
        alignas(8) BYTE list[kMonitorListSize];
        memset(list, 0, sizeof list);
        DWORD needed = 0;
        DWORD returned = 0;
        if (!EnumMonitorsA(nullptr, 1, list, kMonitorListSize, &needed, &returned))
            return kMonitorListFailed;
        if (!MonitorListed(list, returned))
            return kDone;

        needed = 0;
        returned = 0;
        EnumPortsA(nullptr, 2, nullptr, 0, &needed, &returned);
        // Port records hold pointers: the buffer is aligned for them.
        std::vector<PORT_INFO_2A> records(needed / sizeof(PORT_INFO_2A) + 1);
        returned = 0;
        if (!EnumPortsA(nullptr, 2, reinterpret_cast<LPBYTE>(records.data()), needed, &needed, &returned)) {
            ReportStepFailure(this, 51, kUninstallFailedText);
            return kPortListFailed;
        }
        for (DWORD i = 0; i < returned; ++i) {
            const PORT_INFO_2A &port = records[i];
            if (!port.pMonitorName || lstrcmpA(port.pMonitorName, kMonitorName) != 0)
                continue;
            if (!DeletePortA(nullptr, nullptr, port.pPortName)) {
                ReportStepFailure(this, 50, kUninstallFailedText);
                return kDeletePortFailed;
            }
        }
        records.clear();
        std::string monitor = kMonitorName;
        if (!DeleteMonitorA(nullptr, nullptr, &monitor[0])) {
            ShowMessage("DeleteMonitor Failed");
            return kDeleteMonitorFailed;
        }
        return kDone;
    }
    case 3: {
        // The OEM copies of the INF files; their records stay. A record
        // may name anything by now (an edited value, or another product's
        // later copy under the same name): only a copy in the INF store
        // that still holds one of our bridge INFs, as the driver folder
        // beside this program has them, is deleted.
        const std::string folder = ProgramFolder();
        const std::string drivers = folder.empty() ? std::string() : folder + "\\drivers\\";
        TRegistry *mfp = new TRegistry;
        if (mfp->OpenKeyReadOnly(kMfpKey) && mfp->ValueExists(kBusInfValue)) {
            DeleteBridgeCopy(mfp->ReadString(kBusInfValue).str(), drivers);
            if (mfp->ValueExists(kPortInfValue))
                DeleteBridgeCopy(mfp->ReadString(kPortInfValue).str(), drivers);
        }
        delete mfp;
        return kDone;
    }
    case 4: {
        // Files, uninstall entry and install folder.
        const std::string location = InstallLocation();
        RunAndWait(AnsiString(std::string("NET STOP ") + kServiceName));
        // A command line that does not fit its buffer is not run rather
        // than run cut short.
        const std::string service = location + "\\" + kServiceProgram + kServiceUninstall;
        if (service.size() < kPathBuffer)
            RunAndWait(AnsiString(service));

        char module[kPathBuffer];
        memset(module, 0, sizeof module);
        const DWORD moduleLength = GetModuleFileNameA(nullptr, module, kPathBuffer);
        // A path cut short by the buffer names no file of ours.
        const std::string program = moduleLength > 0 && moduleLength < kPathBuffer ? module : "";
        const size_t lastSeparator = program.rfind('\\');
        const std::string programFolder =
            lastSeparator == std::string::npos ? std::string() : program.substr(0, lastSeparator);

        const std::string system = Folder(GetSystemDirectoryA, kPathBuffer);
        if (system.empty()) {
            ReportStepFailure(this, 37, 52);
            return kDone;
        }

        // Nothing is taken from the install location unless it is this
        // system's install folder, judged once before anything goes.
        const TRemovalGuard guard;
        const bool ownFolder = !location.empty() && guard.IsOwnInstallFolder(location);
        if (!location.empty()) {
            for (const char *library : {kOldMonitorLibrary, kNtMonitorLibrary, k95MonitorLibrary})
                DeleteFileA((system + "\\" + library).c_str());
            // Each file is deleted in the opened folder: a link on the way
            // put in after the judgement is not followed.
            for (const char *file : {kPrinterProgram, kScannerProgram})
                if (ownFolder)
                    machine::DeleteFileIn(location.c_str(), file);
            char desktop[MAX_PATH];
            memset(desktop, 0, sizeof desktop);
            if (SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOP, FALSE)) {
                machine::DeleteFileIn(desktop, kShortcutName);
            }
            if (ownFolder)
                DeleteTree((location + "\\" + kSelvioFolder).c_str());
        }

        HKEY uninstall = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS, &uninstall) == ERROR_SUCCESS) {
            RegDeleteKeyA(uninstall, kUninstallEntry);
            RegCloseKey(uninstall);
        }

        const bool onFixedDrive = program.size() >= 3 && GetDriveTypeA(program.substr(0, 3).c_str()) == kFixedDrive;
        if (!ownFolder)
            return kDone;
        if (onFixedDrive && programFolder == location) {
            // The running program cannot remove itself: Windows does at its
            // next start.
            if (!windows95) {
                MoveFileExA(program.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
                MoveFileExA(programFolder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
            } else {
                // One "NUL=" line for each file to delete: another
                // program's pending lines stay with ours, which the profile
                // call (one line a key) would replace.
                const std::string windows = Folder(GetWindowsDirectoryA, kPathBuffer);
                if (!windows.empty())
                    machine::AddProfileLine((windows + "\\wininit.ini").c_str(), "Rename", "NUL", program.c_str());
            }
            return kDone;
        }
        DeleteTree(location.c_str());
        return kDone;
    }
    default:
        return kNoSuchStep;
    }
}
