#include "Main.h"

#include "windows.h"
#include "wincrt.h"

#include "Kv8m.h"
#include "MemoryStream.h"
#include "Messages.h"
#include "Pcl_parser.h"
#include "ProcessCheck.h"
#include "Usb_kv8m.h"

namespace {

constexpr int kReadPiece = 2048;
constexpr DWORD kRetryDelayMs = 5000;
constexpr DWORD kFinishStepMs = 50;

// Message ids of the printer's table.
enum : int {
    kMsgTransmissionError = 6,
    kMsgNotReady = 9,
    kMsgBusy = 10,
    kMsgError = 11,
    kMsgNotConnected = 12,
    kMsgDocumentInserted = 13,
    kMsgScanning = 14,
    kMsgScanned = 15,
    kMsgStatus8 = 16,
    kMsgPowerOff = 17,
    kMsgStatus10 = 18,
    kMsgScannerHoldsPort = 23,
};

} // namespace

TMain::TMain(bool CreateSuspended) : TThread(CreateSuspended)
{
    InitFields();
    ReadJob();
}

TMain::~TMain()
{
    // The worker must be gone before the objects it uses are.
    Terminate();
    while (Suspended())
        Resume();
    WaitFor();
    delete FJob;
    DeleteDevice();
    delete FParser;
}

void TMain::InitFields()
{
    FJob = nullptr;
    FDevice = nullptr;
    FParser = nullptr;
    FDone = 0;
    FResult = 0;
    FState = 0;
    FPagesDone = 0;
    FRedetect = 1;
}

void TMain::Start() { Resume(); }
void TMain::Pause() { Suspend(); }
void TMain::Stop() { Terminate(); }
bool TMain::IsRunning() { return FDone == 0; }

AnsiString TMain::TakeMessage()
{
    // The worker is suspended before the lock is let go: once it sees the
    // text gone, its suspension is already counted, and its next step (the
    // stop-request check) holds it until Retry, so after Cancel it never
    // starts printing.
    std::lock_guard<std::mutex> hold(FMessageLock);
    AnsiString taken = FMessage;
    FMessage = AnsiString();
    if (!taken.IsEmpty())
        Pause();
    return taken;
}

void TMain::SetMessage(const AnsiString &text)
{
    std::lock_guard<std::mutex> hold(FMessageLock);
    FMessage = text;
}

void TMain::SetMessageId(int id) { SetMessage(AnsiString(ProgramText().Get(static_cast<unsigned char>(id)))); }

bool TMain::MessagePending()
{
    std::lock_guard<std::mutex> hold(FMessageLock);
    return !FMessage.IsEmpty();
}

AnsiString TMain::GetResultText()
{
    unsigned char result = FResult;
    if (result > 7)
        return AnsiString();
    return AnsiString(ProgramText().Get(result));
}

bool TMain::ReadJob()
{
    if (!FJob)
        FJob = new TMemoryStream();
    FJob->Clear();
    int input = _fileno(stdin);
    _setmode(input, _O_BINARY);
    char piece[kReadPiece];
    bool any = false;
    for (;;) {
        int got = _read(input, piece, kReadPiece);
        if (got <= 0)
            break;
        FJob->Write(piece, got);
        any = true;
    }
    return any;
}

void TMain::Execute()
{
    while (!Terminated()) {
        switch (FState) {
        case 0:
            if (FJob->Size() == 0) {
                FResult = 0;
                Finish();
                return;
            }
            FState = 2;
            break;
        case 1:
            if (!OpenDevice()) {
                FResult = 1;
                Finish();
                return;
            }
            FState = 2;
            break;
        case 2:
            if (!ParseJob()) {
                FResult = 5;
                Finish();
                return;
            }
            // A job without pages has nothing to print: it ends as printed,
            // without waiting for the device.
            FState = FParser->GetFirstPage() ? 3 : 6;
            break;
        case 3:
            if (!WaitReady())
                Sleep(kRetryDelayMs);
            else if (!MessagePending())
                FState = 4;
            break;
        case 4:
            if (PrintJob())
                FState = 6;
            break;
        default:
            FResult = 0;
            Finish();
            return;
        }
    }
}

