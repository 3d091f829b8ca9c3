// The system's message table: the texts of the common Windows error codes,
// in English, without the line break that ends each.
#pragma once

#include "windef.h"

namespace platform {

// The text of `code`, or null when the table has none.
const char *SystemMessageText(DWORD code);

} // namespace platform
