// arv_print PRINTER JOBFILE
// Prints a job file the way the spooler and the redirecting port monitor do:
// the printer's port, the monitor that port belongs to, and that port's
// command, run with the job on its standard input.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "PortMonitorSetup.h"

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: arv_print PRINTER JOBFILE\n");
        return 2;
    }
    std::string printer = argv[1];
    std::ifstream file(argv[2], std::ios::binary);
    if (!file) {
        fprintf(stderr, "arv_print: cannot read %s\n", argv[2]);
        return 2;
    }
    std::string job((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());

    std::string port = portmon::PrinterPort(printer);
    if (port.empty()) {
        fprintf(stderr, "arv_print: no printer named \"%s\"\n", printer.c_str());
        return 2;
    }
    std::string monitor = portmon::PortMonitor(port);
    if (monitor.empty()) {
        fprintf(stderr, "arv_print: printer \"%s\" prints to port %s, which does not exist\n", printer.c_str(),
                port.c_str());
        return 2;
    }
    std::string command = portmon::PortCommand(monitor, port);
    if (command.empty()) {
        fprintf(stderr, "arv_print: port %s has no command\n", port.c_str());
        return 2;
    }
    int code = portmon::RunPortCommand(command, job);
    if (code < 0) {
        fprintf(stderr, "arv_print: cannot run %s\n", command.c_str());
        return 2;
    }
    return code;
}
