// A pilot for tests that answers the class library's message dialogs the
// way a user would. While it exists, a timer on the GUI thread looks, from
// inside each modal loop, for the active message dialog, records what it
// shows and presses the button that the test scripted for it, one scripted
// answer a dialog, in order. A dialog met with no answer left, or whose
// buttons lack the scripted caption, is closed through the window's close
// button and noted in Problems(), so a test never hangs on it.
//
//   TDialogPilot pilot;
//   pilot.Answer("&Retry");
//   pilot.Answer("Cancel");
//   RunSomethingThatAsksTwice();
//   EXPECT_EQ(pilot.Shown().size(), 2u);
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
class TMessageForm;

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

    const std::vector<TShownDialog> &Shown() const { return FShown; }
    bool NoDialogShown() const { return FShown.empty(); }
    size_t AnswersLeft() const { return FAnswers.size(); }
    // Dialogs that met no scripted answer, or a caption they lack.
    const std::vector<std::string> &Problems() const { return FProblems; }

private:
    enum class Move { Press, Close, Escape };
    struct Step {
        Move move;
        std::string caption;
    };

    void Look();
    void Record(TMessageForm *form);
    void Act(TMessageForm *form, const Step &step);

    std::unique_ptr<QTimer> FTimer;
    std::deque<Step> FAnswers;
    std::vector<TShownDialog> FShown;
    std::vector<std::string> FProblems;
    QPointer<QDialog> FCurrent; // the dialog last recorded, while it lives
};

} // namespace classlib_testing
