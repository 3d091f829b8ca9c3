// The class library's forms in real X windows: the probe program on a
// server of the test's own, with and without a window manager.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "TempMachineRoot.h"
#include "XSession.h"

namespace {

using testsupport::WindowManager;
using testsupport::XSession;
using testsupport::XWindow;

std::string ManagerName(const testing::TestParamInfo<WindowManager> &info)
{
    return info.param == WindowManager::None ? "Bare" : "Openbox";
}

class RealWindow : public testing::TestWithParam<WindowManager> {
protected:
    // Starts the probe with `commandLine` and finds its form's window, once
    // painted; 0 when that fails (Problem() says why).
    XWindow StartProbe(const std::string &commandLine = std::string())
    {
        if (!session_.Ready())
            return 0;
        std::vector<std::string> args = {ARV_PROBE_PROGRAM};
        if (!commandLine.empty())
            args.push_back(commandLine);
        probe_ = session_.Start(args);
        const XWindow window = probe_ > 0 ? session_.FindWindow(probe_, "Probe") : 0;
        return window && session_.WaitPainted(window) ? window : 0;
    }
    std::string Problem() { return session_.Problem() + session_.Log(probe_); }

    // Where in the probe's output `line` first stands; npos when nowhere.
    size_t Where(const std::string &line) { return session_.Log(probe_).find(line + "\n"); }

