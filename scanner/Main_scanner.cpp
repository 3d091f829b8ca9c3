#include "Main_scanner.h"

#include <chrono>
#include <cstdint>

#include "windows.h"
#include "shellapi.h"

#include "Extra.h"
#include "Fileout.h"
#include "Main_form.h"
#include "Messages.h"
#include "ProcessCheck.h"
#include "Tiff.h"
#include "Timer.h"
#include "Usb_kv8m.h"

namespace {

constexpr int kPollMs = 1000;
constexpr int kDocumentPollMs = 10000;
constexpr DWORD kPauseStepMs = 50;
constexpr DWORD kBusyStepMs = 5;
// Between two connect attempts that found nothing.
constexpr int kConnectRetryMs = 1000;
// RunTiffcp: the destination is looked for ten times, 100 ms apart; then
// tiffcp is given this long at most to finish writing it.
constexpr int kDestinationLooks = 10;
constexpr DWORD kDestinationStepMs = 100;
constexpr DWORD kTiffcpFinishMs = 60000;

constexpr const char *kPrinterProgram = "orvel_printer.exe";
constexpr const char *kTiffcpPath = "res\\tiffcp.exe";

// Message ids of the scanner's table.
enum : int {
    kMsgReady = 8,
    kMsgBusy = 10,
    kMsgError = 11,
    kMsgNotConnected = 12,
    kMsgDocument = 13,
    kMsgScanning = 14,
    kMsgScanned = 15,
    kMsgStatus8 = 16,
    kMsgPowerOff = 17,
    kMsgScanFailed = 18,
    kMsgPrinting = 25,
};

bool ShellSucceeded(HINSTANCE result) { return reinterpret_cast<intptr_t>(result) > 32; }

// The folder of the running program's file, with its final backslash.
AnsiString ProgramFolder()
{
    char path[MAX_PATH + 1] = {0};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    AnsiString folder(path, static_cast<int>(length));
    return folder.SubString(1, folder.LastDelimiter("\\"));
}

void EnableButtons(bool scan, bool destination)
{
    if (!MainForm)
        return;
    MainForm->ScanBut->SetEnabled(scan);
    MainForm->DestBut->SetEnabled(destination);
}

} // namespace

TMain::TMain(bool CreateSuspended) : TThread(CreateSuspended)
{
    InitFields();
}

TMain::~TMain()
{
    EndThread();
    DeleteDevice();
    delete FPollTimer;
}

void TMain::InitFields()
{
    FDevice = nullptr;
    FBusy = 0;
    FPause = 0;
    FScanRequested = 0;
    FState = kStateConnect;
    FPollTimer = new TTimer(nullptr);
    FPollTimer->SetInterval(kPollMs);
    FPollTimer->SetEnabled(false);
    FPollTimer->SetOnTimer(TNotifyEvent(this, &TMain::Poll));
    FDestination = AnsiString();
}

void TMain::Stop()
{
    FStopping = true;
    Terminate();
    {
        std::lock_guard<std::mutex> hold(FHoldLock);
        FEnding = true;
    }
    FHoldChanged.notify_all();
}

bool TMain::WaitEnded(DWORD ms)
{
    // A thread that never ran has nothing to wait for.
    return Suspended() || Handle() == nullptr || WaitForSingleObject(Handle(), ms) == WAIT_OBJECT_0;
}

void TMain::EndThread()
{
    Stop();
    TerminateAndWait();
}

// ---- Holding the scan thread -------------------------------------------------------

void TMain::Start()
{
    FPause = 0;
    if (Suspended()) { // created suspended: the first start lets it run
        Resume();
        return;
    }
    {
        std::lock_guard<std::mutex> hold(FHoldLock);
        --FHolds;
    }
    FHoldChanged.notify_all();
}

void TMain::Pause()
{
    std::lock_guard<std::mutex> hold(FHoldLock);
    ++FHolds;
}

void TMain::HoldHere()
{
    std::unique_lock<std::mutex> hold(FHoldLock);
    FHoldChanged.wait(hold, [this] { return FHolds <= 0 || FEnding; });
}

void TMain::RestFor(int ms)
{
    std::unique_lock<std::mutex> hold(FHoldLock);
    FHoldChanged.wait_for(hold, std::chrono::milliseconds(ms), [this] { return FEnding; });
}

// ---- Texts ---------------------------------------------------------------------------

