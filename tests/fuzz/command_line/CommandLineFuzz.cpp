// Takes any bytes (up to the first NUL) as a command line: splits it, cuts
// WinMain's tail, quotes each argument back and looks for its program in a
// machine root of its own. Each argument quoted splits back to itself, and
// where the program name holds no quote the tail holds the arguments the
// split gives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <ftw.h>
#include <string>
#include <vector>

#include "machine/MachineRoot.h"
#include "machine/Programs.h"

namespace {

std::string gRoot;

// Removes the root at the end, never following its links (Z: leads to "/").
void RemoveRoot() {
  nftw(gRoot.c_str(), [](const char* path, const struct stat*, int, struct FTW*) { return std::remove(path); }, 16,
       FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
}

// A fresh machine root for the run, laid out once.
void UseOwnRoot() {
  if (!gRoot.empty()) return;
  char pattern[] = "/tmp/arv-fuzz-root-XXXXXX";
  if (!mkdtemp(pattern)) std::abort();
  gRoot = pattern;
  setenv(machine::kRootVariable, pattern, 1);
  machine::RootPath();
  std::atexit(RemoveRoot);
}

std::vector<std::string> AfterTheName(std::vector<std::string> arguments) {
  arguments.erase(arguments.begin());
  return arguments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  UseOwnRoot();
  std::string line(reinterpret_cast<const char*>(data), size);
  line = line.c_str();  // a command line ends at its NUL

  const std::vector<std::string> arguments = machine::SplitCommandLine(line);
  if (arguments.empty()) std::abort();
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::vector<std::string> back = machine::SplitCommandLine("p " + machine::QuoteArgument(arguments[i]));
    if (back.size() != 2 || back[1] != arguments[i]) std::abort();
  }
  const char* tail = machine::CommandLineTail(line.c_str());
  const size_t nameEnd = line.find_first_of(" \t");
  if (line.substr(0, nameEnd).find('"') == std::string::npos &&
      AfterTheName(machine::SplitCommandLine("p " + std::string(tail))) != AfterTheName(arguments))
    std::abort();

  machine::Program program;
  machine::FindProgram(line, &program);
  return 0;
}
