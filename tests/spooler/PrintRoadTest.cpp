// The road of a job through what the spooler keeps: the print command finds
// the printer's port, the port's monitor and that port's "Command", and the
// reg tool shows the entries.
#include "SpoolerFixture.h"

#include "ChildProcess.h"
#include "FileContents.h"
#include "PortMonitorSetup.h"
#include "machine/Paths.h"
#include "machine/Spooler.h"

#include <sys/stat.h>

namespace spoolertest {
namespace {

class PrintRoad : public SpoolerTest {
protected:
    static testsupport::RunResult Run(const std::vector<std::string> &command)
    {
        testsupport::RunResult result = testsupport::RunProgram(command);
        EXPECT_FALSE(result.timedOut);
        return result;
    }
};

TEST_F(PrintRoad, TheJobReachesThePortsCommand)
{
    // The port's program: a script that keeps its standard input.
    const std::string program = Root() + "/keep.exe";
    ASSERT_TRUE(testsupport::WriteText(program, "#!/bin/sh\ncat > \"$1\"\n"));
    ASSERT_EQ(chmod(program.c_str(), 0755), 0);
    const std::string output = Root() + "/job.out";
    const std::string port = portmon::AddPrinterOnNewPort(kPrinter, machine::WindowsPath(program) + " " + output);
    ASSERT_EQ(port, "RPT1:");
    const std::string job = std::string("\x1b%-12345X job bytes \0\xff", 22);
    const std::string jobFile = Root() + "/job.prn";
    ASSERT_TRUE(testsupport::WriteText(jobFile, job));

    testsupport::RunResult run = Run({ARV_PRINT_PROGRAM, "arv-a700 scanner-printer", jobFile});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(testsupport::ReadText(output), job);

    run = Run({ARV_PRINT_PROGRAM, "Other Printer", jobFile});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err, "arv_print: no printer named \"Other Printer\"\n");

    // A port that went without the spooler knowing.
    ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, PortKey(kMonitor, "RPT1:").c_str()), ERROR_SUCCESS);
    run = Run({ARV_PRINT_PROGRAM, kPrinter, jobFile});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.err, "arv_print: printer \"ARV-A700 Scanner-Printer\" prints to port RPT1:, which does not exist\n");
}

TEST_F(PrintRoad, TheRegToolShowsTheEntries)
{
    ASSERT_EQ(portmon::AddPrinterOnNewPort(kPrinter, "C:\\Program Files\\Veltrona\\Norvik\\orvel_printer.exe"),
              "RPT1:");
    testsupport::RunResult run =
        Run({REG_TOOL_PATH, "query", "HKLM\\" + PortKey(kMonitor, "RPT1:"), "/v", "Command"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("Command    REG_SZ    C:\\Program Files\\Veltrona\\Norvik\\orvel_printer.exe"),
              std::string::npos)
        << run.out;
    run = Run({REG_TOOL_PATH, "query", "HKLM\\" + PrinterKey(kPrinter), "/v", "Port"});
    EXPECT_NE(run.out.find("Port    REG_SZ    RPT1:"), std::string::npos) << run.out;
    run = Run({REG_TOOL_PATH, "query", std::string("HKCU\\") + machine::kRedirectMonitorKey});
    EXPECT_NE(run.out.find("LastPort    REG_SZ    RPT1:"), std::string::npos) << run.out;
}

} // namespace
} // namespace spoolertest
