// The names of an open key's subkeys, read through the registry calls, for
// the parts of the platform and its tools that walk a key's children.
#pragma once

#include <string>
#include <vector>

#include "winreg.h"

namespace registry {

// In the order the registry lists them; stops at the first failure.
std::vector<std::string> SubKeyNames(HKEY key);

} // namespace registry
