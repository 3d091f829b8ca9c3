// The scanner program: a small window that shows the device's state, scans
// the document lying in the device and saves it as a Group 3 TIFF in the
// chosen folder.
#include "windows.h"
#include "winmain.h"

#include "Application.h"
#include "Debug_form.h"
#include "Main_form.h"

namespace {

// How long a closing program waits for the scan thread to leave the device.
constexpr DWORD kScanThreadEndMs = 500;

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try {
        Application->Initialize();
        Application->CreateForm(&MainForm); // first form: the main form
        Application->CreateForm(&DebugForm);
        Application->Run(); // until the main form closes
    } catch (Exception &exception) {
        Application->ShowException(&exception);
    } catch (...) {
        Exception empty("");
        Application->ShowException(&empty);
    }
    // Closing ends the program at once. The scan thread is told to stop and
    // leaves a scan at its next read of the port; one still inside a read a
    // moment later does not hold the process up, which ends without it.
    if (MainForm && !MainForm->StopScanThread(kScanThreadEndMs))
        TerminateProcess(GetCurrentProcess(), 0);
    // The forms go with the application object as the program ends; the
    // main form ends the scan thread first, so that none of the program
    // runs on while the process winds down.
    Application.Reset();
    return 0;
}
