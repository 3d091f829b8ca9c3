// A small form of the real-window tests' own, reporting on standard output
// one line per event, so a test reads what the program saw: two labels that
// report the pointer's enter and leave (a click on the first hides it, one
// on the second opens the folder dialog, as a label button does), a button
// that opens the folder dialog and one that shows the first label again.
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
    TButton *ShowBut = Component<TButton>("ShowBut");

    Q_INVOKABLE void FormCreate(TObject *Sender);
    Q_INVOKABLE void LabelMouseEnter(TObject *Sender);
    Q_INVOKABLE void LabelMouseLeave(TObject *Sender);
    Q_INVOKABLE void LHoverClick(TObject *Sender);
    Q_INVOKABLE void LOtherClick(TObject *Sender);
    Q_INVOKABLE void BrowseClick(TObject *Sender);
    Q_INVOKABLE void ShowButClick(TObject *Sender);

    explicit TProbeForm(TComponent *Owner) : TForm(Owner, &staticMetaObject, ":/probe/Probe_form.dfm") {}
};

extern TProbeForm *ProbeForm;
