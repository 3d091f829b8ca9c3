// The printer handles of this process: the printer each one stands for and
// the access it was opened with. Handle values count up and are never
// reused within a process.
#pragma once

#include <string>

#include "windef.h"

namespace spooler {

struct PrinterHandle {
    std::string printer; // stored spelling
    ACCESS_MASK access = 0;
};

HANDLE OpenPrinterHandle(const PrinterHandle &printer);
// False for a handle that is not an open printer handle.
bool FindPrinterHandle(HANDLE handle, PrinterHandle *printer);
bool ClosePrinterHandle(HANDLE handle);

} // namespace spooler
