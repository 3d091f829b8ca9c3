#include "Edit.h"

#include <QLineEdit>

#include "AnsiText.h"
#include "Colors.h"

namespace {

QLineEdit *LineEdit(QWidget *widget) { return static_cast<QLineEdit *>(widget); }

} // namespace

TEdit::TEdit(TComponent *AOwner) : TWinControl(AOwner)
{
    auto *edit = new QLineEdit;
    SetWidget(edit);
    connect(edit, &QLineEdit::textChanged, this, [this] { FireUnlessDestroying(FOnChange); });
    SetUpEntryBox();
    SetBounds(0, 0, 121, 21);
}

AnsiString TEdit::GetText() const { return TextToAnsi(LineEdit(Widget())->text()); }

void TEdit::SetText(const AnsiString &Text)
{
    const QString text = AnsiToText(Text);
    if (text != LineEdit(Widget())->text())
        LineEdit(Widget())->setText(text);
}

void TEdit::SetReadOnly(bool ReadOnly)
{
    FReadOnly = ReadOnly;
    LineEdit(Widget())->setReadOnly(ReadOnly);
}

void TEdit::SetMaxLength(int MaxLength)
{
    FMaxLength = MaxLength;
    LineEdit(Widget())->setMaxLength(MaxLength > 0 ? MaxLength : 32767);
}

void TEdit::SetBorderStyle(TBorderStyle BorderStyle)
{
    FBorderStyle = BorderStyle == bsSingle ? bsSingle : bsNone;
    LineEdit(Widget())->setFrame(FBorderStyle == bsSingle);
}

void TEdit::SelectAll() { LineEdit(Widget())->selectAll(); }

void TEdit::FontChanged()
{
    TWinControl::FontChanged();
    SetPaletteColor(QPalette::Text, Font()->Color());
}

void TEdit::ColorChanged()
{
    TWinControl::ColorChanged();
    SetPaletteColor(QPalette::Base, Color());
}
