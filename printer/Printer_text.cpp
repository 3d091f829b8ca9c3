#include "Printer_text.h"

namespace {
TTextMsg *gText = nullptr;
}

void CreatePrinterText(int language)
{
    if (gText)
        gText->SetLanguage(language);
    else
        gText = new TTextMsg(language); // lives as long as the process
}

TTextMsg &PrinterText()
{
    if (!gText)
        CreatePrinterText(1033);
    return *gText;
}
