// The installer and uninstaller: a wizard of three forms. It does not start
// while the printer or the scanner program runs, as they hold the device
// and the files that installing replaces.
#include "windows.h"
#include "winmain.h"

#include "Application.h"
#include "Choose_folder.h"
#include "Dialogs.h"
#include "Main2.h"
#include "Message.h"
#include "Orvel_inst.h"
#include "ProcessCheck.h"

namespace {

constexpr const char *kPrinterProgram = "orvel_printer.exe";
constexpr const char *kScannerProgram = "orvel_scanner.exe";

// Shows why the installer does not start; true when it must not.
bool RefuseWhileRunning(const char *program)
{
    if (!IsProcessRunning(program))
        return false;
    ShowMessage(AnsiString("Please, close the program ") + program + " before to start the Setup.exe");
    return true;
}

void RunWizard()
{
    try {
        Application->Initialize();
        Application->SetTitle("Setup");
        Application->CreateForm(&Form2);
        Application->CreateForm(&Message_Form);
        Application->CreateForm(&ChooseFolder_Form);
        Application->Run();
    } catch (Exception &exception) {
        Application->ShowException(&exception);
    } catch (...) {
        Exception empty("");
        Application->ShowException(&empty);
    }
}

} // namespace

bool IsProcessRunning(const char *moduleName) { return IsModuleRunning(moduleName); }

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try {
        if (RefuseWhileRunning(kPrinterProgram) || RefuseWhileRunning(kScannerProgram))
            return 0;
        RunWizard();
    } catch (Exception &exception) {
        Application->ShowException(&exception);
    }
    return 0;
}
