// A small form of the real-window tests' own: two labels that report the
// pointer's enter and leave, a button that opens the folder dialog and one
// that asks a question, each reporting on standard output, one line per
// event, so a test reads what the program saw.
#pragma once

#include "Button.h"
#include "Form.h"
#include "Label.h"

class TProbeForm : public TForm {
    Q_OBJECT
public:
    TLabel *LHover = Component<TLabel>("LHover");
    TLabel *LOther = Component<TLabel>("LOther");
    TButton *Browse = Component<TButton>("Browse");
    TButton *Ask = Component<TButton>("Ask");

    Q_INVOKABLE void FormCreate(TObject *Sender);
    Q_INVOKABLE void LabelMouseEnter(TObject *Sender);
    Q_INVOKABLE void LabelMouseLeave(TObject *Sender);
    Q_INVOKABLE void LHoverClick(TObject *Sender);
    Q_INVOKABLE void LOtherClick(TObject *Sender);
    Q_INVOKABLE void BrowseClick(TObject *Sender);
    Q_INVOKABLE void AskClick(TObject *Sender);

    explicit TProbeForm(TComponent *Owner) : TForm(Owner, &staticMetaObject, ":/probe/Probe_form.dfm") {}
};

extern TProbeForm *ProbeForm;
