// The class library's message dialogs on Qt Widgets.
//
// MessageDlg shows a modal dialog with the kind's English title ("Warning",
// "Error", "Information", "Confirm"; a custom dialog has the application's
// title), the kind's icon and the buttons asked for, in the class library's
// order and with its captions, and returns the modal result of the button
// pressed. Closing the window gives mrCancel; Escape presses Cancel, else
// No, else OK; the Help button shows no help and leaves the dialog open.
//
// The text is 8-bit text in the system's ANSI code page (GetACP: 936 on a
// Chinese system, 1252 otherwise), up to its first NUL byte; "\r\n" and a
// lone "\r" are line breaks.
//
// The dialogs make the QApplication when there is none yet and run their
// own modal loop, so a program without an application loop can use them.
// They must be called on the thread of the QApplication; called on another
// thread they show nothing and return mrNone.
#pragma once

#include <cstdint>

#include "AnsiString.h"
#include "ModalResult.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

// A set of buttons, built as the class library's sets are
// (TMsgDlgButtons() << mbCancel << mbRetry) or with | (mbCancel | mbRetry).
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(TMsgDlgBtn button) : FBits(Bit(button)) {}

    constexpr TMsgDlgButtons &operator<<(TMsgDlgBtn button)
    {
        FBits |= Bit(button);
        return *this;
    }
    constexpr TMsgDlgButtons &operator>>(TMsgDlgBtn button)
    {
        FBits &= static_cast<uint16_t>(~Bit(button));
        return *this;
    }
    constexpr bool Contains(TMsgDlgBtn button) const { return (FBits & Bit(button)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }

    friend constexpr TMsgDlgButtons operator|(TMsgDlgButtons a, TMsgDlgButtons b)
    {
        TMsgDlgButtons both;
        both.FBits = a.FBits | b.FBits;
        return both;
    }
    friend constexpr bool operator==(TMsgDlgButtons a, TMsgDlgButtons b) { return a.FBits == b.FBits; }
    friend constexpr bool operator!=(TMsgDlgButtons a, TMsgDlgButtons b) { return a.FBits != b.FBits; }

private:
    static constexpr uint16_t Bit(TMsgDlgBtn button) { return static_cast<uint16_t>(1u << button); }
    uint16_t FBits = 0;
};

constexpr TMsgDlgButtons operator|(TMsgDlgBtn a, TMsgDlgBtn b) { return TMsgDlgButtons(a) | TMsgDlgButtons(b); }

// The class library's ready-made sets.
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbYesAllNoAllCancel = mbYes | mbYesToAll | mbNo | mbNoToAll | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;
constexpr TMsgDlgButtons mbAbortIgnore = mbAbort | mbIgnore;

int MessageDlg(const AnsiString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);

// The dialog that MessageDlg shows, made but not yet shown, so that the
// caller can change it first (SetCharset: the character set its text is
// read in), show it with exec(), which gives the modal result, and delete
// it. Null where MessageDlg would show nothing.
class TMessageForm;
TMessageForm *CreateMessageDialog(const AnsiString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);

// The plain message box: the text, one OK button, no icon, the application's
// title.
void ShowMessage(const AnsiString &Msg);
