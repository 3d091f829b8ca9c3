// Fixture for running the printer program's entry point in this process:
// its own machine root, the device stand-in plugged into it, a job on
// standard input and the dialog pilot answering the boxes it shows. Things
// the test does while the program runs (the device becomes ready, the port
// is freed) run on a side task, since the program holds the test's thread.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "DeviceHarness.h"
#include "DialogPilot.h"
#include "PrinterTestSupport.h"

namespace printer_test {

// Runs a function on its own thread; joined when the object goes.
class SideTask {
public:
    explicit SideTask(std::function<void()> work) : FThread(std::move(work)) {}
    ~SideTask() { Join(); }
    SideTask(const SideTask &) = delete;
    SideTask &operator=(const SideTask &) = delete;
    void Join()
    {
        if (FThread.joinable())
            FThread.join();
    }

private:
    std::thread FThread;
};

class PrinterRunTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the device stand-in in the test's machine root.
    standin::DeviceProcess &StartDevice(const std::string &state = "ready");
    standin::DeviceProcess &Device() { return *FDevice; }
    bool HasDevice() const { return FDevice != nullptr; }

    // Runs WinMain with `job` on standard input; its return value.
    int RunPrinter(const Bytes &job);

    classlib_testing::TDialogPilot &Pilot() { return *FPilot; }
    // The device's log lines holding `needle` before the first one holding
    // `before` (all of them when `before` never comes).
    int CountBefore(const std::string &needle, const std::string &before) const;

    TempMachineRoot FRoot;

private:
    std::unique_ptr<standin::DeviceProcess> FDevice;
    std::unique_ptr<classlib_testing::TDialogPilot> FPilot;
};

// Expects exactly the dialogs scripted, with no surprises.
void ExpectPilotClean(const classlib_testing::TDialogPilot &pilot);

} // namespace printer_test
