#include "Scanner_text.h"

namespace {
TTextMsg *gText = nullptr;
}

void CreateScannerText(int language)
{
    if (gText)
        gText->SetLanguage(language);
    else
        gText = new TTextMsg(language); // lives as long as the process
}

TTextMsg &ScannerText()
{
    if (!gText)
        CreateScannerText(TTextMsg::kEnglish);
    return *gText;
}
