// The road of a print job with real processes: the port monitor's stand-in
// finds the printer's port and its command in the registry and runs the
// printer program with the job on standard input; the printer program finds
// the device stand-in and prints.
#include <gtest/gtest.h>

#include <filesystem>

#include "ChildProcess.h"
#include "DeviceHarness.h"
#include "FileContents.h"
#include "PortMonitorSetup.h"
#include "PrinterTestSupport.h"
#include "machine/Paths.h"

namespace printer_test {
namespace {

constexpr const char *kPrinter = "ARV-A700 Scanner-Printer";
constexpr const char *kInstallFolder = "C:\\Program Files\\Veltrona\\Norvik";

struct EndToEndCase {
    const char *name;
    bool installed; // run from the install folder (a path with spaces), else from the build
    int pages;      // 0: an empty job
};

void PrintTo(const EndToEndCase &c, std::ostream *os) { *os << c.name; }

class EndToEndTest : public testing::TestWithParam<EndToEndCase> {};

TEST_P(EndToEndTest, PortMonitorHandsTheJobToThePrinterProgram)
{
    const EndToEndCase &c = GetParam();
    TempMachineRoot root;
    ASSERT_TRUE(root.Made());
    standin::DeviceProcess device;
    ASSERT_TRUE(device.Started()) << device.Error();

    std::string command = machine::WindowsPath(ARV_PRINTER_PROGRAM);
    if (c.installed) {
        std::string folder = machine::UnixPath(kInstallFolder);
        std::filesystem::create_directories(folder);
        ASSERT_TRUE(testsupport::CopyWithMode(ARV_PRINTER_PROGRAM, folder + "/orvel_printer.exe", 0755));
        command = std::string(kInstallFolder) + "\\orvel_printer.exe";
    }
    ASSERT_EQ(portmon::AddPrinterOnNewPort(kPrinter, command), "RPT1:");

    auto pages = SamplePages(c.pages, 120, 21);
    std::string jobFile = root.Scratch("spool") + "/job.prn";
    ASSERT_TRUE(testsupport::WriteBytes(jobFile, c.pages ? JobOf(pages) : Bytes()));

    testsupport::RunOptions options;
    options.errorsToOutput = true;
    options.deadlineMs = 120000;
    const testsupport::RunResult run = testsupport::RunProgram({ARV_PRINT_PROGRAM, kPrinter, jobFile}, options);
    EXPECT_FALSE(run.timedOut) << run.out;
    EXPECT_EQ(run.code, 0) << run.out;
    EXPECT_EQ(ComparePages(pages, device.PagePaths()), "") << device.Log();
}

const EndToEndCase kEndToEndCases[] = {
    {"FromBuildFolder", false, 3},
    {"FromInstallFolder", true, 2},
    {"EmptyJob", true, 0},
};

INSTANTIATE_TEST_SUITE_P(Jobs, EndToEndTest, testing::ValuesIn(kEndToEndCases),
                         [](const testing::TestParamInfo<EndToEndCase> &info) { return info.param.name; });

} // namespace
} // namespace printer_test
