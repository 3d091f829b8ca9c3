// The scanner program's log window: a memo for log lines with buttons to
// close it, clear it and copy its text; and the two log operations. In this
// program the log operations do nothing and the main form's buttons that
// lead here stay hidden, so the form is made with the application but never
// shown, and its memo stays empty.
#pragma once

#include "Button.h"
#include "Form.h"
#include "Memo.h"

class TDebugForm : public TForm {
    Q_OBJECT
public: // the resource's components, bound by name
    TMemo *LogMemo = Component<TMemo>("LogMemo");
    TButton *Button1 = Component<TButton>("Button1");
    TButton *Button2 = Component<TButton>("Button2");
    TButton *Button3 = Component<TButton>("Button3");

    // published handlers
    Q_INVOKABLE void Button1Click(TObject *Sender);
    Q_INVOKABLE void Button2Click(TObject *Sender);
    Q_INVOKABLE void Button3Click(TObject *Sender);

public:
    explicit TDebugForm(TComponent *Owner);
};

extern TDebugForm *DebugForm;

// One log line (NUL-terminated): does nothing.
void DebugLog(const char *Line);
// Does nothing.
void FlushDebug();
