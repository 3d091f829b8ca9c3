// The spooler entries that connect a printer to a port of the redirecting
// port monitor and the port to the program it runs for each job. The
// installer makes them through the spooler; tests and the demo write them
// here directly.
#pragma once

#include <string>

namespace portmon {

constexpr const char *kMonitorName = "Scanner-Printer Virtual Port";
constexpr const char *kPrintersKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
constexpr const char *kMonitorsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";

// Printer `printer` prints to `port` of the monitor, and the port runs
// `command` (a Windows command line) with each job on its standard input.
bool AddPrinterOnPort(const std::string &printer, const std::string &port, const std::string &command);

// The port a printer prints to; empty when the printer is unknown.
std::string PrinterPort(const std::string &printer);
// The "Command" of a monitor's port; empty when there is none.
std::string PortCommand(const std::string &port);

// Hands a job to the port's program as the monitor does: starts the command,
// writes the job to its standard input, closes it and waits. Returns the
// program's exit code, or -1 when it could not be started.
int RunPortCommand(const std::string &command, const std::string &job);

} // namespace portmon
