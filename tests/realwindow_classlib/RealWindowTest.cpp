// The class library's forms in real X windows: the probe program on a
// server of the test's own, with and without a window manager.
#include <gtest/gtest.h>

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
    // Starts the probe with `commandLine` and finds its form's window.
    XWindow StartProbe(const std::string &commandLine = std::string())
    {
        std::vector<std::string> args = {ARV_PROBE_PROGRAM};
        if (!commandLine.empty())
            args.push_back(commandLine);
        probe_ = session_.Start(args);
        return probe_ > 0 ? session_.FindWindow(probe_, "Probe") : 0;
    }

    testsupport::TempMachineRoot root_;
    XSession session_{GetParam()};
    pid_t probe_ = -1;
};

// The harness itself: the form's window comes up painted, is seen in a
// screenshot, and closes as a window manager's close button asks.
TEST_P(RealWindow, FormShowsPaintedAndClosesOnRequest)
{
    ASSERT_TRUE(session_.Ready()) << session_.Problem();
    const XWindow window = StartProbe();
    ASSERT_NE(window, 0u) << session_.Log(probe_);
    EXPECT_EQ(session_.Managed(), session_.Frame(window) != window);
    EXPECT_TRUE(session_.WaitPainted(window)) << session_.Log(probe_);
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
    ASSERT_TRUE(session_.Ready()) << session_.Problem();
    const XWindow window = StartProbe();
    ASSERT_NE(window, 0u) << session_.Log(probe_);
    ASSERT_TRUE(session_.WaitForOutput(probe_, "created"));
    ASSERT_TRUE(session_.WaitPainted(window));
    ASSERT_TRUE(session_.MoveTo(window, 60, 40));
    EXPECT_TRUE(session_.WaitForOutput(probe_, "enter LHover")) << session_.Log(probe_);
    ASSERT_TRUE(session_.MoveTo(window, 60, 140));
    EXPECT_TRUE(session_.WaitForOutput(probe_, "leave LHover")) << session_.Log(probe_);
    EXPECT_TRUE(session_.WaitForOutput(probe_, "enter LOther")) << session_.Log(probe_);
}

INSTANTIATE_TEST_SUITE_P(Managers, RealWindow, testing::Values(WindowManager::None, WindowManager::Openbox),
                         ManagerName);

} // namespace
