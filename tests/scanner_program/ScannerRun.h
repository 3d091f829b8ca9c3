// Fixture for running the scanner program in this process, as WinMain
// does, on Qt's offscreen platform: its own machine root with a language,
// the device stand-in plugged into it, a recorder registered as the opener
// of ".tif" files, and the dialog pilot for the exception and folder
// boxes. While a test waits, the GUI thread runs the program's timers, and
// every text the status box shows is recorded.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DeviceHarness.h"
#include "DialogPilot.h"
#include "Main_form.h"
#include "Main_scanner.h"
#include "MemoryStream.h"
#include "ScannerSetup.h"
#include "ScopedEnvironment.h"
#include "TempMachineRoot.h"
#include "Timer.h"

class TMainFormProbe {
public:
    static TMain *Thread(TMainForm *form) { return form->FThread; }
    static AnsiString Destination(TMainForm *form) { return form->FDestination; }
    static AnsiString TempFolder(TMainForm *form) { return form->FTempFolder; }
};

class TScanThreadProbe {
public:
    static unsigned char State(TMain *thread) { return thread->FState; }
    static TTimer *PollTimer(TMain *thread) { return thread->FPollTimer; }
    static AnsiString Destination(TMain *thread) { return thread->FDestination; }
};

namespace scanner_program_test {

constexpr int kEnglish = 1033;
constexpr int kChinese = 2052;

// The scanner's texts as the program holds them: English, or Chinese in
// GB2312, by message id.
std::string Expected(int id, int language = kEnglish);

// The scan records the device link stores for a document of these pages,
// in a stream positioned at its end.
void RecordsOf(const std::vector<pbm::Image> &pages, TMemoryStream *stream);

class ScannerRunTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void SetLanguage(int language);
    // Starts the device stand-in in the test's machine root.
    standin::DeviceProcess &StartDevice(const standin::DeviceOptions &options = standin::DeviceOptions());
    standin::DeviceProcess &StartDevice(const std::string &state);
    standin::DeviceProcess &Device() { return *FDevice; }
    void StopDevice() { FDevice.reset(); }
    // Writes pages as PBM files for the stand-in to scan; their paths.
    std::vector<std::string> WriteDocument(const std::vector<pbm::Image> &pages);

    // Makes the main form and the log form as WinMain does, and shows the
    // main form.
    void StartScanner();
    // Destroys the forms (the scan thread ends with the main form).
    void CloseScanner();

    TMainForm *Form() const { return MainForm; }
    TMain *Thread() const { return TMainFormProbe::Thread(MainForm); }
    unsigned char State() const { return TScanThreadProbe::State(Thread()); }
    TTimer *PollTimer() const { return TScanThreadProbe::PollTimer(Thread()); }
    std::string Status() const;

    // Runs the GUI thread until `done` holds or `timeoutMs` passes; whether
    // it holds.
    bool WaitUntil(const std::function<bool()> &done, int timeoutMs = 20000);
    // Waits until the status box shows message `id` (as texts are shown
    // anew, a text already shown counts only if shown again).
    bool WaitForStatus(int id, int timeoutMs = 20000, int language = kEnglish);
    // Runs the GUI thread for `ms`.
    void RunFor(int ms);
    // The texts the status box showed since the last call, in order.
    std::vector<std::string> TakeShown();

    // Where the recorder logs the files that the ".tif" opener was asked
    // to open, one Windows path a line, and what it logged so far.
    std::string OpenedLog() const { return FRoot.Path() + "/logs/opened.log"; }
    std::string Opened() const;
    // The requests Explorer received ("select<TAB>path" lines).
    std::string Explored() const;

    std::string UnixPath(const std::string &windowsPath) const;
    std::string Picture(const std::string &name);

    testsupport::TempMachineRoot FRoot{"arv-scanner", testsupport::Layout::Now};
    testsupport::ScopedEnvironment FEnvironment;
    std::unique_ptr<classlib_testing::TDialogPilot> FPilot;

private:
    void Record();

    std::unique_ptr<standin::DeviceProcess> FDevice;
    std::vector<std::string> FShown;
    std::string FLastShown;
    std::string FDocumentFolder;
    int FDocuments = 0;
};

// Expects exactly the dialogs scripted, with no surprises.
void ExpectPilotClean(const classlib_testing::TDialogPilot &pilot);

} // namespace scanner_program_test
