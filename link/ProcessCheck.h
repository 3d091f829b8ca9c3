// Whether a program runs, found by the module name of its process. The
// printer program asks it about the scanner program and the scanner program
// about the printer program, to explain a COM port that cannot be opened;
// the installer asks about both before it starts.
#pragma once

// True when a running process's program has exactly `moduleName` (a
// NUL-terminated base name such as "orvel_printer.exe") as its module name,
// compared byte for byte, case included. Only the first 1024 processes are
// looked at; one that cannot be opened never matches. A failed process
// enumeration gives false.
bool IsModuleRunning(const char *moduleName);
