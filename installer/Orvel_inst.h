// The installer program's entry: it refuses to start while the printer or
// the scanner program runs, else it runs the wizard until it closes.
#pragma once

// True when a running process's module name is exactly `moduleName`.
bool IsProcessRunning(const char *moduleName);
