// Helpers for the device link's tests: a fresh machine root for each test
// and a pseudo-terminal linked into it as a COM port, whose far end the test
// plays by hand.
#pragma once

#include <string>
#include <vector>

namespace linktest {

// Creates a temporary folder, points ARV_MACHINE_ROOT at it, and removes it
// (and restores the variable) when destroyed.
class TempMachineRoot {
public:
  TempMachineRoot();
  ~TempMachineRoot();
  TempMachineRoot(const TempMachineRoot &) = delete;
  TempMachineRoot &operator=(const TempMachineRoot &) = delete;

  const std::string &Path() const { return path_; }

private:
  std::string path_;
  std::string previous_;
  bool hadPrevious_ = false;
};

// A raw pseudo-terminal whose slave side is linked as `portName` in the
// current machine root. The test keeps one slave descriptor open so that
// the host closing the port never hangs the line up.
class FakePort {
public:
  explicit FakePort(const std::string &portName);
  ~FakePort();
  FakePort(const FakePort &) = delete;
  FakePort &operator=(const FakePort &) = delete;

  bool Ok() const { return master_ >= 0; }
  const std::string &SlavePath() const { return slave_; }

  // Writes bytes as the device would send them.
  bool Send(const std::vector<unsigned char> &bytes);
  // Reads what the host sent until `count` bytes came or `timeoutMs`
  // passed (a bound for a test that fails, not a measurement).
  std::vector<unsigned char> Receive(size_t count, int timeoutMs = 10000);
  // Everything the host has sent so far, without waiting.
  std::vector<unsigned char> Drain();
  // The device goes away: both ends of the line are closed here, so the
  // host's reads fail from now on.
  void HangUp();

private:
  int master_ = -1;
  int slaveHold_ = -1;
  std::string slave_;
  std::string link_;
};

// Removes a folder tree; quiet about what is not there.
void RemoveTree(const std::string &path);

} // namespace linktest
