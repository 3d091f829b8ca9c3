#include "Step_messages.h"

#include "Main2.h"
#include "Message.h"

void ReportStepFailure(TForm2 *wizard, int titleId, int textId)
{
    const AnsiString text = wizard->GetLangText(static_cast<unsigned char>(textId));
    const AnsiString title = wizard->GetLangText(static_cast<unsigned char>(titleId));
    Message_Form->Display(title, text);
}
