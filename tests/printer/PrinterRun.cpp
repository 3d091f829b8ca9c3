#include "PrinterRun.h"

#include <sstream>

#include "winmain.h"

namespace printer_test {

void PrinterRunTest::SetUp()
{
    ASSERT_TRUE(FRoot.Made());
    FPilot = std::make_unique<classlib_testing::TDialogPilot>();
}

void PrinterRunTest::TearDown()
{
    FPilot.reset();
    FDevice.reset();
}

standin::DeviceProcess &PrinterRunTest::StartDevice(const std::string &state)
{
    standin::DeviceOptions options;
    options.state = state;
    FDevice = std::make_unique<standin::DeviceProcess>(options);
    EXPECT_TRUE(FDevice->Started()) << FDevice->Error();
    return *FDevice;
}

int PrinterRunTest::RunPrinter(const Bytes &job)
{
    StdinFromBytes input(job, FRoot.Path() + "/job.prn");
    EXPECT_TRUE(input.Ok());
    if (!input.Ok())
        return -1;
    char noArguments[] = "";
    return WinMain(nullptr, nullptr, noArguments, 0);
}

int PrinterRunTest::CountBefore(const std::string &needle, const std::string &before) const
{
    std::istringstream log(FDevice ? FDevice->Log() : std::string());
    int count = 0;
    for (std::string line; std::getline(log, line);) {
        if (line.find(before) != std::string::npos)
            break;
        if (line.find(needle) != std::string::npos)
            ++count;
    }
    return count;
}

void ExpectPilotClean(const classlib_testing::TDialogPilot &pilot)
{
    for (const std::string &problem : pilot.Problems())
        ADD_FAILURE() << "dialog pilot: " << problem;
    EXPECT_EQ(pilot.AnswersLeft(), 0u) << "a scripted dialog never came";
}

} // namespace printer_test
