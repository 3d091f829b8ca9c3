// The current user's default printer, as the spooler's own calls need it.
#pragma once

#include <string>

namespace spooler {

// The printer the default names; "" when there is none.
std::string DefaultPrinterName();
// Drops the default when it names `printer`.
void ForgetDefaultPrinter(const std::string &printer);

} // namespace spooler
