// TTextMsg: message texts by numeric id, in English or Chinese.
//
// Each program defines its own table (rows with id n at index n, English and
// Chinese GB2312 texts, "\r\n" line breaks):
//
//   const TTextMsgRow MessageTable[] = { {0, "", ""}, {1, "...", "..."}, ... };
//   const int MessageTableSize = sizeof(MessageTable) / sizeof(MessageTable[0]);
#pragma once

struct TTextMsgRow {
  int Id;
  const char *English;
  const char *Chinese;
};

extern const TTextMsgRow MessageTable[];
extern const int MessageTableSize;

class TTextMsg {
public:
  // User-interface language ids.
  enum { kEnglish = 1033, kChinese = 2052 };

  // Takes the system's user-interface language id.
  explicit TTextMsg(int language);

  // Chinese for 2052, English for every other id.
  void SetLanguage(int language);

  // The text of message `id` in the chosen language; the empty text for an
  // id beyond the table, a row whose id differs, or a row without that text.
  const char *Get(unsigned char id) const;

private:
  int FLanguage;
};

// The program's one lookup, made at start from the system's user-interface
// language and read by all its threads: made, or the language of the one
// already made set.
void CreateProgramText(int language);
// The lookup; English when it has not been made yet.
TTextMsg &ProgramText();
