// The device's port held by the printer program (a process under its
// module name that opens the COM port): the polls explain it while the
// printer program runs, and the scan thread keeps its device.
#include <gtest/gtest.h>

#include <memory>

#include "ChildProgram.h"
#include "ScannerRun.h"

namespace scanner_program_test {
namespace {

constexpr const char *kPrinterName = "orvel_printer.exe";

class PortHeldTest : public ScannerRunTest {
protected:
    // A process named as the printer program that holds the device's port.
    std::unique_ptr<printer_test::NamedProcess> StartPrinter()
    {
        auto printer = std::make_unique<printer_test::NamedProcess>(
            ARV_PORT_HOLDER, FRoot.Scratch("printer"), kPrinterName, std::vector<std::string>{Device().PortName()});
        EXPECT_EQ(printer->FirstLine(), "held " + Device().PortName());
        return printer;
    }
};

TEST_F(PortHeldTest, EnglishSaysThatPrintingGoesOn)
{
    StartDevice("ready");
    StartScanner();
    ASSERT_TRUE(WaitForStatus(8));

    auto printer = StartPrinter();
    ASSERT_TRUE(printer->Started());
    ASSERT_TRUE(WaitForStatus(25, 5000)) << Status();
    // The port is only lent: the state and the device object stay.
    EXPECT_EQ(State(), TMain::kStateIdle);
    EXPECT_FALSE(Form()->ScanBut->Enabled());
    EXPECT_TRUE(Form()->DestBut->Enabled());

    EXPECT_EQ(printer->End(), 0);
    ASSERT_TRUE(WaitForStatus(8, 5000)) << Status();
    EXPECT_EQ(State(), TMain::kStateIdle);
}

TEST_F(PortHeldTest, ChineseShowsNothingWhilePrinting)
{
    SetLanguage(kChinese);
    StartDevice("ready");
    StartScanner();
    ASSERT_TRUE(WaitForStatus(8, 20000, kChinese));
    TakeShown();

    auto printer = StartPrinter();
    ASSERT_TRUE(printer->Started());
    const int polls = Device().CountInLog("status state=");
    RunFor(3500);
    // The polls found the port taken (the device heard none of them), and
    // the box kept its text.
    EXPECT_EQ(Device().CountInLog("status state="), polls);
    EXPECT_EQ(Status(), Expected(8, kChinese));
    EXPECT_TRUE(TakeShown().empty());
    EXPECT_EQ(State(), TMain::kStateIdle);
    EXPECT_EQ(printer->End(), 0);
}

TEST_F(PortHeldTest, PrintingWhileTheScannerStarts)
{
    StartDevice("ready");
    auto printer = StartPrinter();
    ASSERT_TRUE(printer->Started());
    StartScanner();
    // The connect attempts do not look for the printer program.
    ASSERT_TRUE(WaitForStatus(12, 10000)) << Status();
    EXPECT_FALSE(PollTimer()->Enabled());

    EXPECT_EQ(printer->End(), 0);
    ASSERT_TRUE(WaitForStatus(8, 10000)) << Status();
}

} // namespace
} // namespace scanner_program_test
