#include "Messages.h"

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
