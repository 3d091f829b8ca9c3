// The scanner program as a person meets it: the program started as a
// process of its own in a real X window (Xvfb, with and without a window
// manager) against the device stand-in on its pseudo-terminal, worked
// through real X input; a screenshot of each state under <build>/pictures.
#include <gtest/gtest.h>

#include <QImage>
#include <QRect>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "DeviceHarness.h"
#include "FileContents.h"
#include "ScannerSetup.h"
#include "TempMachineRoot.h"
#include "XSession.h"
#include "machine/MachineRoot.h"
#include "machine/Paths.h"

namespace {

using testsupport::WindowManager;
using testsupport::XSession;
using testsupport::XWindow;

// The centres of the form's buttons, in its client area.
constexpr int kScanX = 92 + 243 / 2, kScanY = 104 + 57 / 2;
constexpr int kDestX = 92 + 243 / 2, kDestY = 168 + 57 / 2;
constexpr int kCloseX = 153 + 119 / 2, kCloseY = 288 + 41 / 2;

// The status box (Panel1) in the client area.
const QRect kStatusBox(27, 32, 372, 57);

constexpr const char *kScans = "C:\\Scans";

// Looks every 50 ms until `done` holds, at most `timeoutMs`.
bool WaitUntil(const std::function<bool()> &done, int timeoutMs = testsupport::kXWaitMs)
{
    for (int waited = 0; !done(); waited += 50) {
        if (waited >= timeoutMs)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::string ManagerName(const testing::TestParamInfo<WindowManager> &info)
{
    return info.param == WindowManager::None ? "Bare" : "Openbox";
}

class RealWindowScanner : public testing::TestWithParam<WindowManager> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root_.Made());
        ASSERT_TRUE(testsupport::WriteUiLanguage("1033\n"));
        ASSERT_TRUE(scanner_program_test::RegisterTifRecorder(OpenedLog()));
        std::filesystem::create_directories(machine::UnixPath(kScans));
        ASSERT_TRUE(testsupport::WriteText(ConfigPath(), kScans));
        ASSERT_TRUE(session_.Ready()) << session_.Problem();
    }

    std::string ConfigPath() const { return machine::UnixPath(machine::kTempDir) + "/config.inc"; }
    std::string OpenedLog() const { return root_.Path() + "/logs/opened.log"; }
    std::string Opened() const { return testsupport::ReadText(OpenedLog()); }
    std::string Scans() const { return machine::UnixPath(kScans); }

    // The stand-in with a document of `pages` pages of `rows` rows lying in it.
    void StartDevice(int pages, int rows, bool paced)
    {
        standin::DeviceOptions options;
        options.paced = paced;
        const std::string folder = root_.Scratch("document");
        for (int i = 0; i < pages; ++i) {
            options.scanPages.push_back(folder + "/page-" + std::to_string(i + 1) + ".pbm");
            ASSERT_TRUE(pbm::WriteFile(options.scanPages.back(),
                                       scanner_program_test::DocumentPage(static_cast<unsigned>(80 + i), rows)));
        }
        device_ = std::make_unique<standin::DeviceProcess>(options);
        ASSERT_TRUE(device_->Started()) << device_->Error();
    }

    // Starts the scanner program and finds its painted window.
    void StartScanner()
    {
        scanner_ = session_.Start({ARV_SCANNER_PROGRAM});
        ASSERT_GT(scanner_, 0);
        window_ = session_.FindWindow(scanner_, "Scanner");
        ASSERT_NE(window_, 0u) << session_.Log(scanner_);
        ASSERT_TRUE(session_.WaitPainted(window_)) << session_.Log(scanner_);
    }

    // Waits until the status box shows something else than `before`.
    bool WaitForNewStatus(const QImage &before)
    {
        return WaitUntil([&] { return session_.Grab(window_).copy(kStatusBox) != before; });
    }

    // Clicks Scan as a user does once the window offers it: until the
    // device is asked to scan (a click before the poll has enabled Scan
    // does nothing).
    void ClickScan()
    {
        ASSERT_TRUE(device_->WaitForLog("status state=document", testsupport::kXWaitMs)) << device_->Log();
        for (int attempt = 0; attempt < 60; ++attempt) {
            ASSERT_TRUE(session_.ClickAt(window_, kScanX, kScanY));
            if (device_->WaitForLog("scan pages=", 1000))
                return;
        }
        FAIL() << "Scan never started a scan\n" << device_->Log() << session_.Log(scanner_);
    }

