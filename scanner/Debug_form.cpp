#include "Debug_form.h"

TDebugForm *DebugForm = nullptr;

TDebugForm::TDebugForm(TComponent *Owner) : TForm(Owner, &staticMetaObject, ":/scanner/Debug_form.dfm") {}

void TDebugForm::Button1Click(TObject *) { Close(); }

void TDebugForm::Button2Click(TObject *) { LogMemo->Clear(); }

void TDebugForm::Button3Click(TObject *)
{
    LogMemo->SelectAll();
    LogMemo->CopyToClipboard();
}

void DebugLog(const char *) {}

void FlushDebug() {}
