// Registry diagnostics for the platform's own tools and tests: which file
// holds a hive, and whether that file was taken whole.
#pragma once

#include "winreg.h"

#include <string>

namespace machine {

struct HiveReport {
    // 0 when the hive can be changed; ERROR_BADDB when a line of its file
    // did not parse (reads then see what did), ERROR_CANTREAD when the file
    // cannot be read, ERROR_INVALID_HANDLE for a key that is no hive.
    LONG refusal = 0;
    int badLine = 0;     // first line that did not parse, 1-based
    std::string problem; // what was wrong, in words
};

// The hive file behind HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER in the
// current machine root; empty for other keys.
std::string HiveFileOf(HKEY root);
HiveReport CheckHive(HKEY root);

} // namespace machine
