// Profile (".ini") file lines that Windows' profile calls cannot write: a
// key that a section holds more than once, as wininit.ini's [Rename] holds
// one "NUL=" line for every file to delete at the next start. Windows
// programs write such lines into the file themselves; here the platform
// does it under the same lock as WritePrivateProfileStringA, so that no
// line another program writes meanwhile is lost.
#pragma once

namespace machine {

// Adds "key=value" as the section's last key line, keeping every line
// already there (lines of the same key too); the section comes at the end
// of the file when there is none, and the file is made when missing. A file
// name without a folder lies in the Windows folder. The file is replaced
// whole, as WritePrivateProfileStringA replaces it (a reader finds the old
// text or the new; see kernel/LockedProfile.h for links and further names).
// False with the last error set: ERROR_ACCESS_DENIED for a read-only file, a
// link of any kind (the line is never written through one), a folder or a
// file with further names, ERROR_INVALID_PARAMETER for a missing or empty
// key or a line break in what would become the line.
bool AddProfileLine(const char *fileName, const char *section, const char *key, const char *value);

} // namespace machine
