// The reg tool run as a real process on the test's machine root.
#include "RegistryFixture.h"

#include "ChildProcess.h"
#include "winreg.h"

#include <string>
#include <vector>

namespace {

using Outcome = testsupport::RunResult;

// Runs the tool with `args`, feeding `input` to its standard input.
Outcome RunTool(const std::vector<std::string> &args, const std::string &input = "")
{
    std::vector<std::string> command{REG_TOOL_PATH};
    command.insert(command.end(), args.begin(), args.end());
    testsupport::RunOptions options;
    options.input = input;
    Outcome outcome = testsupport::RunProgram(command, options);
    if (outcome.timedOut)
        ADD_FAILURE() << "the tool did not end within a minute";
    return outcome;
}

const char kNotFound[] = "ERROR: The system was unable to find the specified registry key or value.\n";
const char kDone[] = "The operation completed successfully.\n";

class RegTool : public TempRootTest {};

TEST_F(RegTool, AddsQueriesAndDeletesInReg_exeShape)
{
    Outcome result = RunTool({"add", "HKLM\\SOFTWARE\\Veltrona", "/v", "Str", "/d", "hello world"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, kDone);
    EXPECT_EQ(RunTool({"add", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Veltrona", "/v", "Num", "/t", "REG_DWORD", "/d", "0x2A", "/f"})
                  .code,
              0);
    EXPECT_EQ(RunTool({"add", "hklm\\software\\veltrona", "/v", "Bin", "/t", "reg_binary", "/d", "00ff10"}).code, 0);
    EXPECT_EQ(RunTool({"add", "HKLM\\SOFTWARE\\Veltrona\\Sub", "/v", "List", "/t", "REG_MULTI_SZ", "/d", "a\\0b"}).code, 0);
    EXPECT_EQ(RunTool({"add", "HKLM\\SOFTWARE\\Veltrona", "/ve", "/d", "default"}).code, 0);

    result = RunTool({"query", "HKLM\\SOFTWARE\\Veltrona"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, "\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Veltrona\n"
                          "    Str    REG_SZ    hello world\n"
                          "    Num    REG_DWORD    0x2a\n"
                          "    Bin    REG_BINARY    00FF10\n"
                          "    (Default)    REG_SZ    default\n"
                          "\n"
                          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Veltrona\\Sub\n");

    result = RunTool({"query", "HKLM\\SOFTWARE\\Veltrona", "/v", "num"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, "\nHKEY_LOCAL_MACHINE\\SOFTWARE\\Veltrona\n    Num    REG_DWORD    0x2a\n\n");

    result = RunTool({"query", "HKCU\\..\\nothing"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, kNotFound);
    result = RunTool({"query", "HKLM\\SOFTWARE\\Veltrona", "/v", "Nothing"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, kNotFound);

    result = RunTool({"query", "HKLM\\SOFTWARE", "/s"});
    EXPECT_EQ(result.code, 0);
    EXPECT_NE(result.out.find("HKEY_LOCAL_MACHINE\\SOFTWARE\\Veltrona\\Sub\n    List    REG_MULTI_SZ    a\\0b\n"),
              std::string::npos)
        << result.out;

    result = RunTool({"delete", "HKLM\\SOFTWARE\\Veltrona", "/v", "Str", "/f"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, kDone);
    EXPECT_EQ(RunTool({"query", "HKLM\\SOFTWARE\\Veltrona", "/v", "Str"}).code, 1);
    EXPECT_EQ(RunTool({"delete", "HKLM\\SOFTWARE\\Veltrona", "/v", "Str", "/f"}).code, 1);
    EXPECT_EQ(RunTool({"delete", "HKLM\\SOFTWARE\\Veltrona", "/f"}).code, 0);
    EXPECT_EQ(RunTool({"query", "HKLM\\SOFTWARE\\Veltrona"}).code, 1);
    EXPECT_EQ(RunTool({"delete", "HKLM\\SOFTWARE\\Veltrona", "/f"}).code, 1);
}

TEST_F(RegTool, AsksBeforeItOverwritesOrDeletes)
{
    ASSERT_EQ(RunTool({"add", "HKCU\\Software\\Ghostgum\\RedMon", "/v", "LastPort", "/d", "RPT1:"}).code, 0);
    Outcome result = RunTool({"add", "HKCU\\Software\\Ghostgum\\RedMon", "/v", "LastPort", "/d", "RPT2:"}, "no\n");
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.out.find("Value LastPort exists, overwrite"), std::string::npos) << result.out;
    EXPECT_NE(RunTool({"query", "HKCU\\Software\\Ghostgum\\RedMon", "/v", "LastPort"}).out.find("RPT1:"),
              std::string::npos);
    EXPECT_EQ(RunTool({"add", "HKCU\\Software\\Ghostgum\\RedMon", "/v", "LastPort", "/d", "RPT2:"}).code, 1)
        << "no answer at all is no yes";
    EXPECT_EQ(RunTool({"add", "HKCU\\Software\\Ghostgum\\RedMon", "/v", "LastPort", "/d", "RPT2:"}, "yes\n").code, 0);
    EXPECT_NE(RunTool({"query", "HKCU\\Software\\Ghostgum\\RedMon", "/v", "LastPort"}).out.find("RPT2:"),
              std::string::npos);

    EXPECT_EQ(RunTool({"delete", "HKCU\\Software\\Ghostgum"}, "n\n").code, 1);
    EXPECT_EQ(RunTool({"query", "HKCU\\Software\\Ghostgum\\RedMon"}).code, 0);
    EXPECT_EQ(RunTool({"delete", "HKCU\\Software\\Ghostgum"}, "y\n").code, 0);
    EXPECT_EQ(RunTool({"query", "HKCU\\Software\\Ghostgum\\RedMon"}).code, 1);
}

TEST_F(RegTool, SharesTheStoreWithTheApi)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_6001+A1\\0000\\"
                                                "Device Parameters",
                            &key),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "PortName", 0, REG_SZ, reinterpret_cast<const BYTE *>("COM3"), 5), ERROR_SUCCESS);
    Outcome result = RunTool({"query", "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS", "/s"});
    EXPECT_NE(result.out.find("\\0000\\Device Parameters\n    PortName    REG_SZ    COM3\n"), std::string::npos)
        << result.out;

    ASSERT_EQ(RunTool({"add",
                   "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\FTDIBUS\\VID_0403+PID_6001+A1\\0000\\Device Parameters",
                   "/v", "PortName", "/d", "COM9", "/f"})
                  .code,
              0);
    char port[16] = {};
    DWORD size = sizeof port;
    ASSERT_EQ(RegQueryValueExA(key, "PortName", nullptr, nullptr, reinterpret_cast<BYTE *>(port), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(port, "COM9");
    RegCloseKey(key);
}

TEST_F(RegTool, RefusesBadCommandLines)
{
    const std::string before = ReadFile(MachineHive());
    struct BadLine {
        std::vector<std::string> args;
        const char *message;
    };
    const BadLine lines[] = {
        {{}, ""},
        {{"frobnicate", "HKLM\\x"}, "ERROR: Invalid syntax."},
        {{"query"}, "ERROR: Invalid syntax."},
        {{"query", "HKCR\\x"}, "ERROR: Invalid key name."},
        {{"query", "HKLM\\x", "/q"}, "ERROR: Invalid syntax."},
        {{"add", "HKLM\\x", "/v"}, "ERROR: Invalid syntax."},
        {{"add", "HKLM\\x", "/v", "n", "/t", "REG_WRONG"}, "ERROR: Invalid type."},
        {{"add", "HKLM\\x", "/v", "n", "/t", "REG_DWORD", "/d", "twelve"}, "ERROR: Invalid syntax."},
        {{"add", "HKLM\\x", "/v", "n", "/t", "REG_DWORD", "/d", "0x100000000"}, "ERROR: Invalid syntax."},
        {{"add", "HKLM\\x", "/v", "n", "/t", "REG_BINARY", "/d", "abc"}, "ERROR: Invalid syntax."},
        {{"delete", "HKLM", "/f"}, "ERROR: Invalid key name."},
        {{"delete", "HKLM\\x", "/v", "a", "/va"}, "ERROR: Invalid syntax."},
    };
    for (const BadLine &line : lines) {
        Outcome result = RunTool(line.args);
        std::string shown;
        for (const std::string &arg : line.args)
            shown += arg + " ";
        EXPECT_EQ(result.code, 1) << shown;
        EXPECT_EQ(result.err.rfind(line.message, 0), 0u) << shown << "gave: " << result.err;
    }
    EXPECT_EQ(ReadFile(MachineHive()), before) << "none of them wrote";
}

TEST_F(RegTool, WorksOnTheRootItIsGivenWhereverTheOptionStands)
{
    testsupport::TempFolder other("arv-registry-tool");
    ASSERT_TRUE(other.Made());
    const std::string root = other.Path();
    EXPECT_EQ(RunTool({"--root", root, "add", "HKLM\\SOFTWARE\\Elsewhere", "/f"}).code, 0);
    EXPECT_EQ(RunTool({"query", "HKLM\\SOFTWARE\\Elsewhere"}).code, 1) << "not in the test's own root";

    const std::vector<std::vector<std::string>> lines = {
        {"query", "HKLM\\SOFTWARE\\Elsewhere", "--root", root},
        {"query", "--root", root, "HKLM\\SOFTWARE\\Elsewhere"},
        {"query", "HKLM\\SOFTWARE\\Elsewhere", "/s", "--root=" + root},
        {"add", "HKLM\\SOFTWARE\\Elsewhere", "/v", "At", "/d", "end", "/f", "--root", root},
        {"add", "HKLM\\SOFTWARE\\Elsewhere", "/s", ",", "--root", root, "/v", "List", "/t", "REG_MULTI_SZ", "/d",
         "a,b", "/f"},
    };
    for (const std::vector<std::string> &line : lines) {
        const Outcome result = RunTool(line);
        EXPECT_EQ(result.code, 0) << line[0] << " " << line[2] << "\n" << result.err;
    }
    EXPECT_NE(RunTool({"query", "HKLM\\SOFTWARE\\Elsewhere", "--root", root}).out.find("a\\0b"), std::string::npos);

    // The value of an option may itself read "--root".
    EXPECT_EQ(RunTool({"add", "HKLM\\SOFTWARE\\Here", "/v", "--root", "/d", "--root", "/f"}).code, 0);
    EXPECT_NE(RunTool({"query", "HKLM\\SOFTWARE\\Here"}).out.find("--root    REG_SZ    --root"), std::string::npos);
    EXPECT_EQ(RunTool({"query", "HKLM\\SOFTWARE\\Here", "--root"}).code, 1) << "a root option without its folder";
}

TEST_F(RegTool, ReportsADamagedHiveAndLeavesItAlone)
{
    const std::string damaged = "[SOFTWARE\\Kept]\n\"Value\"=sz:\"kept\"\nnot a registry line\n";
    WriteFile(MachineHive(), damaged);
    Outcome result = RunTool({"check"});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.out.find("corrupt. Line 3"), std::string::npos) << result.out;
    result = RunTool({"query", "HKLM\\SOFTWARE\\Kept", "/v", "Value"});
    EXPECT_EQ(result.code, 0) << "what parsed can still be read";
    result = RunTool({"add", "HKLM\\SOFTWARE\\Kept", "/v", "Other", "/d", "x", "/f"});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "ERROR: The configuration registry database is corrupt.\n");
    EXPECT_EQ(ReadFile(MachineHive()), damaged);
}

} // namespace
