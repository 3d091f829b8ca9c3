// Conversions between the class library's 8-bit texts and the text that Qt
// shows. An AnsiString holds bytes in the system's ANSI code page (GetACP:
// 936 on a Chinese system, 1252 otherwise).
#pragma once

#include <string>

#include <QString>

#include "AnsiString.h"

// The bytes decoded in the ANSI code page; "\r\n" and a lone "\r" become
// "\n" line breaks. Used for every text a form or a dialog shows.
QString AnsiToText(const std::string &bytes);
inline QString AnsiToText(const AnsiString &text) { return AnsiToText(text.str()); }

// The same in another code page (CP_ACP: the ANSI code page), for text
// drawn in a font whose character set has a code page of its own.
QString AnsiToText(const std::string &bytes, unsigned codePage);

// The text in the ANSI code page, as the class library hands typed text
// back; characters the code page lacks become "?".
AnsiString TextToAnsi(const QString &text);
