// The printer program: started by the port monitor once a print job, with
// the job on standard input. It has no window: it watches the print thread
// and shows its warnings and its result in message boxes.
#include "windows.h"
#include "winmain.h"

#include "Dialogs.h"
#include "Main.h"
#include "Messages.h"
#include "Orvel_printer.h"

namespace {

constexpr DWORD kWatchStepMs = 500;
constexpr DWORD kRetryDelayMs = 5000;

enum : int {
    kMsgErrorHead = 19,
    kMsgErrorTail = 20,
    kMsgWarningHead = 21,
    kMsgWarningTail = 22,
};

AnsiString Text(int id) { return AnsiString(ProgramText().Get(static_cast<unsigned char>(id))); }

} // namespace

int AskRetryOrCancel(const AnsiString &text)
{
    if (text.IsEmpty())
        return 0;
    return MessageDlg(Text(kMsgWarningHead) + text + Text(kMsgWarningTail), mtWarning,
                      TMsgDlgButtons() << mbCancel << mbRetry, 0);
}

void ShowJobError(const AnsiString &text)
{
    if (text.IsEmpty())
        return;
    MessageDlg(Text(kMsgErrorHead) + text + Text(kMsgErrorTail), mtError, TMsgDlgButtons() << mbOK, 0);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CreateProgramText(GetSystemDefaultUILanguage());

    TMain *thread = new TMain(true);
    thread->Start();

    bool cancelled = false;
    while (thread->IsRunning() && !cancelled) {
        Sleep(kWatchStepMs);
        AnsiString text = thread->TakeMessage();
        int answer = AskRetryOrCancel(text);
        if (answer == mrCancel) {
            cancelled = true;
        } else if (answer == mrRetry) {
            Sleep(kRetryDelayMs);
            thread->Start();
        } else {
            thread->Start();
        }
    }

    thread->Stop();
    ShowJobError(thread->GetResultText());
    delete thread;
    return 0;
}
