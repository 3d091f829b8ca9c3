// The scan thread and device controller of the scanner program. The thread
// looks for the device at start and performs the scans; its poll, driven by
// a timer on the GUI thread, queries the device status (every second, every
// ten seconds while a document waits), posts a text for the status box,
// enables the form's Scan and Destination buttons, and turns a click on
// Scan into a scan on the scan thread. A scan is saved into the destination
// folder as "image_" N ".tmp", recoded to Group 3 by tiffcp as ".tif" and
// opened.
//
// The two threads hand texts over through one pending-text slot and
// coordinate with byte flags and a hold count:
// - Pause adds a hold and Start takes one back. The scan thread stops only
//   at its safe point, the top of each pass of its loop, where it holds
//   neither the port nor a lock, while holds are left. It holds itself in
//   the idle state; the GUI thread holds it while the form shows a text.
// - A Start that comes before the Pause it answers is kept, so a wake-up
//   is never lost.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "AnsiString.h"
#include "Thread.h"

class QObject;
typedef QObject TObject;
class TOutput;
class TTiff;
class TTimer;

class TMain : public TThread {
public:
    // States of FState.
    enum : unsigned char { kStateConnect = 1, kStateIdle = 3, kStateScan = 5 };

    // The form creates it suspended: it waits for the first Start.
    explicit TMain(bool CreateSuspended);
    // Ends the scan thread (Stop, then waits for it), then frees the device
    // object and the poll timer. Call on the GUI thread.
    ~TMain() override;

    // Tells the scan thread to end, from any thread: a scan under way leaves
    // its transfer before its next read of the port and saves nothing that
    // it has not begun to write; holds and rests end at once.
    void Stop();
    // Waits at most `ms` for the scan thread to end; true when it has.
    bool WaitEnded(DWORD ms);

    void Start();
    void Pause();
    void SetDestination(const AnsiString &Destination);
    void SetMessage(const AnsiString &Text);
    // Takes the pending text; a non-empty one holds the scan thread until
    // the caller starts it again.
    AnsiString TakeMessage();
    // The Scan button: asks for a scan and polls at once.
    void RequestScan();
    // One poll: the poll timer's handler.
    void Poll(TObject *Sender);
    // One status query and its text; true only when a document is ready.
    bool CheckDevice();
    // A new device object and a port search; true when the port was found.
    bool OpenDevice();
    // One scan, saved when it succeeds.
    bool DoScan();

    // The file name without extension for the next scan: the first
    // "image_" N in the destination folder whose ".tif" does not exist.
    AnsiString NextFileBase();
    // Writes the TIFF to a ".tmp" file, has tiffcp recode it and opens it.
    // Without a destination folder nothing is written; once the thread is
    // told to stop, no further step begins.
    void SaveScan(TTiff *Tiff);
    // Runs res\tiffcp.exe beside the program and waits until it has ended:
    // 0 the destination is written, 1 it was not (tiffcp failed, or did not
    // end in time), 2 tiffcp did not start, 3 no source.
    int RunTiffcp(const AnsiString &Source, const AnsiString &Destination);

    static bool IsProcessRunning(const char *name);

protected:
    void Execute() override;

private:
    friend class TScanThreadProbe; // lets tests read the state, the timer and the destination

    void InitFields();
    void Connect();
    void DeleteDevice();
    void SetMessageId(int id);
    void SetPollTimer(int interval, bool enabled);
    // The safe point: waits while holds are left and the thread is not
    // ending.
    void HoldHere();
    // Waits `ms` unless the thread is ending meanwhile.
    void RestFor(int ms);
    // The end of the thread: Stop, then the wait for Execute to return.
    void EndThread();

    TOutput *FDevice;
    std::atomic<unsigned char> FBusy;
    std::atomic<unsigned char> FPause;
    std::atomic<unsigned char> FScanRequested;
    std::atomic<unsigned char> FState;
    std::atomic<bool> FStopping{false}; // raised by Stop; the device's scans watch it
    AnsiString FMessage;
    AnsiString FDestination;
    TTimer *FPollTimer;

    std::mutex FMessageLock; // each hand-over of FMessage is one step
    std::mutex FHoldLock;
    std::condition_variable FHoldChanged;
    int FHolds = 0;       // below 0: Starts that came before their Pause
    bool FEnding = false; // guarded by FHoldLock
};
