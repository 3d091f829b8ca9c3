// The message window of the install and uninstall steps.
#include "Message.h"

#include "Main2.h"

TMessage_Form *Message_Form = nullptr;

TMessage_Form::TMessage_Form(TComponent *Owner) : TForm(Owner, &staticMetaObject, ":/installer/Message.dfm") {}

void TMessage_Form::Display(AnsiString title, AnsiString message)
{
    // The texts come from the table in the wizard's language.
    if (Form2)
        SetLabelsCharset(this, Form2->TextCharset());
    LTitle->SetCaption(title);
    LMessage->SetCaption(message);
    ShowModal();
}

void TMessage_Form::BitBtn1Click(TObject *) { Close(); }
