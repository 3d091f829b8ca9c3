// File operations put off until the machine's next start, as the NT family
// keeps them: pairs of strings in the REG_MULTI_SZ value
// "PendingFileRenameOperations" of HKEY_LOCAL_MACHINE
// "SYSTEM\CurrentControlSet\Control\Session Manager". The first of a pair
// is "\??\" and the full path of the file or folder; the second is empty
// for a deletion, else "\??\" and the new full path, led by "!" when an
// existing file of that name is to be replaced.
#pragma once

#include <string>
#include <vector>

#include "windef.h"

namespace platform {

constexpr const char *kSessionManagerKey = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char *kPendingRenamesValue = "PendingFileRenameOperations";

struct PendingRename {
    std::string from; // Windows path
    std::string to;   // Windows path; empty: delete `from`
    bool replace = false;
    bool done = false; // carried out
};

// Appends one operation (full Windows paths) to the value; the Windows error
// code of the registry call that failed, else ERROR_SUCCESS.
LONG RecordPendingRename(const PendingRename &rename);

// Carries out the recorded operations in their order and removes the value,
// as the NT family does when it starts: an operation that fails (a file
// that is gone, a folder that is not empty, a read-only file) is passed
// over. Returns the operations, each marked whether it was done.
std::vector<PendingRename> CarryOutPendingRenames();

} // namespace platform