    testsupport::TempMachineRoot root_{"arv-realwindow-scanner", testsupport::Layout::Now};
    XSession session_{GetParam()};
    std::unique_ptr<standin::DeviceProcess> device_;
    pid_t scanner_ = -1;
    XWindow window_ = 0;
};

// A click on Scan with a document in the device: the scan is saved as
// image_0.tif in the destination and handed to the opener; the window goes
// on polling, and Close ends the program.
TEST_P(RealWindowScanner, ScanThroughAClick)
{
    StartDevice(1, 300, false);
    StartScanner();
    const QImage loading = session_.Grab(window_).copy(kStatusBox);
    EXPECT_FALSE(session_.Screenshot(window_, "started").empty());
    ASSERT_TRUE(device_->WaitForLog("status state=document", testsupport::kXWaitMs)) << device_->Log();
    EXPECT_TRUE(WaitForNewStatus(loading)); // "Document ready for scan."
    EXPECT_FALSE(session_.Screenshot(window_, "document-ready").empty());
    ClickScan();
    ASSERT_TRUE(WaitUntil([&] { return !Opened().empty(); })) << session_.Log(scanner_);
    EXPECT_EQ(Opened(), "C:\\Scans\\image_0.tif\n");
    EXPECT_TRUE(std::filesystem::exists(Scans() + "/image_0.tif"));
    EXPECT_TRUE(device_->WaitForLog("scan-end", 10000));
    // The device took the document: the polls say so (the first one's text
    // is shown by the time of the next).
    EXPECT_TRUE(device_->WaitForLog("status state=ready", testsupport::kXWaitMs, 2));
    EXPECT_FALSE(session_.Screenshot(window_, "scanned").empty());

    ASSERT_TRUE(session_.ClickAt(window_, kCloseX, kCloseY));
    bool timedOut = false;
    EXPECT_EQ(session_.WaitForExit(scanner_, testsupport::kXWaitMs, &timedOut), 0) << session_.Log(scanner_);
    EXPECT_FALSE(timedOut);
}

