// Whole files for tests: read, written, replaced and copied in one call.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

using Bytes = std::vector<unsigned char>;

// The file's bytes; empty when it cannot be read.
std::string ReadText(const std::string &path);
Bytes ReadBytes(const std::string &path);

// Writes the file anew; false when it cannot be written.
bool WriteText(const std::string &path, const std::string &text);
bool WriteBytes(const std::string &path, const Bytes &bytes);

// Replaces the file the way an editor that saves to a new file does: the
// text goes to a new file beside it, which is then renamed over it.
bool ReplaceText(const std::string &path, const std::string &text);

// Copies a file over `to` and gives the copy `mode` (0755 for a program).
bool CopyWithMode(const std::string &from, const std::string &to, unsigned mode);

} // namespace testsupport
