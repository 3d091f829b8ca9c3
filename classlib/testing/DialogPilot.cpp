#include "DialogPilot.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include "DirectoryListView.h"
#include "DriveComboView.h"
#include "GuiApplication.h"
#include "MessageForm.h"
#include "SelectDirDlg.h"

namespace classlib_testing {
namespace {

const int kLookIntervalMs = 10;

std::string Utf8(const QString &text) { return text.toUtf8().toStdString(); }

std::vector<std::string> Lines(const QListWidget *list)
{
    std::vector<std::string> lines;
    for (int row = 0; row < list->count(); ++row)
        lines.push_back(Utf8(list->item(row)->text()));
    return lines;
}

// A double-click with the left button on a widget, as the pointer gives it.
void DoubleClick(QWidget *widget, const QPoint &at)
{
    const QPointF local(at);
    const QPointF global(widget->mapToGlobal(at));
    const QEvent::Type types[] = {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                  QEvent::MouseButtonRelease};
    for (QEvent::Type type : types) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, local, global, Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    }
}

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

void TDialogPilot::TypeFolder(const std::string &text) { FAnswers.push_back({Move::Type, text}); }
void TDialogPilot::OpenFolder(const std::string &name) { FAnswers.push_back({Move::Open, name}); }
void TDialogPilot::ChooseDrive(char letter) { FAnswers.push_back({Move::Drive, std::string(1, letter)}); }
void TDialogPilot::SavePicture(const std::string &path) { FAnswers.push_back({Move::Picture, path}); }

void TDialogPilot::Look()
{
    if (FPressing)
        return;
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (auto *form = dynamic_cast<TMessageForm *>(modal))
        LookAtMessage(form);
    else if (auto *dialog = dynamic_cast<TSelectDirDlg *>(modal))
        LookAtFolders(dialog);
}

void TDialogPilot::LookAtMessage(TMessageForm *form)
{
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

void TDialogPilot::LookAtFolders(TSelectDirDlg *dialog)
{
    if (FCurrentFolders != dialog) {
        FCurrentFolders = dialog;
        TShownFolderDialog shown;
        shown.Title = Utf8(dialog->windowTitle());
        shown.Directory = dialog->List()->Directory().str();
        shown.Edit = Utf8(dialog->Edit()->text());
        shown.Lines = Lines(dialog->List());
        for (int row = 0; row < dialog->Drives()->count(); ++row)
            shown.Drives.push_back(Utf8(dialog->Drives()->itemText(row)));
        for (const QPushButton *button : dialog->findChildren<QPushButton *>())
            if (button->isVisible())
                shown.Buttons.push_back(Utf8(button->text()));
        FFolderDialogs.push_back(std::move(shown));
        const size_t index = FFolderDialogs.size() - 1;
        QObject::connect(dialog, &QDialog::finished, FTimer.get(), [this, index, dialog](int result) {
            FFolderDialogs[index].Final = dialog->List()->Directory().str();
            FFolderDialogs[index].Accepted = result == QDialog::Accepted;
        });
    }
    if (FAnswers.empty()) {
        FProblems.push_back("no move left for the folder dialog at " + FFolderDialogs.back().Directory);
        Act(dialog, {Move::Close, std::string()});
        return;
    }
    Step step = FAnswers.front();
    FAnswers.pop_front();
    Act(dialog, step);
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
    case Move::Picture:
        shown.Pressed.push_back("picture");
        form->grab().save(QString::fromStdString(step.caption), "PNG");
        break;
    case Move::Type:
    case Move::Open:
    case Move::Drive:
        FProblems.push_back("the message dialog \"" + shown.Title + "\" is no folder dialog");
        shown.Pressed.push_back(std::string());
        form->close();
        break;
    }
    shown.Result = form->result();
}

void TDialogPilot::Act(TSelectDirDlg *dialog, const Step &step)
{
    TShownFolderDialog &shown = FFolderDialogs.back();
    auto fail = [&](const std::string &problem) {
        FProblems.push_back(problem);
        shown.Moves.push_back("close");
        dialog->close();
    };
    switch (step.move) {
    case Move::Press: {
        QPushButton *target = nullptr;
        for (QPushButton *button : {dialog->OkButton(), dialog->CancelButton()})
            if (Utf8(button->text()) == step.caption)
                target = button;
        if (!target)
            return fail("the folder dialog has no button \"" + step.caption + "\"");
        shown.Moves.push_back("press " + step.caption);
        // Pressed once this look is over, so that a question the press
        // asks is answered from its own modal loop.
        FPressing = true;
        QTimer::singleShot(0, FTimer.get(), [this, button = QPointer<QPushButton>(target)] {
            FPressing = false;
            if (button)
                button->click();
        });
        break;
    }
    case Move::Close:
        shown.Moves.push_back("close");
        dialog->close();
        break;
    case Move::Escape: {
        shown.Moves.push_back("Escape");
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(dialog, &press);
        break;
    }
    case Move::Type:
        shown.Moves.push_back("type " + step.caption);
        dialog->Edit()->setFocus();
        dialog->Edit()->setText(QString::fromUtf8(step.caption.c_str()));
        break;
    case Move::Open: {
        QListWidget *list = dialog->List();
        int found = -1;
        for (int row = 0; row < list->count(); ++row)
            if (Utf8(list->item(row)->text()) == step.caption)
                found = row;
        if (found < 0)
            return fail("the folder dialog lists no folder \"" + step.caption + "\"");
        shown.Moves.push_back("open " + step.caption);
        list->scrollToItem(list->item(found));
        DoubleClick(list->viewport(), list->visualItemRect(list->item(found)).center());
        break;
    }
    case Move::Drive: {
        QComboBox *drives = dialog->Drives();
        const int row = drives->findText(QString::fromStdString(step.caption).toLower() + QLatin1Char(':'));
        if (row < 0)
            return fail("the folder dialog lists no drive " + step.caption);
        shown.Moves.push_back("drive " + step.caption);
        drives->setCurrentIndex(row);
        emit drives->activated(row);
        break;
    }
    case Move::Picture:
        shown.Moves.push_back("picture");
        dialog->grab().save(QString::fromStdString(step.caption), "PNG");
        break;
    }
}

} // namespace classlib_testing

// Tests that show dialogs run Qt, whose font library keeps caches for the
// life of the process; the leak checker of sanitizer builds is told so.
// Other builds never call this.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
