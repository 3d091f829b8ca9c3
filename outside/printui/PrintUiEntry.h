// The Windows printer set-up's command-line entry (printui.dll's
// PrintUIEntry), for the command lines the installer uses:
//
//   /ia /f <inf> /m <model>   install the driver model from the INF
//   /y /n <printer>           make the printer the default printer
//   /dl /n <printer>          delete the printer
//   /dd /m <model>            delete the driver model
//
// with /q for no messages. Options are taken as written (case counts); a
// value is the argument after its option. Everything goes through the
// spooler and the setup library.
#pragma once

#include <string>

namespace printui {

// Carries out the command line (what follows "PrintUIEntry"). Problems go
// to standard error unless /q is given. 0 on success, else 1.
int PrintUIEntry(const std::string &commandLine);

// Installs `model` as the INF's printer driver package defines it: the
// [Manufacturer] section names the models sections, the model's line
// names its install section, whose DriverFile, DataFile and ConfigFile
// name the driver's files. The last error is set on failure.
bool InstallDriverFromInf(const std::string &inf, const std::string &model);

} // namespace printui
