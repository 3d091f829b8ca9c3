// What the scanner program's tests set up in their machine root, whether
// the program runs in the test's process or as a process of its own: the
// recorder that stands in for the ".tif" opener, and document pages.
#pragma once

#include <string>

#include "PbmImage.h"

namespace scanner_program_test {

// Registers, for the current machine root's user, a recorder as the opener
// of ".tif" files; it appends each file it is asked to open, one Windows
// path a line, to `log` (a Unix path). False when it could not be set up.
bool RegisterTifRecorder(const std::string &log);

// A document page: text-like rows, `rows` high, different for each seed.
pbm::Image DocumentPage(unsigned seed, int rows);

} // namespace scanner_program_test
