// Parses any bytes as an INF file and reads every line's key and fields
// back through [Strings] replacement.
#include <cstddef>
#include <cstdint>
#include <string>

#include "setup/InfFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  setup::InfFile inf;
  UINT errorLine = 0;
  if (inf.Parse(std::string(reinterpret_cast<const char*>(data), size), &errorLine) != 0) return 0;
  for (size_t s = 0; s < inf.SectionCount(); ++s) {
    const setup::InfSection& section = inf.Section(s);
    for (const setup::InfLine& line : section.lines) {
      inf.KeyOf(line);
      for (const std::string& field : line.fields) inf.Expand(field);
    }
  }
  return 0;
}
