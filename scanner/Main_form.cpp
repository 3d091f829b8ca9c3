#include "Main_form.h"

#include "windows.h"
#include "shlobj.h"

#include "Application.h"
#include "Debug_form.h"
#include "Extra.h"
#include "SelectDirectory.h"
#include "Main_scanner.h"
#include "MemoryStream.h"
#include "Messages.h"

TMainForm *MainForm = nullptr;

namespace {

constexpr const char *kConfigFile = "config.inc";
constexpr const char *kMarkLine = "------------------------------------------";

// Message ids of the scanner's table.
enum : int {
    kMsgFormCaption = 19,
    kMsgScanBut = 20,
    kMsgCloseBut = 21,
    kMsgDestBut = 22,
    kMsgDestLabel = 23,
    kMsgLoading = 24,
};

AnsiString MessageText(int id) { return AnsiString(ProgramText().Get(static_cast<unsigned char>(id))); }

// The user's documents folder; empty when the system gives none.
AnsiString DocumentsFolder()
{
    char documents[MAX_PATH + 1] = {0};
    if (!SHGetSpecialFolderPathA(nullptr, documents, CSIDL_PERSONAL, FALSE))
        return AnsiString();
    return AnsiString(documents);
}

// The folder's bytes, exactly, with nothing after them.
void SaveFolder(const AnsiString &folder, const AnsiString &fileName)
{
    TMemoryStream stream;
    stream.Write(folder.c_str(), folder.Length());
    stream.SaveToFile(fileName);
}

} // namespace

TMainForm::TMainForm(TComponent *Owner) : TForm(Owner, &staticMetaObject, ":/scanner/Main_form.dfm") {}

TMainForm::~TMainForm()
{
    // The scan thread's poll reaches the buttons through MainForm; it ends
    // before they go.
    delete FThread;
    FThread = nullptr;
    if (MainForm == this)
        MainForm = nullptr;
}

bool TMainForm::StopScanThread(DWORD ms)
{
    if (!FThread)
        return true;
    FThread->Stop();
    return FThread->WaitEnded(ms);
}

void TMainForm::FormCreate(TObject *) { Initialize(); }

void TMainForm::Initialize()
{
    CreateProgramText(GetSystemDefaultUILanguage());

    FDestination = AnsiString();
    try {
        LoadDestination();
    } catch (Exception &error) {
        // The folder file could not be read or written: the program goes on
        // with the documents folder, as on a first start; the user can still
        // choose another.
        Application->ShowException(&error);
        if (FDestination.IsEmpty())
            FDestination = DocumentsFolder();
        DestEdit->SetText(FDestination);
    }

    FThread = new TMain(true);
    FThread->Start();
    FThread->SetDestination(FDestination);

    SetCaption(MessageText(kMsgFormCaption));
    ScanBut->SetCaption(MessageText(kMsgScanBut));
    CloseBut->SetCaption(MessageText(kMsgCloseBut));
    DestBut->SetCaption(MessageText(kMsgDestBut));
    DestLabel->SetCaption(MessageText(kMsgDestLabel));

    CheckMsgTimer->SetEnabled(true);
    ScanBut->SetEnabled(false);
    ShowLog->SetVisible(false);
    Button1->SetVisible(false);
    Button2->SetVisible(false);

    ShowStatus(MessageText(kMsgLoading));
}

void TMainForm::LoadDestination()
{
    char temp[MAX_PATH] = {0};
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) {
        // No temporary folder: nowhere to keep the folder file.
        FTempFolder = AnsiString();
        FDestination = DocumentsFolder();
        DestEdit->SetText(FDestination);
        return;
    }
    FTempFolder = temp;
    const AnsiString config = FTempFolder + kConfigFile;

    if (FileExists(config.c_str())) {
        TMemoryStream stream;
        stream.LoadFromFile(config);
        const char end = 0;
        stream.Seek(0, soFromEnd);
        stream.Write(&end, 1);
        FDestination = AnsiString(static_cast<const char *>(stream.Memory()));
    }
    if (FDestination.IsEmpty()) {
        // A first start, or a file that names no folder: the documents
        // folder, kept in the file. Without a documents folder the
        // destination stays empty and no folder file is made, so that the
        // next start looks again. The documents folder is set before the
        // file is written, so a file that cannot be written leaves it.
        FDestination = DocumentsFolder();
        if (!FDestination.IsEmpty())
            SaveFolder(FDestination, config);
    }
    DestEdit->SetText(FDestination);
}

void TMainForm::DestButClick(TObject *)
{
    AnsiString folder = FDestination;
    if (!SelectDirectory(folder, TSelectDirOpts() << sdAllowCreate << sdPerformCreate << sdPrompt, 0))
        return;
    FDestination = folder;
    DestEdit->SetText(FDestination);
    if (FThread)
        FThread->SetDestination(FDestination);
    SaveFolder(FDestination, FTempFolder + kConfigFile);
}

void TMainForm::ShowStatus(const AnsiString &Text)
{
    MsgLabel->SetAutoSize(false);
    MsgLabel->SetWidth(Panel2->Width() - 8);
    MsgLabel->SetHeight(Panel2->Height() - 8);
    MsgLabel->SetCaption(Text);
    MsgLabel->SetAutoSize(true);
    // Integer division truncates toward zero: a label larger than the box
    // gets a negative offset and is cut at the box's edges.
    MsgLabel->SetTop((Panel2->Height() - MsgLabel->Height()) / 2);
    MsgLabel->SetLeft((Panel2->Width() - MsgLabel->Width()) / 2);
}

void TMainForm::CheckMsgTimerTimer(TObject *)
{
    if (!FThread)
        return;
    const AnsiString text = FThread->TakeMessage();
    if (text.IsEmpty())
        return;
    ShowStatus(text);
    FThread->Start();
}

void TMainForm::ScanButClick(TObject *)
{
    if (FThread)
        FThread->RequestScan();
}

void TMainForm::CloseButClick(TObject *) { Close(); }

void TMainForm::FormClose(TObject *, TCloseAction &) {}

void TMainForm::ShowLogClick(TObject *)
{
    if (DebugForm)
        DebugForm->Show();
}

void TMainForm::Button1Click(TObject *) { FlushDebug(); }

void TMainForm::Button2Click(TObject *) { DebugLog(kMarkLine); }
