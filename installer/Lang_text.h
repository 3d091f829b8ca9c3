// The wizard's text table: every text that the installer's pages and its own
// dialogs show, by text id 1 to 84, in English, French and Chinese.
#pragma once

#include "AnsiString.h"

struct TLangTextRow {
    unsigned char Id;    // 1 .. 84; 0 marks the end of the table
    const char *English; // language 1033
    const char *French;  // language 1036, ASCII only
    const char *Chinese; // language 2052, GB2312 (code page 936) bytes
};

// Language ids of the three texts of a row.
enum { kLangEnglish = 1033, kLangFrench = 1036, kLangChinese = 2052 };

// The rows in their stored order (not by id), then the end record: id 0 and
// three empty texts. No text pointer is null.
extern const TLangTextRow LangTextTable[];
// Rows including the end record.
extern const int LangTextTableSize;

// Text `id` in `language` (1033, 1036 or 2052). Empty for id 0 and every id
// the table lacks, for any other language, and for an empty cell: there is
// no fallback to another language.
AnsiString LangText(unsigned char id, int language);
