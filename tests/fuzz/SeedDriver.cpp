// Runs a fuzz target's entry point once on each file named on the command
// line, or on each file of each folder named there, so that a build without
// libFuzzer still checks every target against its seeds.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void RunOne(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::printf("%s (%zu bytes)\n", file.c_str(), bytes.size());
  std::fflush(stdout);
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  int files = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      std::vector<std::filesystem::path> entries;
      for (const auto& entry : std::filesystem::directory_iterator(arg))
        if (entry.is_regular_file()) entries.push_back(entry.path());
      std::sort(entries.begin(), entries.end());
      for (const auto& entry : entries) {
        RunOne(entry);
        ++files;
      }
    } else {
      RunOne(arg);
      ++files;
    }
  }
  if (files == 0) {
    std::fprintf(stderr, "no seed files given\n");
    return 1;
  }
  return 0;
}