void TMain::SetDestination(const AnsiString &Destination) { FDestination = Destination; }

void TMain::SetMessage(const AnsiString &Text)
{
    std::lock_guard<std::mutex> hold(FMessageLock);
    FMessage = Text;
}

void TMain::SetMessageId(int id) { SetMessage(AnsiString(ProgramText().Get(static_cast<unsigned char>(id)))); }

AnsiString TMain::TakeMessage()
{
    AnsiString text;
    {
        std::lock_guard<std::mutex> hold(FMessageLock);
        text = FMessage;
        FMessage = AnsiString();
    }
    while (FBusy) {
        Sleep(kBusyStepMs);
        FPause = 1; // no further connect attempt begins meanwhile
    }
    if (!text.IsEmpty())
        Pause();
    FPause = 0;
    return text;
}

// ---- The scan thread -------------------------------------------------------------------

void TMain::Execute()
{
    while (!Terminated()) {
        HoldHere();
        if (Terminated())
            break;
        switch (FState) {
        case kStateConnect:
            Connect();
            break;
        case kStateScan:
            DoScan();
            FState = kStateIdle;
            if (!FStopping)
                SetPollTimer(kPollMs, true);
            break;
        default: // idle: hold until a poll starts a scan
            Pause();
            break;
        }
    }
}

void TMain::Connect()
{
    while (FPause)
        Sleep(kPauseStepMs);
    FBusy = 1;
    const bool found = OpenDevice();
    if (found) {
        FState = kStateIdle;
        SetPollTimer(kPollMs, true);
    } else {
        SetMessageId(kMsgNotConnected);
    }
    FBusy = 0;
    if (!found)
        RestFor(kConnectRetryMs);
}

void TMain::SetPollTimer(int interval, bool enabled)
{
    FPollTimer->SetInterval(interval);
    FPollTimer->SetEnabled(enabled);
}

void TMain::DeleteDevice()
{
    // Always the link object made here; its destructor is not virtual.
    delete static_cast<TUSB_kv8m *>(FDevice);
    FDevice = nullptr;
}

bool TMain::OpenDevice()
{
    DeleteDevice();
    TUSB_kv8m *device = new TUSB_kv8m();
    device->SetStop(&FStopping);
    FDevice = device;
    return FDevice->Detect();
}

bool TMain::DoScan()
{
    if (!FDevice)
        return false;
    TUSB_kv8m *device = static_cast<TUSB_kv8m *>(FDevice);
    SetMessageId(kMsgScanning);
    device->Reopen();
    const int result = device->Scan();
    device->Close();
    // A scan left because the program is ending is neither reported nor
    // saved.
    if (FStopping)
        return false;
    if (result != TUSB_kv8m::kScanDone) {
        SetMessageId(kMsgScanFailed);
        return false;
    }
    TTiff *tiff = new TTiff(device->GetScanData(), device->GetPageCount());
    tiff->Convert();
    if (FStopping) {
        delete tiff;
        return false;
    }
    // With no folder to save in (no destination and no documents folder),
    // nothing is saved, so the scan is not reported as done.
    if (FDestination.IsEmpty()) {
        delete tiff;
        SetMessageId(kMsgScanFailed);
        return false;
    }
    SetMessageId(kMsgScanned);
    SaveScan(tiff);
    delete tiff;
    return true;
}

// ---- The poll (GUI thread) -------------------------------------------------------------

void TMain::RequestScan()
{
    FScanRequested = 1;
    Poll(nullptr);
}

void TMain::Poll(TObject *)
{
    while (FPause)
        Sleep(kPauseStepMs);
    FBusy = 1;
    if (CheckDevice()) {
        EnableButtons(true, true);
        FPollTimer->SetInterval(kDocumentPollMs);
        if (FScanRequested) {
            EnableButtons(false, false);
            FScanRequested = 0;
            FPollTimer->SetEnabled(false);
            FState = kStateScan;
            Start();
        }
    } else {
        FScanRequested = 0;
        FPollTimer->SetInterval(kPollMs);
        EnableButtons(false, true);
        if (FState == kStateConnect)
            OpenDevice();
    }
    FBusy = 0;
}

