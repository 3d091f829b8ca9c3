// The port held by another program: the scanner program (a process with its
// module name that opens the COM port) keeps the printer from the device.
// Also the process check by module name on its own.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <thread>

#include "ChildProgram.h"
#include "ExpectedTexts.h"
#include "Main.h"
#include "PrinterRun.h"

namespace printer_test {
namespace {

constexpr const char *kScannerName = "orvel_scanner.exe";

class PortHeldTest : public PrinterRunTest {
protected:
    // A process named as the scanner program that holds the device's port.
    std::unique_ptr<NamedProcess> StartScanner()
    {
        auto scanner = std::make_unique<NamedProcess>(ARV_PORT_HOLDER, FRoot.Scratch("scanner"), kScannerName,
                                                      std::vector<std::string>{Device().PortName()});
        EXPECT_EQ(scanner->FirstLine(), "held " + Device().PortName());
        return scanner;
    }
};

TEST_F(PortHeldTest, EnglishWarnsThatTheScannerIsInTheWay)
{
    StartDevice("ready");
    ASSERT_TRUE(Device().Started());
    auto scanner = StartScanner();
    ASSERT_TRUE(scanner->Started());
    Pilot().Answer("Cancel");

    EXPECT_EQ(RunPrinter(JobOf(SamplePages(1, 60))), 0);

    ExpectPilotClean(Pilot());
    ASSERT_EQ(Pilot().Shown().size(), 1u);
    EXPECT_EQ(Pilot().Shown()[0].Title, "Warning");
    EXPECT_EQ(Pilot().Shown()[0].Bytes, WarningBytes(23, kEnglish));
    EXPECT_EQ(scanner->End(), 0);
    // The device never heard from the printer program.
    EXPECT_EQ(Device().CountInLog("status state="), 0) << Device().Log();
    EXPECT_TRUE(Device().PagePaths().empty());
}

TEST_F(PortHeldTest, ChineseKeepsTryingSilentlyUntilThePortIsFree)
{
    ASSERT_TRUE(SetUiLanguage(kChinese));
    StartDevice("ready");
    ASSERT_TRUE(Device().Started());
    auto scanner = StartScanner();
    ASSERT_TRUE(scanner->Started());
    auto pages = SamplePages(1, 100, 4);

    // The scanner program finishes after a few of the printer's 5 s tries;
    // the printer then finds the device on its own. Text 23 has no Chinese
    // text, so no warning comes in between.
    SideTask scannerDone([&] {
        std::this_thread::sleep_for(std::chrono::seconds(11));
        EXPECT_EQ(scanner->End(), 0);
    });
    EXPECT_EQ(RunPrinter(JobOf(pages)), 0);
    scannerDone.Join();

    EXPECT_TRUE(Pilot().NoDialogShown());
    ExpectPilotClean(Pilot());
    EXPECT_EQ(ComparePages(pages, Device().PagePaths()), "");
}

// ---- The process check -----------------------------------------------------------

struct NameCase {
    const char *name;
    std::string running; // module name of the process started
    std::string asked;   // the name looked for
    bool found;
};

void PrintTo(const NameCase &c, std::ostream *os) { *os << c.name; }

class ProcessCheckTest : public testing::TestWithParam<NameCase> {};

TEST_P(ProcessCheckTest, ComparesModuleNamesExactly)
{
    const NameCase &c = GetParam();
    TempMachineRoot root;
    ASSERT_TRUE(root.Made());
    NamedProcess process(ARV_PORT_HOLDER, root.Scratch("process"), c.running);
    ASSERT_TRUE(process.Started());
    ASSERT_EQ(process.FirstLine(), "running");

    EXPECT_EQ(TMain::IsProcessRunning(c.asked.c_str()), c.found);
    EXPECT_EQ(process.End(), 0);
    if (c.found && c.running != kScannerName) { // the real scanner program may run meanwhile
        EXPECT_FALSE(TMain::IsProcessRunning(c.asked.c_str())) << "still seen after it ended";
    }
}

// Names other than the scanner's carry this process's id, so that nothing
// else on the machine answers to them.
std::string Unique(const std::string &stem) { return stem + std::to_string(getpid()) + ".exe"; }

std::vector<NameCase> NameCases()
{
    return {
        {"ScannerProgram", kScannerName, kScannerName, true},
        {"SameName", Unique("probe_"), Unique("probe_"), true},
        {"OtherCase", Unique("Probe_"), Unique("probe_"), false},
        {"NameWithoutExtension", Unique("probe_"), Unique("probe_").substr(0, Unique("probe_").size() - 4), false},
        {"LongerName", Unique("probe_"), Unique("probe_") + "x", false},
    };
}

INSTANTIATE_TEST_SUITE_P(Names, ProcessCheckTest, testing::ValuesIn(NameCases()),
                         [](const testing::TestParamInfo<NameCase> &info) { return info.param.name; });

} // namespace
} // namespace printer_test
