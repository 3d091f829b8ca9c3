#include "Dialogs.h"

#include <cstring>
#include <string>

#include <QApplication>
#include <QString>
#include <QThread>

#include "GuiApplication.h"
#include "MessageForm.h"
#include "windows.h"

namespace {

// The bytes up to the first NUL, as the class library passes them on.
std::string MessageBytes(const AnsiString &message)
{
    return std::string(message.c_str(), strnlen(message.c_str(), static_cast<size_t>(message.Length())));
}

// The bytes in the ANSI code page, with "\r\n" and "\r" as line breaks.
QString DecodeText(const std::string &bytes)
{
    QString text;
    if (!bytes.empty()) {
        const int length = static_cast<int>(bytes.size());
        int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
        if (units > 0) {
            std::u16string wide(static_cast<size_t>(units), u'\0');
            units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, &wide[0], units);
            text = QString::fromUtf16(wide.data(), units);
        } else {
            text = QString::fromLatin1(bytes.data(), length);
        }
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
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

int MessageDlg(const AnsiString &Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int)
{
    if (!CanShow())
        return mrNone;
    const std::string bytes = MessageBytes(Msg);
    TMessageForm form(TitleOf(DlgType), DecodeText(bytes), bytes, DlgType, Buttons, true);
    return form.exec();
}

void ShowMessage(const AnsiString &Msg)
{
    if (!CanShow())
        return;
    const std::string bytes = MessageBytes(Msg);
    TMessageForm form(ApplicationTitle(), DecodeText(bytes), bytes, mtCustom, mbOK, false);
    form.exec();
}
