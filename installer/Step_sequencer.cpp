// The runs: an install or uninstall run alternates, 500 ms apart, between
// showing the next progress page and running the next step. The timer is
// off while a tick works, so the 500 ms run from the end of one tick's work
// to the next tick.
#include "Main2.h"

namespace {

constexpr int kTickInterval = 500;
constexpr int kLastInstallPage = 7;
constexpr int kLastUninstallPage = 15;
constexpr int kInstallDonePage = 8;
constexpr int kUninstallDonePage = 16;
constexpr int kInstallFailedPage = 11;
constexpr int kUninstallFailedPage = 18;
constexpr int kFirstInstallPage = 4;
constexpr int kFirstUninstallPage = 12;
constexpr int kWaitingPage = 9;

} // namespace

void TForm2::StartRun(int installing)
{
    // A wait for the device left running behind the home page would show
    // page 10 and its dots in the middle of the run's pages; a run ends on
    // its own page, so the wait stops here.
    Timer2->SetEnabled(false);
    FInstalling = installing;
    ShowPage(installing ? kFirstInstallPage : kFirstUninstallPage);
    FActionDue = 1;
    FStep = 1;
    Timer1->SetEnabled(true);
}

void TForm2::Timer1Timer(TObject *)
{
    Timer1->SetEnabled(false);
    if (FActionDue == 0) {
        ShowPage(FPage + 1);
        FActionDue = 1;
        Timer1->SetInterval(kTickInterval);
        Timer1->SetEnabled(true);
        return;
    }
    const int result = FInstalling ? InstallStep(FStep) : UninstallStep(FStep);
    if (result != 0) {
        // The failed step has shown its own message; the run ends here.
        ShowPage(FInstalling ? kInstallFailedPage : kUninstallFailedPage);
        return;
    }
    if (FPage == kLastInstallPage || FPage == kLastUninstallPage) {
        ShowPage(FPage == kLastInstallPage ? kInstallDonePage : kUninstallDonePage);
        return;
    }
    ++FStep;
    FActionDue = 0;
    Timer1->SetInterval(kTickInterval);
    Timer1->SetEnabled(true);
}

void TForm2::StartDetection()
{
    ShowPage(kWaitingPage);
    Timer2->SetEnabled(true);
}
