// The names that installing puts in place and uninstalling takes away
// again: the printer and its driver model, the port monitor, the registry
// entries the installer writes, the files it copies and the outside
// programs it runs.
#pragma once

namespace install_names {

constexpr const char *kPrinterName = "ARV-A700 Scanner-Printer";
constexpr const char *kMonitorName = "Scanner-Printer Virtual Port";

// The port monitor's libraries, by Windows family, and the one of an older
// release that uninstalling also removes.
constexpr const char *kNtEnvironment = "Windows NT x86";
constexpr const char *kNtMonitorLibrary = "orvel_vpnt.dll";
constexpr const char *k95Environment = "Windows 4.0";
constexpr const char *k95MonitorLibrary = "orvel_vp95.dll";
constexpr const char *kOldMonitorLibrary = "orvel_vp35.dll";

// The port monitor's record of its last port, and its ports' keys.
constexpr const char *kRedMonKey = "Software\\Ghostgum\\RedMon";
constexpr const char *kLastPortValue = "LastPort";
constexpr const char *kMonitorPortsKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Scanner-Printer Virtual Port\\Ports\\";
constexpr const char *kCommandValue = "Command";

// The OEM copies of the USB bridge's INF files.
constexpr const char *kMfpKey = "Software\\VELTRONA\\Mfp";
constexpr const char *kBusInf = "ftdibus.inf";
constexpr const char *kBusInfValue = "UsbBusOemInf";
constexpr const char *kPortInf = "ftdiport.inf";
constexpr const char *kPortInfValue = "UsbPortOemInf";

// The uninstall entry.
constexpr const char *kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char *kUninstallEntry = "ARV-A700 Scanner-Printer";
constexpr const char *kInstallLocationValue = "InstallLocation";

// Files and folders of the install folder and the desktop.
constexpr const char *kPrinterProgram = "orvel_printer.exe";
constexpr const char *kScannerProgram = "orvel_scanner.exe";
constexpr const char *kSetupProgram = "setup.exe";
constexpr const char *kShortcutName = "orvel_scanner.lnk";
constexpr const char *kSelvioFolder = "selvio";

// The sibling service and its program.
constexpr const char *kServiceName = "RelayFax";
constexpr const char *kServiceProgram = "orvel_winservice.exe";
constexpr const char *kServiceUninstall = " /UNINSTALL /SILENT";

// The Windows printer set-up's command lines, each followed by the quoted
// printer or driver model name.
constexpr const char *kPrintUi = "rundll32 printui.dll,PrintUIEntry ";

} // namespace install_names
