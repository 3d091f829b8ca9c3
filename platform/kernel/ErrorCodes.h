// Translation of POSIX failures into the Windows error codes that the
// layer's callers test.
#pragma once

#include <string>

#include "windef.h"

namespace platform {

// The Windows code for an errno value.
DWORD ErrorFromErrno(int error);

// For a path that does not exist: ERROR_FILE_NOT_FOUND when its folder
// exists, ERROR_PATH_NOT_FOUND when the folder is missing too.
DWORD MissingPathError(const std::string &unixPath);

// Sets the last error for a failed call on `unixPath` from errno, telling a
// missing file from a missing folder, and returns the code set.
DWORD SetLastErrorForPath(int error, const std::string &unixPath);

} // namespace platform
