// The installer's message window: a title line and a centred message over
// the background picture, with an OK button. The install and uninstall
// steps report their failures in it.
#pragma once

#include "AnsiString.h"
#include "BitBtn.h"
#include "Form.h"
#include "Image.h"
#include "Label.h"

class TMessage_Form : public TForm {
    Q_OBJECT

public: // components of the form resource
    TBitBtn *BitBtn1 = Component<TBitBtn>("BitBtn1");
    TImage *IBg = Component<TImage>("IBg");
    TLabel *LTitle = Component<TLabel>("LTitle");
    TLabel *LMessage = Component<TLabel>("LMessage");

    Q_INVOKABLE void BitBtn1Click(TObject *Sender);

public:
    explicit TMessage_Form(TComponent *Owner);

    // Shows `title` and `message` modally; returns when the window closes.
    void Display(AnsiString title, AnsiString message);
};

extern TMessage_Form *Message_Form;
