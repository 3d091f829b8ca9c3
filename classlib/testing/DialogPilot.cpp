#include "DialogPilot.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include "GuiApplication.h"
#include "MessageForm.h"

namespace classlib_testing {
namespace {

const int kLookIntervalMs = 10;

std::string Utf8(const QString &text) { return text.toUtf8().toStdString(); }

} // namespace

TDialogPilot::TDialogPilot()
{
    GuiApplication();
    FTimer = std::make_unique<QTimer>();
    FTimer->setInterval(kLookIntervalMs);
    QObject::connect(FTimer.get(), &QTimer::timeout, [this] { Look(); });
    FTimer->start();
}

TDialogPilot::~TDialogPilot() = default;

void TDialogPilot::Answer(const std::string &caption) { FAnswers.push_back({Move::Press, caption}); }
void TDialogPilot::AnswerByClosing() { FAnswers.push_back({Move::Close, std::string()}); }
void TDialogPilot::AnswerByEscape() { FAnswers.push_back({Move::Escape, std::string()}); }

void TDialogPilot::Look()
{
    auto *form = dynamic_cast<TMessageForm *>(QApplication::activeModalWidget());
    if (!form || !form->isVisible())
        return;
    if (FCurrent != form) {
        FCurrent = form;
        Record(form);
    }
    if (FAnswers.empty()) {
        FProblems.push_back("no answer left for the dialog \"" + FShown.back().Title + "\": " + FShown.back().Text);
        Act(form, {Move::Close, std::string()});
        return;
    }
    Step step = FAnswers.front();
    FAnswers.pop_front();
    Act(form, step);
}

void TDialogPilot::Record(TMessageForm *form)
{
    TShownDialog shown;
    shown.Title = Utf8(form->windowTitle());
    shown.Text = Utf8(form->Text());
    shown.Bytes = form->Bytes();
    shown.Kind = form->Kind();
    shown.Icon = Utf8(form->IconKind());
    for (const QPushButton *button : form->Buttons())
        shown.Buttons.push_back(Utf8(button->text()));
    FShown.push_back(std::move(shown));
}

void TDialogPilot::Act(TMessageForm *form, const Step &step)
{
    TShownDialog &shown = FShown.back();
    switch (step.move) {
    case Move::Press: {
        QPushButton *target = nullptr;
        for (QPushButton *button : form->Buttons())
            if (Utf8(button->text()) == step.caption)
                target = button;
        if (!target) {
            FProblems.push_back("the dialog \"" + shown.Title + "\" has no button \"" + step.caption + "\"");
            shown.Pressed.push_back(std::string());
            form->close();
            break;
        }
        shown.Pressed.push_back(step.caption);
        target->click();
        break;
    }
    case Move::Close:
        shown.Pressed.push_back(std::string());
        form->close();
        break;
    case Move::Escape: {
        shown.Pressed.push_back("Escape");
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(form, &press);
        break;
    }
    }
    shown.Result = form->result();
}

} // namespace classlib_testing

// Tests that show dialogs run Qt, whose font library keeps caches for the
// life of the process; the leak checker of sanitizer builds is told so.
// Other builds never call this.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
