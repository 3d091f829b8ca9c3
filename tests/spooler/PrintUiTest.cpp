// The printer set-up's command lines: split as Windows splits them, and run
// by rundll32.exe from the machine's system folder as real processes.
#include "SpoolerFixture.h"

#include "ChildProcess.h"
#include "CommandLine.h"
#include "PlaceRundll32.h"
#include "machine/Paths.h"
#include "machine/Spooler.h"

namespace spoolertest {
namespace {

struct SplitCase {
    const char *line;
    std::vector<std::string> arguments;
};

TEST(CommandLine, SplitsAsWindowsProgramsDo)
{
    const SplitCase cases[] = {
        {"", {}},
        {"  /q   /dl\t/n  ", {"/q", "/dl", "/n"}},
        {"/n \"ARV-A700 Scanner-Printer\"", {"/n", "ARV-A700 Scanner-Printer"}},
        {"/f \"C:\\Program Files\\mfp.inf\" /m x", {"/f", "C:\\Program Files\\mfp.inf", "/m", "x"}},
        {"a\"b c\"d", {"ab cd"}},
        {"\"\" x", {"", "x"}},
        {"C:\\dir\\ \\\\server", {"C:\\dir\\", "\\\\server"}},
        {"a\\\\\"b c\"", {"a\\b c"}},
        {"a\\\"b", {"a\"b"}},
        {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
        {"\"open", {"open"}},
    };
    for (const SplitCase &c : cases)
        EXPECT_EQ(printui::SplitCommandLine(c.line), c.arguments) << c.line;

    std::string first, rest;
    printui::SplitFirstArgument("  printui.dll,PrintUIEntry  /y /n \"A B\" ", &first, &rest);
    EXPECT_EQ(first, "printui.dll,PrintUIEntry");
    EXPECT_EQ(rest, "/y /n \"A B\" ");
}

class PrintUi : public SpoolerTest {
protected:
    void SetUp() override
    {
        SpoolerTest::SetUp();
        ASSERT_TRUE(printui::PlaceRundll32());
        fInf = machine::WindowsPath(std::string(ARV_STANDIN_MEDIA_DIR) + "/drivers/mfp.inf");
    }

    // Runs the system folder's rundll32.exe with the arguments after its
    // name, as the programs' start-up splits the installer's command line.
    static testsupport::RunResult Rundll32(const std::vector<std::string> &arguments)
    {
        std::vector<std::string> command{SystemFile("rundll32.exe")};
        command.insert(command.end(), arguments.begin(), arguments.end());
        testsupport::RunResult result = testsupport::RunProgram(command);
        EXPECT_FALSE(result.timedOut);
        return result;
    }

    static std::vector<std::string> EntryArguments(const std::vector<std::string> &arguments)
    {
        std::vector<std::string> command{"printui.dll,PrintUIEntry"};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return command;
    }

    std::string fInf;
};

TEST_F(PrintUi, TheInstallersFourCommandLinesDoTheirWork)
{
    testsupport::RunResult run = Rundll32(EntryArguments({"/ia", "/f", fInf, "/m", kModel}));
    EXPECT_EQ(run.code, 0) << run.err;
    const std::string driver = DriverKey(kModel);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, driver, "Driver"), "ARVA700.DLL");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, driver, "Data File"), "ARVA700.GPD");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, driver, "Configuration File"), "ARVA700UI.DLL");

    PlaceLibrary();
    ASSERT_TRUE(AddMonitor(kMonitor));
    ASSERT_TRUE(AddPort(kMonitor));
    ASSERT_TRUE(AddPrinter(kPrinter, "RPT1:")) << GetLastError();

    run = Rundll32(EntryArguments({"/y", "/n", kPrinter}));
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Read(HKEY_CURRENT_USER, machine::kWindowsKey, "Device"), std::string(kPrinter) + ",winspool,RPT1:");

    run = Rundll32(EntryArguments({"/q", "/dd", "/m", kModel}));
    EXPECT_EQ(run.code, 1) << "the printer still uses the driver";
    EXPECT_EQ(run.err, "") << "/q: no messages";
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, driver));

    run = Rundll32(EntryArguments({"/q", "/dl", "/n", kPrinter}));
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, PrinterKey(kPrinter)));
    EXPECT_EQ(Read(HKEY_CURRENT_USER, machine::kWindowsKey, "Device"), "<missing>");

    run = Rundll32(EntryArguments({"/q", "/dd", "/m", kModel}));
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, driver));
}

TEST_F(PrintUi, FailuresAreToldUnlessQuiet)
{
    const struct {
        const char *label;
        std::vector<std::string> arguments;
        const char *message; // part of standard error; "" for none
    } cases[] = {
        {"model not in the INF", EntryArguments({"/ia", "/f", fInf, "/m", "Other Model"}), "/ia failed with error 1797"},
        {"INF missing", EntryArguments({"/ia", "/f", "C:\\nowhere\\mfp.inf", "/m", kModel}), "/ia failed with error 3"},
        {"printer missing", EntryArguments({"/y", "/n", kPrinter}), "/y failed with error 1801"},
        {"quiet", EntryArguments({"/q", "/dl", "/n", kPrinter}), ""},
        {"no model", EntryArguments({"/q", "/dd"}), ""},
        {"no printer", EntryArguments({"/dl"}), "/dl lacks /n"},
        {"two actions", EntryArguments({"/y", "/dl", "/n", kPrinter}), "give one of"},
        {"unknown option", EntryArguments({"/IA", "/f", fInf}), "unknown option \"/IA\""},
        {"value missing", EntryArguments({"/dl", "/n"}), "/n needs a value"},
        {"other library", {"shell32.dll,Control_RunDLL"}, "cannot load shell32.dll"},
        {"other entry", {"PRINTUI.DLL,PrintUIEntryW"}, "has no entry PrintUIEntryW"},
        {"no entry", {"printui.dll"}, "give <library>,<entry>"},
    };
    for (const auto &c : cases) {
        const testsupport::RunResult run = Rundll32(c.arguments);
        EXPECT_EQ(run.code, 1) << c.label;
        if (*c.message)
            EXPECT_NE(run.err.find(c.message), std::string::npos) << c.label << ": " << run.err;
        else
            EXPECT_EQ(run.err, "") << c.label;
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, DriverKey(kModel)));
}

} // namespace
} // namespace spoolertest
