// Helpers for the device link's tests: a fresh machine root for each test
// and a pseudo-terminal linked into it as a COM port, whose far end the test
// plays by hand.
#pragma once

#include <string>

#include "PseudoTerminal.h"
#include "TempMachineRoot.h"

namespace linktest {

// A temporary machine root, laid out at once.
class TempMachineRoot : public testsupport::TempMachineRoot {
public:
  TempMachineRoot() : testsupport::TempMachineRoot("link-root", testsupport::Layout::Now) {}
};

// A raw pseudo-terminal whose slave side is linked as `portName` in the
// current machine root. The test keeps one slave descriptor open so that
// the host closing the port never hangs the line up; HangUp() is the device
// going away.
class FakePort : public testsupport::PseudoTerminal {
public:
  explicit FakePort(const std::string &portName)
      : testsupport::PseudoTerminal(portName, testsupport::SlaveHold::Held) {}
};

} // namespace linktest