bool TMain::CheckDevice()
{
    if (!FDevice)
        return false;
    TUSB_kv8m *device = static_cast<TUSB_kv8m *>(FDevice);
    device->Reopen();
    const unsigned char status = device->GetStatus();
    device->Close();

    if ((status == TUSB_kv8m::kStatusNoPort || status == TUSB_kv8m::kStatusNoAnswer) &&
        IsProcessRunning(kPrinterProgram)) {
        SetMessageId(kMsgPrinting);
        return false;
    }
    switch (status) {
    case TUSB_kv8m::kStatusReady:
        SetMessageId(kMsgReady);
        return false;
    case TUSB_kv8m::kStatusBusy:
        SetMessageId(kMsgBusy);
        return false;
    case TUSB_kv8m::kStatusError:
        SetMessageId(kMsgError);
        return false;
    case TUSB_kv8m::kStatusNoPort:
        SetMessageId(kMsgNotConnected);
        FState = kStateConnect;
        return false;
    case TUSB_kv8m::kStatusDocument:
        SetMessageId(kMsgDocument);
        return true;
    case TUSB_kv8m::kStatus90:
        SetMessageId(kMsgStatus8);
        return false;
    case TUSB_kv8m::kStatusNoAnswer:
        SetMessageId(kMsgPowerOff);
        FState = kStateConnect;
        return false;
    default:
        return false;
    }
}

bool TMain::IsProcessRunning(const char *name) { return IsModuleRunning(name); }

// ---- Saving a scan (scan thread) ----------------------------------------------------

AnsiString TMain::NextFileBase()
{
    AnsiString base = FDestination;
    if (base.IsEmpty() || base[base.Length()] != '\\')
        base += "\\";
    base += "image_";
    for (int n = 0;; ++n) {
        AnsiString candidate = base + n;
        if (!FileExists((candidate + ".tif").c_str()))
            return candidate;
    }
}

void TMain::SaveScan(TTiff *Tiff)
{
    // An empty destination would put the files at the top of the current
    // drive, a place nobody chose.
    if (FDestination.IsEmpty() || FStopping)
        return;
    TFileOut *out = new TFileOut(Tiff->GetBlocks(), Tiff->GetSizes());
    const AnsiString base = NextFileBase();
    out->Open(base + ".tmp");
    out->Send();
    out->Close();
    delete out;
    // Told to stop meanwhile: the ".tmp" stays whole, and no ".tif" is made
    // or shown.
    if (FStopping)
        return;
    RunTiffcp(base + ".tmp", base + ".tif");
    if (FStopping)
        return;

    const AnsiString result = base + ".tif";
    if (!ShellSucceeded(ShellExecuteA(nullptr, "open", result.c_str(), nullptr, nullptr, SW_SHOWNOACTIVATE))) {
        const AnsiString select = "/select," + result;
        ShellExecuteA(nullptr, "open", "explorer.exe", select.c_str(), nullptr, SW_SHOWNOACTIVATE);
    }
}

int TMain::RunTiffcp(const AnsiString &Source, const AnsiString &Destination)
{
    if (!FileExists(Source.c_str()))
        return 3;
    const AnsiString parameters = "-c g3:1d \"" + Source + "\" \"" + Destination + "\"";
    const AnsiString program = ProgramFolder() + kTiffcpPath;

    // The shell's open as ShellExecuteA does it, keeping a handle on the
    // process: tiffcp makes the destination when it starts writing, and the
    // file is whole only once tiffcp has ended.
    SHELLEXECUTEINFOA start = {};
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_NOCLOSEPROCESS;
    start.lpVerb = "open";
    start.lpFile = program.c_str();
    start.lpParameters = parameters.c_str();
    start.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&start);
    if (!ShellSucceeded(start.hInstApp)) {
        if (start.hProcess)
            CloseHandle(start.hProcess);
        return 2;
    }

    for (int look = 0; look < kDestinationLooks; ++look) {
        if (FileExists(Destination.c_str()))
            break;
        Sleep(kDestinationStepMs);
    }
    // A tiffcp that failed, or has not finished in time, may have left a
    // destination that is no whole picture.
    bool finished = true;
    if (start.hProcess) {
        DWORD code = 0;
        finished = WaitForSingleObject(start.hProcess, kTiffcpFinishMs) == WAIT_OBJECT_0 &&
                   GetExitCodeProcess(start.hProcess, &code) && code == 0;
        CloseHandle(start.hProcess);
    }
    return finished && FileExists(Destination.c_str()) ? 0 : 1;
}
