// The redirecting port monitor's side of printing: the spooler entries that
// connect a printer to a port of the monitor and the port to the program it
// runs, and the hand-over of a job to that program. The installer makes the
// entries through the spooler; tests and the demo make them here, through
// the spooler as well.
#pragma once

#include <string>

namespace portmon {

constexpr const char *kMonitorName = "Scanner-Printer Virtual Port";
constexpr const char *kMonitorLibrary = "orvel_vpnt.dll";
constexpr const char *kDriverModel = "ARV-A700 Scanner-Printer";

// Sets up `printer` as the installer does: the monitor's library in the
// system folder and the monitor registered (unless it is), a new port, the
// driver model from the media's "mfp.inf", the printer on that port and the
// port's "Command" (a Windows command line run with each job on its
// standard input). Returns the new port's name; "" on failure.
std::string AddPrinterOnNewPort(const std::string &printer, const std::string &command);

// The port a printer prints to; empty when there is no such printer.
std::string PrinterPort(const std::string &printer);
// The monitor a port belongs to; empty when there is no such port.
std::string PortMonitor(const std::string &port);
// The "Command" of a monitor's port; empty when it has none.
std::string PortCommand(const std::string &monitor, const std::string &port);

// Hands a job to the port's program as the monitor does: starts the command,
// writes the job to its standard input, closes it and waits. Returns the
// program's exit code, or -1 when it could not be started.
int RunPortCommand(const std::string &command, const std::string &job);

} // namespace portmon
