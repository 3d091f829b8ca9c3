// Reads any bytes as a profile file, lists and finds what it holds, then
// sets, removes and writes back: a key set is found again, also in the
// text written and read once more.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "kernel/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  platform::ProfileFile profile(text);
  std::string value;
  for (const std::string& section : profile.Sections())
    for (const platform::ProfileFile::Entry& entry : profile.Entries(section))
      profile.Find(section, entry.first, &value);

  profile.Set("Rename", "NUL", "C:\\x\\setup.exe");
  if (!profile.Find("rename", "nul", &value) || value != "C:\\x\\setup.exe") std::abort();
  const platform::ProfileFile again(profile.Text());
  if (!again.Find("RENAME", "Nul", &value) || value != "C:\\x\\setup.exe") std::abort();

  profile.RemoveKey("Rename", "NUL");
  if (!profile.Sections().empty()) profile.RemoveSection(profile.Sections().front());
  platform::ProfileFile(profile.Text()).Sections();
  return 0;
}
