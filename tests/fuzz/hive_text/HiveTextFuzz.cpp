// Parses any bytes as a hive's text. A hive taken whole is written, parsed
// again and written again: the second text is the first, and nothing is
// refused on the way.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "registry/HiveText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const registry::Hive hive = registry::ParseHive(std::string(reinterpret_cast<const char*>(data), size));
  if (hive.refusal) return 0;
  const std::string text = registry::WriteHive(hive);
  const registry::Hive again = registry::ParseHive(text);
  if (again.refusal || registry::WriteHive(again) != text) std::abort();
  return 0;
}
