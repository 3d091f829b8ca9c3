// The printer program's one message lookup, made at start-up from the
// system's user-interface language and read by both threads.
#pragma once

#include "Messages.h"

void CreatePrinterText(int language);
// The lookup; English when it has not been made yet.
TTextMsg &PrinterText();
