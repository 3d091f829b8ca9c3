#include "SafePoint.h"

namespace platform {

// Placeholder until threads with suspend counts exist.
void SafePoint() {}

} // namespace platform
