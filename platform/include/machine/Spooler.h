// Where the print spooler keeps its state in the registry, for the
// stand-ins and tests that read it as the spooler's clients would not:
//
//   HKEY_LOCAL_MACHINE\<kPrintKey>
//     Monitors\<monitor>                  "Driver" (library), "Environment"
//     Monitors\<monitor>\Ports\<port>     the port's own settings ("Command")
//     Environments\<environment>\Drivers\Version-<n>\<driver>
//                                         "Driver", "Data File", "Configuration File", "Version"
//     Printers\<printer>                  "Name", "Port", "Printer Driver", ...
//   HKEY_CURRENT_USER\<kWindowsKey>       "Device" = "<printer>,winspool,<port>"
//   HKEY_CURRENT_USER\<kRedirectMonitorKey>  "LastPort" = the port last added
//
// A port monitor's library is a file in the system folder whose first line
// is kMonitorLibrarySignature.
#pragma once

namespace machine {

constexpr const char *kPrintKey = "SYSTEM\\CurrentControlSet\\Control\\Print";
constexpr const char *kMonitorsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";
constexpr const char *kEnvironmentsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments";
constexpr const char *kPrintersKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
constexpr const char *kWindowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char *kDefaultPrinterValue = "Device";

// The redirecting port monitor's own record of the port it added last.
constexpr const char *kRedirectMonitorKey = "Software\\Ghostgum\\RedMon";
constexpr const char *kLastPortValue = "LastPort";
// The port value that holds the command run for each job.
constexpr const char *kPortCommandValue = "Command";

// The environments the spooler knows; the first is the local one.
constexpr const char *kLocalEnvironment = "Windows NT x86";
constexpr const char *kWindows95Environment = "Windows 4.0";

constexpr const char *kMonitorLibrarySignature = "ARV port monitor library";

} // namespace machine
