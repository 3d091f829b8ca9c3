// A pilot for tests that answers the class library's message dialogs and
// its folder dialog (SelectDirectory) the way a user would. While it
// exists, a timer on the GUI thread looks, from inside each modal loop, for
// the active dialog, records what it shows and makes the next move that the
// test scripted, one move a look, in order: a move that leaves the dialog
// open (Help, typing, opening a folder) is followed by the next one on the
// same dialog. A dialog met with no move left, or whose buttons lack the
// scripted caption, is closed through the window's close button and noted
// in Problems(), so a test never hangs on it.
//
//   TDialogPilot pilot;
//   pilot.Answer("&Retry");
//   pilot.Answer("Cancel");
//   RunSomethingThatAsksTwice();
//   EXPECT_EQ(pilot.Shown().size(), 2u);
//
//   pilot.TypeFolder("C:\\Scans\\New");   // the folder dialog's edit
//   pilot.Answer("OK");                    // its OK button
//   pilot.Answer("&Yes");                  // the question whether to create it
//   SelectDirectory(folder, ...);
//
// Create it on the GUI thread; it makes the QApplication when there is none.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <QPointer>

#include "Dialogs.h"

class QDialog;

class QTimer;
class QWidget;
class TMessageForm;
class TSelectDirDlg;

namespace classlib_testing {

struct TShownDialog {
    std::string Title;                // UTF-8
    std::string Text;                 // UTF-8, as shown; line breaks are "\n"
    std::string Bytes;                // the message's 8-bit bytes as given
    TMsgDlgType Kind = mtCustom;
    std::string Icon;                 // "warning", "error", "information", "confirmation" or ""
    std::vector<std::string> Buttons; // captions from left to right, "&" included
    std::vector<std::string> Pressed; // captions pressed; "" for the close button
    int Result = mrNone;              // the modal result the dialog ended with
};

// What a folder dialog showed when it came up, and how it ended.
struct TShownFolderDialog {
    std::string Title;                // UTF-8
    std::string Directory;            // the listed folder, 8-bit Windows path
    std::string Edit;                 // the edit's text, UTF-8
    std::vector<std::string> Lines;   // the directory list's lines, UTF-8
    std::vector<std::string> Drives;  // the drive list's lines ("c:")
    std::vector<std::string> Buttons; // captions from left to right
    std::vector<std::string> Moves;   // the pilot's moves on it, in order
    std::string Final;                // the listed folder when it ended
    bool Accepted = false;            // ended with OK
};

class TDialogPilot {
public:
    TDialogPilot();
    ~TDialogPilot();
    TDialogPilot(const TDialogPilot &) = delete;
    TDialogPilot &operator=(const TDialogPilot &) = delete;

    // Queues pressing the button with this caption ("&Retry", "Cancel").
    void Answer(const std::string &caption);
    // Queues closing the dialog through its window's close button.
    void AnswerByClosing();
    // Queues pressing Escape.
    void AnswerByEscape();
    // Folder dialog: queues typing `text` (UTF-8) into the edit, replacing
    // what it holds; double-clicking the line of the directory list that
    // shows `name` ("C:\\" or a folder's name); choosing a drive.
    void TypeFolder(const std::string &text);
    void OpenFolder(const std::string &name);
    void ChooseDrive(char letter);
    // Queues saving the dialog showing as a PNG file, leaving it open.
    void SavePicture(const std::string &path);

    const std::vector<TShownDialog> &Shown() const { return FShown; }
    const std::vector<TShownFolderDialog> &FolderDialogs() const { return FFolderDialogs; }
    bool NoDialogShown() const { return FShown.empty() && FFolderDialogs.empty(); }
    size_t AnswersLeft() const { return FAnswers.size(); }
    // Dialogs that met no scripted answer, or a caption they lack.
    const std::vector<std::string> &Problems() const { return FProblems; }

private:
    enum class Move { Press, Close, Escape, Type, Open, Drive, Picture };
    struct Step {
        Move move;
        std::string caption; // the button, text, folder, drive or file
    };

    void Look();
    void LookAtMessage(TMessageForm *form);
    void LookAtFolders(TSelectDirDlg *dialog);
    void Record(TMessageForm *form);
    void Act(TMessageForm *form, const Step &step);
    void Act(TSelectDirDlg *dialog, const Step &step);

    std::unique_ptr<QTimer> FTimer;
    std::deque<Step> FAnswers;
    std::vector<TShownDialog> FShown;
    std::vector<TShownFolderDialog> FFolderDialogs;
    std::vector<std::string> FProblems;
    QPointer<QDialog> FCurrent;        // the message dialog last recorded, while it lives
    QPointer<QDialog> FCurrentFolders; // the folder dialog last recorded, while it lives
    bool FPressing = false;            // a button press is on its way
};

} // namespace classlib_testing
