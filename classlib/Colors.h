// Colours as the class library gives them (TColor: 0x00BBGGRR, or a system
// colour) turned into what Qt paints with. System colours take the values of
// Windows' standard (classic) scheme, so forms look the same everywhere.
#pragma once

#include <QColor>

#include "ControlTypes.h"

// The plain 0x00BBGGRR value of any colour; system colours resolved.
int ColorToRGB(TColor Color);
QColor ToQColor(TColor Color);
