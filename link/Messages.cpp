#include "Messages.h"

TTextMsg::TTextMsg(int language) : FLanguage(kLangEnglish) { SetLanguage(language); }

void TTextMsg::SetLanguage(int language) {
  FLanguage = language == kLangChinese ? kLangChinese : kLangEnglish;
}

const char *TTextMsg::Get(unsigned char id) const {
  if (id >= MessageTableSize)
    return "";
  const TTextMsgRow &row = MessageTable[id];
  if (row.Id != id)
    return "";
  const char *text = FLanguage == kLangChinese ? row.Chinese : row.English;
  return text != nullptr ? text : "";
}
