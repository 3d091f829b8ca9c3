// Stands in for the units of the run's steps, the step sequencer and the
// device detection until they land (Step_sequencer.cpp, Install_steps.cpp,
// Uninstall_steps.cpp, Device_detection.cpp); remove it then. A run here
// shows its first page and goes no further, and the wait finds no device.
#include "Main2.h"
#include "StringList.h"

void TForm2::StartRun(int installing)
{
    FInstalling = installing;
    ShowPage(installing ? 4 : 12);
    FActionDue = 1;
    FStep = 1;
    Timer1->SetEnabled(true);
}

void TForm2::StartDetection()
{
    ShowPage(9);
    Timer2->SetEnabled(true);
}

void TForm2::Timer1Timer(TObject *) { Timer1->SetEnabled(false); }
void TForm2::Timer2Timer(TObject *) {}
int TForm2::InstallStep(int) { return -1; }
int TForm2::UninstallStep(int) { return -1; }
void TForm2::DeleteTree(const char *) {}
TStringList *TForm2::FindFtdiComPorts() { return new TStringList; }
