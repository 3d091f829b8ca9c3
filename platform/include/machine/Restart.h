// The machine root's restart: what Windows does at its next start with the
// file operations that were put off until then.
#pragma once

#include <string>
#include <vector>

namespace machine {

struct StartOperation {
    std::string from;  // Windows path
    std::string to;    // Windows path; empty: `from` is deleted
    bool done = false; // false: passed over (gone, a folder not empty, a read-only file, ...)
};

// Restarts the machine as its Windows family starts. The NT family carries
// out the operations that MoveFileExA recorded with
// MOVEFILE_DELAY_UNTIL_REBOOT (a folder is deleted only when empty) and
// removes the value that held them. The 95 family carries out the [rename]
// section of "wininit.ini" in the Windows folder, line by line ("NUL=path"
// deletes the file, "new=old" renames old to new, replacing new) and then
// renames that file to "wininit.bak". Returns the operations in their order.
std::vector<StartOperation> Restart();

} // namespace machine
