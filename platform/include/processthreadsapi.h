// Placeholder; filled in by its unit.
#pragma once
#include "windef.h"
