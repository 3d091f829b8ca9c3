// The print thread: reads the job from standard input when it is made, then
// parses it, waits until the device is ready and prints it, resuming after
// the pages the device already took. Device states become pending texts
// that the main thread takes and shows.
#pragma once

#include <atomic>
#include <mutex>

#include "AnsiString.h"
#include "Thread.h"

class TMemoryStream;
class TOutput;
class TPCL_file;

class TMain : public TThread {
public:
    explicit TMain(bool CreateSuspended);
    ~TMain() override;

    void Start();
    void Pause();
    void Stop();
    bool IsRunning();
    // Takes the pending text; a non-empty one leaves the worker suspended
    // until the caller starts it again.
    AnsiString TakeMessage();
    AnsiString GetResultText();

    // True when a process whose program's module name is exactly `name` runs.
    static bool IsProcessRunning(const char *name);

protected:
    void Execute() override;

private:
    void InitFields();
    bool ReadJob();
    bool OpenDevice();
    void DeleteDevice();
    bool ParseJob();
    bool WaitReady();
    bool PrintJob();
    void Finish();
    void SetMessage(const AnsiString &text);
    void SetMessageId(int id);
    bool MessagePending();

    TMemoryStream *FJob;
    TOutput *FDevice;
    TPCL_file *FParser;
    std::atomic<unsigned char> FDone;
    std::atomic<unsigned char> FResult;
    unsigned char FState;
    AnsiString FMessage;
    int FPagesDone;
    unsigned char FRedetect;

    std::mutex FMessageLock; // guards FMessage: each hand-over is one step
};
