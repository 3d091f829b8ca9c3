// The scanner program's one message lookup, made by the main form at start
// from the system's user-interface language and read by the form and the
// scan thread.
#pragma once

#include "Messages.h"

// Makes the lookup, or sets the language of the one already made.
void CreateScannerText(int language);
// The lookup; English when it has not been made yet.
TTextMsg &ScannerText();
