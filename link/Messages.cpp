#include "Messages.h"

namespace {
TTextMsg *gProgramText = nullptr;
}

TTextMsg::TTextMsg(int language) : FLanguage(kEnglish) { SetLanguage(language); }

void TTextMsg::SetLanguage(int language) {
  FLanguage = language == kChinese ? kChinese : kEnglish;
}

const char *TTextMsg::Get(unsigned char id) const {
  if (id >= MessageTableSize)
    return "";
  const TTextMsgRow &row = MessageTable[id];
  if (row.Id != id)
    return "";
  const char *text = FLanguage == kChinese ? row.Chinese : row.English;
  return text != nullptr ? text : "";
}

void CreateProgramText(int language) {
  if (gProgramText)
    gProgramText->SetLanguage(language);
  else
    gProgramText = new TTextMsg(language); // lives as long as the process
}

TTextMsg &ProgramText() {
  if (!gProgramText)
    CreateProgramText(TTextMsg::kEnglish);
  return *gProgramText;
}
