// The printer program's dialogs, for its entry point and tests.
#pragma once

#include "AnsiString.h"

// Warning with Cancel and Retry; 0 without showing anything for an empty
// text, else the modal result (2 Cancel, 4 Retry).
int AskRetryOrCancel(const AnsiString &text);
// Error box with OK; nothing for an empty text.
void ShowJobError(const AnsiString &text);
