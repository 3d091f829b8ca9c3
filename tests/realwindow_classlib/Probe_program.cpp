// The probe program: its command line names the form's border style
// ("tool" makes it a tool window) and the folder the folder dialog starts
// in.
#include <cstdio>
#include <cstring>
#include <string>

#include "windows.h"
#include "winmain.h"

#include "Application.h"
#include "Probe_form.h"
#include "SelectDirectory.h"

TProbeForm *ProbeForm = nullptr;

namespace {

std::string gCommandLine;

void Report(const std::string &line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string NameOf(TObject *Sender)
{
    TComponent *component = dynamic_cast<TComponent *>(Sender);
    return component ? std::string(component->Name().c_str()) : std::string("?");
}

} // namespace

void TProbeForm::FormCreate(TObject *)
{
    if (gCommandLine.compare(0, 4, "tool") == 0)
        SetBorderStyle(bsToolWindow);
    Report("created");
}

// The labels grow under the pointer, as label buttons do.
void TProbeForm::LabelMouseEnter(TObject *Sender)
{
    static_cast<TLabel *>(Sender)->Font()->SetSize(22);
    Report(std::string("enter ") + NameOf(Sender));
}

void TProbeForm::LabelMouseLeave(TObject *Sender)
{
    static_cast<TLabel *>(Sender)->Font()->SetSize(14);
    Report(std::string("leave ") + NameOf(Sender));
}

void TProbeForm::LHoverClick(TObject *)
{
    LHover->SetVisible(false);
    Report("hidden LHover");
}

void TProbeForm::ShowButClick(TObject *)
{
    LHover->SetVisible(true);
    Report("shown LHover");
}

void TProbeForm::BrowseClick(TObject *)
{
    const size_t blank = gCommandLine.find(' ');
    AnsiString folder = blank == std::string::npos ? "C:\\" : gCommandLine.substr(blank + 1).c_str();
    Report("browsing");
    if (SelectDirectory(folder, TSelectDirOpts() << sdAllowCreate << sdPerformCreate << sdPrompt, 0))
        Report(std::string("chose ") + folder.c_str());
    else
        Report("cancelled");
}

void TProbeForm::LOtherClick(TObject *Sender) { BrowseClick(Sender); }

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int)
{
    gCommandLine = lpCmdLine ? lpCmdLine : "";
    try {
        Application->Initialize();
        Application->CreateForm(&ProbeForm);
        Application->Run();
    } catch (Exception &exception) {
        Application->ShowException(&exception);
    }
    Report("ended");
    return 0;
}
