// The form that MessageDlg and ShowMessage show: an icon, the text and a
// row of buttons. Tests inspect and press it (classlib/testing).
#pragma once

#include <string>
#include <vector>

#include <QDialog>
#include <QString>

#include "ControlTypes.h"
#include "Dialogs.h"

class QLabel;
class QPushButton;

class TMessageForm : public QDialog {
public:
    // `bytes` are the message's 8-bit bytes as given, `text` their decoded
    // form with "\n" line breaks.
    TMessageForm(const QString &title, const QString &text, const std::string &bytes, TMsgDlgType kind,
                 TMsgDlgButtons buttons, bool withIcon);

    // Reads the message's bytes again in the code page of a font character
    // set (TFont::CodePageOf), as Windows draws text in a font of that set.
    void SetCharset(TFontCharset charset);

    TMsgDlgType Kind() const { return FKind; }
    // The text as the label shows it.
    QString Text() const;
    const std::string &Bytes() const { return FBytes; }
    // The icon shown: "warning", "error", "information", "confirmation", or
    // empty for none.
    QString IconKind() const { return FIconKind; }
    // The buttons from left to right.
    const std::vector<QPushButton *> &Buttons() const { return FButtons; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

public:
    // Closing the window, as the class library's forms do, gives mrCancel.
    void reject() override;

private:
    QPushButton *AddButton(TMsgDlgBtn button);

    TMsgDlgType FKind;
    std::string FBytes;
    QString FIconKind;
    QLabel *FText = nullptr;
    std::vector<QPushButton *> FButtons;
    QPushButton *FEscapeButton = nullptr;
};
