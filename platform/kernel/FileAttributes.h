// The Windows attributes of Unix files. A file is read-only when its owner
// may not write it (SetFileAttributesA takes every write bit away); folders
// have no read-only state.
#pragma once

#include <sys/stat.h>

#include "fileapi.h"

namespace platform {

bool IsReadOnly(const struct stat &info);

// FILE_ATTRIBUTE_DIRECTORY for a folder; FILE_ATTRIBUTE_ARCHIVE for a file,
// with FILE_ATTRIBUTE_READONLY when it is read-only.
DWORD AttributesOf(const struct stat &info);

// A Unix time as a Windows file time.
FILETIME FileTimeOf(const struct timespec &at);

} // namespace platform
