// Reading a file the uninstaller judges, safely: only the entry itself (a
// link there is refused, not followed), only a regular file, and without
// waiting (a FIFO or device put in its place is refused instead of
// blocking).
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <string>

namespace regular_file {

// The first `limit` bytes at most of the regular file at the host place
// `place`, and which file it is; false when it is no regular file or cannot
// be read.
bool Read(const std::string &place, size_t limit, std::string *bytes, struct stat *info);

} // namespace regular_file
