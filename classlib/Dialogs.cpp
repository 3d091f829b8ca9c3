#include "Dialogs.h"

#include <cstring>
#include <memory>
#include <string>

#include <QApplication>
#include <QString>
#include <QThread>

#include "AnsiText.h"
#include "GuiApplication.h"
#include "MessageForm.h"

namespace {

// The bytes up to the first NUL, as the class library passes them on.
std::string MessageBytes(const AnsiString &message)
{
    return std::string(message.c_str(), strnlen(message.c_str(), static_cast<size_t>(message.Length())));
}

QString TitleOf(TMsgDlgType kind)
{
    switch (kind) {
    case mtWarning: return QStringLiteral("Warning");
    case mtError: return QStringLiteral("Error");
    case mtInformation: return QStringLiteral("Information");
    case mtConfirmation: return QStringLiteral("Confirm");
    case mtCustom: break;
    }
    return ApplicationTitle();
}

// Whether a dialog can be shown on this thread; makes the application
// when there is none yet.
bool CanShow()
{
    QApplication *application = GuiApplication();
    return application && QThread::currentThread() == application->thread();
}

} // namespace

TMessageForm *CreateMessageDialog(const AnsiString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons)
{
    if (!CanShow())
        return nullptr;
    const std::string bytes = MessageBytes(Msg);
    return new TMessageForm(TitleOf(DlgType), AnsiToText(bytes), bytes, DlgType, Buttons, true);
}

int MessageDlg(const AnsiString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int)
{
    const std::unique_ptr<TMessageForm> form(CreateMessageDialog(Msg, DlgType, Buttons));
    return form ? form->exec() : mrNone;
}

void ShowMessage(const AnsiString &Msg)
{
    if (!CanShow())
        return;
    const std::string bytes = MessageBytes(Msg);
    TMessageForm form(ApplicationTitle(), AnsiToText(bytes), bytes, mtCustom, mbOK, false);
    form.exec();
}