    testsupport::TempMachineRoot root_;
    XSession session_{GetParam()};
    pid_t probe_ = -1;
};

// The probe's controls, in its form's client coordinates.
constexpr int kHoverX = 60, kHoverY = 40;   // LHover
constexpr int kOtherX = 60, kOtherY = 140;  // LOther
constexpr int kBrowseX = 275, kBrowseY = 35; // Browse
constexpr int kShowX = 275, kShowY = 135;   // ShowBut
constexpr int kFreeX = 190, kFreeY = 90;    // no control

// The harness itself: the form's window comes up painted, is seen in a
// screenshot, and closes as a window manager's close button asks.
TEST_P(RealWindow, FormShowsPaintedAndClosesOnRequest)
{
    const XWindow window = StartProbe();
    ASSERT_NE(window, 0u) << Problem();
    EXPECT_EQ(session_.Managed(), session_.Frame(window) != window);
    EXPECT_FALSE(session_.Screenshot(window, "probe").empty());
    EXPECT_FALSE(session_.Screenshot(0, "screen").empty());

    ASSERT_TRUE(session_.RequestClose(window));
    bool timedOut = false;
    EXPECT_EQ(session_.WaitForExit(probe_, testsupport::kXWaitMs, &timedOut), 0) << session_.Log(probe_);
    EXPECT_FALSE(timedOut);
    EXPECT_NE(session_.Log(probe_).find("ended"), std::string::npos);
}

// Real pointer input reaches the controls: entering and leaving a label.
TEST_P(RealWindow, PointerCrossesALabel)
{
    const XWindow window = StartProbe();
    ASSERT_NE(window, 0u) << Problem();
    ASSERT_TRUE(session_.MoveTo(window, kHoverX, kHoverY));
    EXPECT_TRUE(session_.WaitForOutput(probe_, "enter LHover")) << session_.Log(probe_);
    ASSERT_TRUE(session_.MoveTo(window, kOtherX, kOtherY));
    EXPECT_TRUE(session_.WaitForOutput(probe_, "leave LHover")) << session_.Log(probe_);
    EXPECT_TRUE(session_.WaitForOutput(probe_, "enter LOther")) << session_.Log(probe_);
}

// A label hidden under the pointer gets no leave while it is hidden: the
// leave comes after, once the pointer moves on, and the label it moves to
// gets its enter then.
TEST_P(RealWindow, LabelHiddenUnderThePointerLeavesAfterwards)
{
    const XWindow window = StartProbe();
    ASSERT_NE(window, 0u) << Problem();
    ASSERT_TRUE(session_.MoveTo(window, kHoverX, kHoverY));
    ASSERT_TRUE(session_.WaitForOutput(probe_, "enter LHover\n")) << session_.Log(probe_);
    ASSERT_TRUE(session_.Click());
    ASSERT_TRUE(session_.WaitForOutput(probe_, "hidden LHover\n")) << session_.Log(probe_);
    ASSERT_TRUE(session_.MoveTo(window, kOtherX, kOtherY));
    ASSERT_TRUE(session_.WaitForOutput(probe_, "enter LOther\n")) << session_.Log(probe_);
    const size_t hidden = Where("hidden LHover"), left = Where("leave LHover");
    ASSERT_NE(left, std::string::npos) << session_.Log(probe_);
    EXPECT_GT(left, hidden) << session_.Log(probe_);
    EXPECT_LT(left, Where("enter LOther")) << session_.Log(probe_);
    EXPECT_FALSE(session_.Screenshot(window, "hidden").empty());

    // Shown again away from the pointer: no enter.
    ASSERT_TRUE(session_.ClickAt(window, kShowX, kShowY));
    ASSERT_TRUE(session_.WaitForOutput(probe_, "shown LHover\n")) << session_.Log(probe_);
    EXPECT_EQ(session_.Log(probe_).rfind("enter LHover"), Where("enter LHover")) << session_.Log(probe_);
}

// A label whose click opens a modal dialog (the label buttons' way): once
// the dialog has closed and the pointer has left the label, the label has
// had its leave and looks as it did before the pointer came (the probe's
// labels grow under the pointer). The dialog is closed by a click on its
// Cancel (the pointer leaves the label for it) and by Escape (the pointer
// stays on the label until it moves away).
TEST_P(RealWindow, LabelLeftAroundAModalDialogGetsItsLeave)
{
    const XWindow window = StartProbe();
    ASSERT_NE(window, 0u) << Problem();
    const QRect label(10, 115, 160, 50); // LOther grown or not
    ASSERT_TRUE(session_.MoveTo(window, kFreeX, kFreeY));
    const QImage resting = session_.Grab(window).copy(label);

    for (const bool byKey : {false, true}) {
        SCOPED_TRACE(byKey ? "closed by Escape" : "closed by Cancel");
        const size_t before = session_.Log(probe_).size();
        ASSERT_TRUE(session_.ClickAt(window, kOtherX, kOtherY));
        const XWindow dialog = session_.FindWindow(probe_, "Select Directory");
        ASSERT_NE(dialog, 0u) << session_.Log(probe_);
        ASSERT_TRUE(session_.WaitPainted(dialog));
        if (byKey) {
            ASSERT_TRUE(session_.Activate(dialog));
            ASSERT_TRUE(session_.Key("Escape"));
        } else {
            const QRect area = session_.Geometry(dialog);
            ASSERT_TRUE(session_.ClickAt(dialog, area.width() - 52, area.height() - 22));
        }
        ASSERT_TRUE(session_.WaitUnmapped(dialog));
        ASSERT_TRUE(session_.MoveTo(window, kFreeX, kFreeY));
        ASSERT_TRUE(session_.MoveTo(window, kFreeX + 5, kFreeY + 5));
        const std::string log = session_.Log(probe_).substr(before);
        EXPECT_NE(log.find("cancelled\n"), std::string::npos) << log;
        EXPECT_TRUE(session_.WaitForOutput(probe_, "leave LOther\n")) << log;
        const std::string after = session_.Log(probe_).substr(before);
        EXPECT_GT(after.rfind("leave LOther"), after.rfind("enter LOther")) << after;
        EXPECT_TRUE(session_.WaitShows(window, label, resting));
        EXPECT_FALSE(session_.Screenshot(window, byKey ? "after-escape" : "after-cancel").empty());
    }
}

// The folder dialog's question on a folder that does not exist is painted,
// and Yes makes the folder.
TEST_P(RealWindow, FolderDialogQuestionIsPaintedAndYesCreates)
{
    const XWindow window = StartProbe();
    ASSERT_NE(window, 0u) << Problem();
    ASSERT_TRUE(session_.ClickAt(window, kBrowseX, kBrowseY));
    const XWindow dialog = session_.FindWindow(probe_, "Select Directory");
    ASSERT_NE(dialog, 0u) << session_.Log(probe_);
    ASSERT_TRUE(session_.WaitPainted(dialog));
    ASSERT_TRUE(session_.Activate(dialog));
    ASSERT_TRUE(session_.Key("ctrl+a"));
    ASSERT_TRUE(session_.Type("C:\\Fresh\\Folder"));
    EXPECT_FALSE(session_.Screenshot(dialog, "typed").empty());
    // OK, at the dialog's lower right.
    const QRect area = session_.Geometry(dialog);
    ASSERT_TRUE(session_.ClickAt(dialog, area.width() - 138, area.height() - 22));

    const XWindow box = session_.FindWindow(probe_, "Confirm");
    ASSERT_NE(box, 0u) << session_.Log(probe_);
    EXPECT_TRUE(session_.WaitPainted(box));
    EXPECT_FALSE(session_.Screenshot(box, "question").empty());
    EXPECT_FALSE(session_.Screenshot(0, "question-screen").empty());
    // Yes, left of the box's centre at its foot.
    const QRect question = session_.Geometry(box);
    ASSERT_TRUE(session_.ClickAt(box, question.width() / 2 - 43, question.height() - 21));
    EXPECT_TRUE(session_.WaitForOutput(probe_, "chose C:\\Fresh\\Folder\n")) << session_.Log(probe_);
    struct stat made;
    EXPECT_EQ(stat((root_.Path() + "/drives/c/Fresh/Folder").c_str(), &made), 0);
    EXPECT_TRUE(S_ISDIR(made.st_mode));
}

// A tool-window form is the window manager's utility window; a plain one a
// normal window. Under the window manager the tool window cannot be
// maximised.
TEST_P(RealWindow, ToolWindowIsAUtilityWindow)
{
    const XWindow tool = StartProbe("tool");
    ASSERT_NE(tool, 0u) << Problem();
    EXPECT_NE(session_.Property(tool, "_NET_WM_WINDOW_TYPE").find("= _NET_WM_WINDOW_TYPE_UTILITY"), std::string::npos)
        << session_.Property(tool, "_NET_WM_WINDOW_TYPE");
    if (session_.Managed()) {
        const std::string actions = session_.Property(tool, "_NET_WM_ALLOWED_ACTIONS");
        EXPECT_NE(actions.find("_NET_WM_ACTION_CLOSE"), std::string::npos) << actions;
        EXPECT_EQ(actions.find("_NET_WM_ACTION_MAXIMIZE"), std::string::npos) << actions;
        EXPECT_EQ(actions.find("_NET_WM_ACTION_FULLSCREEN"), std::string::npos) << actions;
        // Still the window that is shown active and takes the keys.
        char id[32];
        std::snprintf(id, sizeof id, "0x%x", tool);
        EXPECT_NE(session_.RootProperty("_NET_ACTIVE_WINDOW").find(id), std::string::npos)
            << session_.RootProperty("_NET_ACTIVE_WINDOW");
    }
    EXPECT_FALSE(session_.Screenshot(session_.Frame(tool), "tool").empty());
    session_.End(probe_);

    const XWindow plain = StartProbe("plain");
    ASSERT_NE(plain, 0u) << Problem();
    EXPECT_EQ(session_.Property(plain, "_NET_WM_WINDOW_TYPE"), "_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_NORMAL");
}

INSTANTIATE_TEST_SUITE_P(Managers, RealWindow, testing::Values(WindowManager::None, WindowManager::Openbox),
                         ManagerName);

} // namespace

