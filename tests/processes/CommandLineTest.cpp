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
        {"prog\x01" "a b", "b"},         // a control byte is no blank
        {"prog \x01x\ny", "\x01x\ny"},
        {"prog\r\n", ""},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(machine::CommandLineTail(c.line), c.tail) << c.line;

    // Every byte below the printable ones, and DEL: the tail holds the
    // words the split gives after the program name.
    for (int byte = 1; byte <= 0x7f; byte = byte == 0x20 ? 0x7f : byte + 1) {
        const std::string c(1, static_cast<char>(byte));
        const std::string line = "prog" + c + "a " + c + "b\tc" + c;
        const char *tail = machine::CommandLineTail(line.c_str());
        Arguments fromTail = machine::SplitCommandLine("p " + std::string(tail));
        Arguments fromLine = machine::SplitCommandLine(line);
        fromTail.erase(fromTail.begin());
        fromLine.erase(fromLine.begin());
        EXPECT_EQ(fromTail, fromLine) << "byte " << byte;
        const bool blank = c == " " || c == "\t";
        EXPECT_EQ(std::string(tail), line.substr(blank ? 5 : line.find(' ') + 1)) << "byte " << byte;
    }
}

} // namespace
