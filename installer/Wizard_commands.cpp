// What a label button's command does on the page showing, the install
// folder's browse and check on page 1, and opening the install media's
// folder.
#include <cstring>

#include "windows.h"
#include "shellapi.h"
#include "direct.h"

#include "Dialogs.h"
#include "Folders.h"
#include "Main2.h"
#include "SelectDirectory.h"

namespace {

constexpr int kDriveC = 3;
constexpr int kCurrentFolderBuffer = 256;
constexpr DWORD kModuleNameBuffer = 256;

} // namespace

void TForm2::HandleCommand(AnsiString command, int page)
{
    switch (page) {
    case 0:
        if (command == "SChap1")
            ShowPage(1);
        else if (command == "SChap2") {
            if (IsMonitorInstalled())
                StartRun(0);
        } else if (command == "SChap3")
            BrowseContents();
        else if (command == "SExit")
            Close();
        break;
    case 1:
        if (command == "SBrowse")
            BrowseFolder();
        else if (command == "SContinue")
            CheckFolder();
        else if (command == "SExit")
            Close();
        else if (command == "SPrev" || command == "SMenu")
            ShowPage(0);
        break;
    case 3:
        if (command == "SContinue")
            StartRun(1);
        else if (command == "SExit")
            Close();
        else if (command == "SPrev")
            ShowPage(1);
        else if (command == "SMenu")
            ShowPage(0);
        break;
    case 4:
    case 5:
    case 6:
    case 7:
    case 12:
    case 13:
    case 14:
    case 15:
        if (command == "SExit")
            Close();
        break;
    case 8:
        if (command == "SExit")
            Close();
        else if (command == "SContinue")
            StartDetection();
        break;
    case 9:
        if (command == "SExit")
            Close();
        else if (command == "SMenu")
            ShowPage(0);
        break;
    case 10:
        if (command == "SExit2")
            Close();
        else if (command == "SMenu")
            ShowPage(0);
        break;
    case 11:
    case 17:
    case 18:
        if (command == "SExit2")
            Close();
        break;
    case 16:
        if (command == "SExit")
            Close();
        else if (command == "SContinue")
            ShowPage(17);
        break;
    default:
        break;
    }
}

void TForm2::BrowseFolder()
{
    AnsiString folder = EPath->Text();
    if (!DirectoryExists(folder))
        folder = ProgramFilesFolder();

    // The folder dialog may change the current folder of drive C:.
    char saved[kCurrentFolderBuffer];
    memset(saved, 0, sizeof saved);
    const bool haveSaved = _getdcwd(kDriveC, saved, sizeof saved) != nullptr;

    if (SelectDirectory(folder, TSelectDirOpts() << sdAllowCreate << sdPerformCreate << sdPrompt, 0))
        EPath->SetText(folder);

    if (haveSaved)
        _chdir(saved);
}

void TForm2::CheckFolder()
{
    const AnsiString typed = EPath->Text();
    if (!FInstallDir || *FInstallDir != typed) {
        delete FInstallDir;
        FInstallDir = new AnsiString(typed);
    }
    if (!DirectoryExists(*FInstallDir)) {
        if (LangMessageDlg(33, mtConfirmation, TMsgDlgButtons() << mbYes << mbNo) != mrYes)
            return;
        if (!CreateDirTree(EPath->Text())) {
            LangMessageDlg(34, mtError, TMsgDlgButtons() << mbAbort);
            return;
        }
    }
    ShowPage(3);
}

void TForm2::BrowseContents()
{
    char module[kModuleNameBuffer];
    memset(module, 0, sizeof module);
    const DWORD length = GetModuleFileNameA(nullptr, module, kModuleNameBuffer);
    // A name cut short by the buffer names no folder that can be trusted.
    if (length == 0 || length >= kModuleNameBuffer)
        return;
    char *lastSeparator = strrchr(module, '\\');
    if (lastSeparator)
        lastSeparator[1] = '\0';
    else
        module[0] = '\0';
    ShellExecuteA(nullptr, "explore", module, nullptr, nullptr, SW_SHOWNOACTIVATE);
}
