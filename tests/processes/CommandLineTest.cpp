// Command lines split as the C runtime splits them, quoted so that they
// split back, and cut for WinMain.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "machine/Programs.h"

namespace {

using Arguments = std::vector<std::string>;

TEST(CommandLine, SplitsAsTheCRuntime)
{
    struct Case {
        std::string line;
        Arguments arguments;
    } cases[] = {
        {"prog a b", {"prog", "a", "b"}},
        {"prog\ta \t b  ", {"prog", "a", "b"}},
        {"\"C:\\Program Files\\x.exe\" -c", {"C:\\Program Files\\x.exe", "-c"}},
        {"\"C:\\Program Files\\x.exe\"next", {"C:\\Program Files\\x.exe", "next"}},
        {"C:\\Program Files\\x.exe -c", {"C:\\Program", "Files\\x.exe", "-c"}},
        {"\"open \\\"quote\" x", {"open \\", "quote x"}}, // the program name knows no escapes
        {"prog \"two words\" c", {"prog", "two words", "c"}},
        {"prog a\"b c\"d", {"prog", "ab cd"}},
        {"prog a\\\\b", {"prog", "a\\\\b"}},
        {"prog a\\\"b", {"prog", "a\"b"}},
        {"prog a\\\\\\\"b", {"prog", "a\\\"b"}},
        {"prog a\\\\\"b c\"", {"prog", "a\\b c"}},
        {"prog \"a\"\"b\"", {"prog", "a\"b"}},
        {"prog \"\" x", {"prog", "", "x"}},
        {"prog \"C:\\dir\\\\\" next", {"prog", "C:\\dir\\", "next"}},
        {"prog \"unclosed arg", {"prog", "unclosed arg"}},
        {"prog -c g3:1d \"C:\\My Scans\\image_0.tmp\" \"C:\\My Scans\\image_0.tif\"",
         {"prog", "-c", "g3:1d", "C:\\My Scans\\image_0.tmp", "C:\\My Scans\\image_0.tif"}},
        {"", {""}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(machine::SplitCommandLine(c.line), c.arguments) << c.line;
}

TEST(CommandLine, QuotedArgumentsSplitBack)
{
    const Arguments arguments = {"plain", "", "two words", "tab\there", "say \"hi\"", "C:\\dir\\",
                                 "C:\\Program Files\\", "a\\\\\"b", "\\\\server\\share"};
    for (const std::string &argument : arguments) {
        const Arguments split = machine::SplitCommandLine("prog " + machine::QuoteArgument(argument));
        ASSERT_EQ(split.size(), 2u) << argument;
        EXPECT_EQ(split[1], argument);
    }
    EXPECT_EQ(machine::QuoteArgument("plain"), "plain") << "quoted only where needed";
}

TEST(CommandLine, WinMainGetsTheTextAfterTheProgramName)
{
    struct Case {
        const char *line;
        const char *tail;
    } cases[] = {
        {"prog a  b", "a  b"},
        {"\"C:\\Program Files\\x.exe\"   -c \"q\" ", "-c \"q\" "},
        {"prog", ""},
        {"prog   ", ""},
        {"\"a b\"c d", "d"},
        {"", ""},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(machine::CommandLineTail(c.line), c.tail) << c.line;
}

} // namespace
