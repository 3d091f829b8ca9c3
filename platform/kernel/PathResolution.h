// Case-insensitive lookup of names in Unix folders, as Windows names match.
#pragma once

#include <string>

namespace platform {

// Compares ASCII letters without regard to case; every other byte exactly.
bool SameNameIgnoringCase(const std::string &a, const std::string &b);
// The name with its ASCII letters in lower case: two names are the same
// for SameNameIgnoringCase exactly when their folded names are equal.
std::string FoldedName(const std::string &name);
// The order in which a folder's entries are listed (FindFirstFileA and the
// tree removal): bytes compared with their ASCII letters in upper case.
bool ListingOrderLess(const std::string &a, const std::string &b);

// The name under which `name` exists in `folder`: `name` itself when that
// spelling exists (no folder scan), else the first entry in byte order that
// matches without regard to case, else "". A name with a separator, "." or
// ".." is never an entry.
std::string FindEntry(const std::string &folder, const std::string &name);

} // namespace platform

namespace platform {

// The Unix path for a Windows name given to a file call. False with the
// last error set for a null name (ERROR_INVALID_PARAMETER), a name with
// characters Windows forbids (ERROR_INVALID_NAME) and an empty or network
// name (ERROR_PATH_NOT_FOUND).
bool MapWindowsName(const char *windowsName, std::string *unixPath);

} // namespace platform
