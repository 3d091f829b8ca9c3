// Failures that tests inject into the spooler's functions
// (machine/Testing.h).
#pragma once

#include "machine/Testing.h"

namespace spooler {

// True, with the injected error set, when this call of `which` is to fail.
bool InjectedFailure(machine::testing::SpoolerCall which);

} // namespace spooler