// Close, or the window manager's close request, in the middle of a long
// scan: the window goes and the process ends within a few seconds (the
// scan itself would take minutes); nothing of the abandoned scan is saved
// as a picture, and nothing is opened. Also with the device fallen silent
// in the middle of a line, the scan thread waiting in a read of the port:
// the closing program does not wait for it.
TEST_P(RealWindowScanner, CloseDuringAScanEndsTheProgram)
{
    const struct {
        const char *name;
        bool button;       // Close clicked, else the close request
        const char *fault; // armed before the scan, or none
        const char *when;  // Close once the device's log holds this
    } cases[] = {
        {"close-button", true, nullptr, "record index=400"},
        {"close-request", false, nullptr, "record index=400"},
        {"silent-in-a-line", true, "fault short-line 300", "fault short-line fired"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(Scans());
        std::filesystem::create_directories(Scans());
        StartDevice(6, 2200, true); // about a minute on the paced wire
        if (c.fault) {
            ASSERT_TRUE(device_->Command(c.fault)) << device_->Log();
        }
        StartScanner();
        ClickScan();
        ASSERT_TRUE(device_->WaitForLog(c.when, testsupport::kXWaitMs)) << device_->Log();
        EXPECT_FALSE(session_.Screenshot(window_, std::string("scanning-") + c.name).empty());
        if (c.button)
            ASSERT_TRUE(session_.ClickAt(window_, kCloseX, kCloseY));
        else
            ASSERT_TRUE(session_.RequestClose(window_));
        // A bound for a hang, not a measure of speed.
        bool timedOut = false;
        EXPECT_EQ(session_.WaitForExit(scanner_, 10000, &timedOut), 0) << session_.Log(scanner_);
        EXPECT_FALSE(timedOut) << "the program was still running";
        EXPECT_FALSE(device_->Log().find("scan-end") != std::string::npos) << "the scan ran to its end";
        for (const auto &entry : std::filesystem::directory_iterator(Scans()))
            EXPECT_NE(entry.path().extension(), ".tif") << entry.path();
        EXPECT_EQ(Opened(), "");
        EXPECT_FALSE(session_.Screenshot(0, std::string("after-") + c.name).empty());
        device_.reset();
    }
}

// Destination folder, a name of a folder that does not exist typed into
// the folder dialog and OK: the question box is painted, and Yes creates
// the folder, which becomes the destination kept in config.inc.
TEST_P(RealWindowScanner, NewDestinationFolderIsAskedForAndCreated)
{
    StartDevice(1, 20, false);
    StartScanner();
    ASSERT_TRUE(session_.ClickAt(window_, kDestX, kDestY));
    const XWindow dialog = session_.FindWindow(scanner_, "Select Directory");
    ASSERT_NE(dialog, 0u) << session_.Log(scanner_);
    ASSERT_TRUE(session_.WaitPainted(dialog));
    EXPECT_FALSE(session_.Screenshot(dialog, "folder-dialog").empty());
    ASSERT_TRUE(session_.Activate(dialog));
    ASSERT_TRUE(session_.Key("alt+n"));
    ASSERT_TRUE(session_.Key("ctrl+a"));
    ASSERT_TRUE(session_.Type("C:\\Scans\\Of Today"));
    ASSERT_TRUE(session_.Key("Return"));

    const XWindow question = session_.FindWindow(scanner_, "Confirm");
    ASSERT_NE(question, 0u) << session_.Log(scanner_);
    EXPECT_TRUE(session_.WaitPainted(question)) << "the question box stays unpainted";
    EXPECT_FALSE(session_.Screenshot(question, "question").empty());
    ASSERT_TRUE(session_.Activate(question));
    ASSERT_TRUE(session_.Key("alt+y"));

    EXPECT_TRUE(session_.WaitUnmapped(dialog));
    // The program keeps the choice once the dialog has closed, a moment
    // after the window is gone.
    WaitUntil([&] { return testsupport::ReadText(ConfigPath()) == "C:\\Scans\\Of Today"; });
    EXPECT_TRUE(std::filesystem::is_directory(Scans() + "/Of Today"));
    EXPECT_EQ(testsupport::ReadText(ConfigPath()), "C:\\Scans\\Of Today");
    EXPECT_FALSE(session_.Screenshot(window_, "new-destination").empty());
}

INSTANTIATE_TEST_SUITE_P(Managers, RealWindowScanner, testing::Values(WindowManager::None, WindowManager::Openbox),
                         ManagerName);

// The form under a window manager, as a test of its own.
class RealWindowScannerManaged : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root_.Made());
        ASSERT_TRUE(testsupport::WriteUiLanguage("1033\n"));
        ASSERT_TRUE(session_.Ready()) << session_.Problem();
        scanner_ = session_.Start({ARV_SCANNER_PROGRAM});
        window_ = session_.FindWindow(scanner_, "Scanner");
        ASSERT_NE(window_, 0u) << session_.Log(scanner_);
        ASSERT_TRUE(session_.WaitPainted(window_));
    }

    std::string Actions() { return session_.Property(window_, "_NET_WM_ALLOWED_ACTIONS"); }

    testsupport::TempMachineRoot root_{"arv-realwindow-scanner", testsupport::Layout::Now};
    XSession session_{WindowManager::Openbox};
    pid_t scanner_ = -1;
    XWindow window_ = 0;
};

// The form is a tool window: the window manager's utility window, which can
// be closed but not maximised.
TEST_F(RealWindowScannerManaged, FormIsAToolWindow)
{
    EXPECT_NE(session_.Property(window_, "_NET_WM_WINDOW_TYPE").find("_NET_WM_WINDOW_TYPE_UTILITY"),
              std::string::npos)
        << session_.Property(window_, "_NET_WM_WINDOW_TYPE");
    EXPECT_NE(Actions().find("_NET_WM_ACTION_CLOSE"), std::string::npos) << Actions();
    EXPECT_EQ(Actions().find("_NET_WM_ACTION_MAXIMIZE"), std::string::npos) << Actions();
    EXPECT_FALSE(session_.Screenshot(session_.Frame(window_), "tool-window").empty());
}

// A tool window's caption has no minimise button either. Disabled: the
// window manager still offers to minimise the utility window, and its
// caption still draws minimise and maximise buttons.
TEST_F(RealWindowScannerManaged, DISABLED_ToolWindowCannotBeMinimised)
{
    EXPECT_EQ(Actions().find("_NET_WM_ACTION_MINIMIZE"), std::string::npos) << Actions();
}

} // namespace
