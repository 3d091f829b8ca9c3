// How the reg tool names value types, shows value data and reads data
// given on its command line, in the manner of Windows' reg.exe.
#pragma once

#include "windef.h"

#include <string>

namespace regtool {

// "REG_SZ", ...; "REG_0x<n>" for a type without a name.
std::string TypeName(DWORD type);
// Any case; false for a name the tool does not write.
bool TypeFromName(const std::string &name, DWORD *type);

// The data as reg query shows it: strings as they are (up to the NUL),
// REG_DWORD/REG_QWORD as 0x hex, REG_MULTI_SZ joined with "\0", other
// types as upper-case hex bytes.
std::string ShowData(DWORD type, const std::string &data);

// The bytes to store for /d `text` of `type`: strings get their NUL,
// REG_DWORD takes decimal or 0x hex, REG_BINARY hex digits, REG_MULTI_SZ
// parts separated by `separator` ("\0", the two characters, by default).
bool ParseData(DWORD type, const std::string &text, const std::string &separator, std::string *data);

// The message reg.exe gives for a registry result code.
std::string ErrorText(LONG code);

} // namespace regtool