void TMain::Finish()
{
    FDone = 1;
    while (!Terminated())
        Sleep(kFinishStepMs);
}

void TMain::DeleteDevice()
{
    // The device is always the link object made here; its destructor is not
    // virtual, so it is deleted as what it is.
    delete static_cast<TUSB_kv8m *>(FDevice);
    FDevice = nullptr;
}

bool TMain::OpenDevice()
{
    DeleteDevice();
    TUSB_kv8m *device = new TUSB_kv8m();
    FDevice = device;
    return FDevice->Detect();
}

bool TMain::ParseJob()
{
    delete FParser;
    FParser = new TPCL_file(FJob);
    return FParser->Parse() == 0;
}

bool TMain::WaitReady()
{
    if (Terminated())
        return false;
    if (FRedetect) {
        OpenDevice();
        FRedetect = 0;
    }
    TUSB_kv8m *device = dynamic_cast<TUSB_kv8m *>(FDevice);
    if (!device)
        return false;

    device->Reopen();
    unsigned char status = device->GetStatus();
    bool ready = false;
    switch (status) {
    case 0: ready = true; break;
    case 1: SetMessageId(kMsgNotReady); break;
    case 2: SetMessageId(kMsgBusy); break;
    case 3: SetMessageId(kMsgError); break;
    case 4:
        SetMessageId(IsProcessRunning("orvel_scanner.exe") ? kMsgScannerHoldsPort : kMsgNotConnected);
        FRedetect = 1;
        break;
    case 5: SetMessageId(kMsgDocumentInserted); break;
    case 6: SetMessageId(kMsgScanning); break;
    case 7: SetMessageId(kMsgScanned); break;
    case 8: SetMessageId(kMsgStatus8); break;
    case 9:
        SetMessageId(kMsgPowerOff);
        FRedetect = 1;
        break;
    case 10: SetMessageId(kMsgStatus10); break;
    default: break;
    }
    device->Close();
    return ready;
}

bool TMain::PrintJob()
{
    TUSB_kv8m *device = dynamic_cast<TUSB_kv8m *>(FDevice);
    if (!device) {
        SetMessageId(kMsgTransmissionError);
        FState = 1;
        return false;
    }

    TPCL_page *first = FParser->GetFirstPage();
    if (!first) { // nothing to send (parsing already ends such a job)
        DeleteDevice();
        return true;
    }

    TKv8m_Compress *coder = new TKv8m_Compress(FParser);
    coder->Convert();
    // The coder stops when the heap gives no block for a page; sending the
    // pages it did code would end the job as printed with pages missing.
    if (coder->GetBlocks()->size() != static_cast<size_t>(FParser->GetPageCount())) {
        SetMessageId(kMsgTransmissionError);
        FState = 3;
        delete coder;
        return false;
    }

    device->SetData(coder->GetBlocks(), coder->GetSizes());
    device->Reopen();
    device->SetStartPage(FPagesDone);

    int resolution = first->Header[5];
    if (device->StartJob(FParser->GetCopies(), resolution, 1) == 0) {
        SetMessageId(kMsgNotReady);
        FState = 3;
        device->SetData(nullptr, nullptr); // the lists go with the coder
        delete coder;
        return false;
    }
    if (FDevice->Send() != 0) {
        device->Close();
        delete coder;
        DeleteDevice();
        return true;
    }
    FPagesDone = device->GetPagesSent();
    SetMessageId(kMsgNotReady);
    FState = 3;
    device->SetData(nullptr, nullptr);
    delete coder;
    return false;
}

bool TMain::IsProcessRunning(const char *name) { return IsModuleRunning(name); }
