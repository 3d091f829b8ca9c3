// The scanner program: a small window that shows the device's state, scans
// the document lying in the device and saves it as a Group 3 TIFF in the
// chosen folder.
#include "windows.h"
#include "winmain.h"

#include "Application.h"
#include "Debug_form.h"
#include "Main_form.h"

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
    // The forms go with the application object as the program ends; the
    // main form ends the scan thread first, so that none of the program
    // runs on while the process winds down.
    Application.Reset();
    return 0;
}
