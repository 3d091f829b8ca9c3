#include "AnsiString.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

namespace {

TEST(AnsiString, HoldsAnyByte)
{
    const char bytes[] = {'a', '\0', '\xff', '\xd6', '\xd0'}; // NUL and GB2312 bytes
    AnsiString s(bytes, 5);
    EXPECT_EQ(s.Length(), 5);
    EXPECT_EQ(s[2], '\0');
    EXPECT_EQ(s[3], '\xff');
    EXPECT_EQ(s.str(), std::string(bytes, 5));

    AnsiString copy = s;
    copy[1] = 'b';
    EXPECT_EQ(s[1], 'a') << "copies are independent";

    EXPECT_STREQ(AnsiString().c_str(), "");
    EXPECT_STREQ(AnsiString(static_cast<const char *>(nullptr)).c_str(), "");
    EXPECT_TRUE(AnsiString().IsEmpty());
}

TEST(AnsiString, ConstructsFromNumbersAndChars)
{
    EXPECT_EQ(AnsiString(-42), "-42");
    EXPECT_EQ(AnsiString('x'), "x");
    EXPECT_EQ(AnsiString(std::string("std")), "std");
    EXPECT_EQ(AnsiString(4000000000u), "4000000000");
    // An int appends its digits, a char itself: the class library's rules.
    EXPECT_EQ(AnsiString("COM") + 5, "COM5");
    EXPECT_EQ(AnsiString("COM") + '5', "COM5");
    AnsiString s("a");
    s += 7;
    s += 'b';
    s += "c";
    EXPECT_EQ(s, "a7bc");
    EXPECT_EQ("x" + AnsiString("y"), "xy");
}

TEST(AnsiString, IndexesFromOneAndIgnoresOutOfRange)
{
    AnsiString s("abc");
    EXPECT_EQ(s[1], 'a');
    EXPECT_EQ(s[3], 'c');
    EXPECT_EQ(s[0], '\0');
    EXPECT_EQ(s[4], '\0');
    s[0] = 'z'; // goes nowhere
    s[4] = 'z';
    EXPECT_EQ(s, "abc");
    s[2] = 'B';
    EXPECT_EQ(s, "aBc");
}

struct SubStringCase {
    int start;
    int count;
    const char *expected;
};

std::ostream &operator<<(std::ostream &out, const SubStringCase &c)
{
    return out << "SubString(" << c.start << ", " << c.count << ")";
}

class AnsiStringSubString : public ::testing::TestWithParam<SubStringCase> {};

TEST_P(AnsiStringSubString, CutsToTheString)
{
    const SubStringCase &c = GetParam();
    EXPECT_EQ(AnsiString("VID_0403+PID_6001+A").SubString(c.start, c.count), c.expected)
        << "start " << c.start << " count " << c.count;
}

INSTANTIATE_TEST_SUITE_P(Cases, AnsiStringSubString,
                         ::testing::Values(SubStringCase{1, 17, "VID_0403+PID_6001"},
                                           SubStringCase{1, 100, "VID_0403+PID_6001+A"},
                                           SubStringCase{19, 5, "A"},
                                           SubStringCase{20, 1, ""},
                                           SubStringCase{0, 3, "VI"}, // position 0 counts in the length
                                           SubStringCase{-5, 3, ""},
                                           SubStringCase{5, 0, ""},
                                           SubStringCase{5, -1, ""},
                                           SubStringCase{2, INT_MAX, "ID_0403+PID_6001+A"}));

TEST(AnsiString, FindsAndEdits)
{
    AnsiString s("C:\\Program Files\\Veltrona\\Norvik");
    EXPECT_EQ(s.Pos("Program"), 4);
    EXPECT_EQ(s.Pos("missing"), 0);
    EXPECT_EQ(s.Pos(""), 0);
    EXPECT_EQ(AnsiString("").Pos("a"), 0);
    EXPECT_EQ(s.LastDelimiter("\\"), 26);
    EXPECT_EQ(s.LastDelimiter("/"), 0);

    AnsiString t("abcdef");
    t.Delete(2, 3);
    EXPECT_EQ(t, "aef");
    t.Delete(3, 100);
    EXPECT_EQ(t, "ae");
    t.Delete(5, 1);
    EXPECT_EQ(t, "ae");
    t.Insert("XY", 2);
    EXPECT_EQ(t, "aXYe");
    t.Insert("!", 99);
    EXPECT_EQ(t, "aXYe!");

    AnsiString u("abc");
    u.SetLength(5);
    EXPECT_EQ(u.Length(), 5);
    EXPECT_EQ(u[5], '\0');
    u.SetLength(1);
    EXPECT_EQ(u, "a");
}

TEST(AnsiString, CaseAndTrimLeaveOtherBytes)
{
    AnsiString chinese("\xd6\xd0\xce\xc4 abc"); // GB2312 bytes must not be touched
    EXPECT_EQ(chinese.UpperCase(), "\xd6\xd0\xce\xc4 ABC");
    EXPECT_EQ(AnsiString("MiXeD").LowerCase(), "mixed");
    EXPECT_EQ(AnsiString(" \t\r\n x y \r\n").Trim(), "x y");
    EXPECT_EQ(AnsiString("  x ").TrimLeft(), "x ");
    EXPECT_EQ(AnsiString("  x ").TrimRight(), "  x");
    EXPECT_EQ(AnsiString("   ").Trim(), "");
}

TEST(AnsiString, Compares)
{
    EXPECT_TRUE(AnsiString("abc") == "abc");
    EXPECT_TRUE(AnsiString("abc") != AnsiString("abd"));
    EXPECT_TRUE(AnsiString("abc") < AnsiString("abd"));
    EXPECT_TRUE(AnsiString("ab") < AnsiString("abc"));
    // Byte order is unsigned: high bytes sort after ASCII.
    EXPECT_TRUE(AnsiString("z") < AnsiString("\xd6"));
    EXPECT_EQ(AnsiString("ABC").CompareIC("abc"), 0);
    EXPECT_LT(AnsiString("abc").CompareIC("ABD"), 0);
    EXPECT_NE(AnsiString("abc"), AnsiString("ABC"));
}

struct NumberCase {
    const char *text;
    bool valid;
    int value;
};

std::ostream &operator<<(std::ostream &out, const NumberCase &c) { return out << '"' << c.text << '"'; }

class AnsiStringToInt : public ::testing::TestWithParam<NumberCase> {};

TEST_P(AnsiStringToInt, ReadsNumbersOnly)
{
    const NumberCase &c = GetParam();
    AnsiString text(c.text);
    int value = 12345;
    EXPECT_EQ(text.TryToInt(&value), c.valid) << c.text;
    EXPECT_EQ(text.ToIntDef(-7), c.valid ? c.value : -7) << c.text;
    EXPECT_EQ(StrToInt(text), c.valid ? c.value : 0) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Cases, AnsiStringToInt,
                         ::testing::Values(NumberCase{"42", true, 42}, NumberCase{" -17 ", true, -17},
                                           NumberCase{"+3", true, 3}, NumberCase{"0x1F", true, 31},
                                           NumberCase{"$ff", true, 255}, NumberCase{"$FFFFFFFF", true, -1},
                                           NumberCase{"2147483647", true, INT_MAX},
                                           NumberCase{"-2147483648", true, INT_MIN},
                                           NumberCase{"2147483648", false, 0}, NumberCase{"", false, 0},
                                           NumberCase{"12a", false, 0}, NumberCase{"0x", false, 0},
                                           NumberCase{"-", false, 0}, NumberCase{"1 2", false, 0}));

TEST(AnsiString, FormatsLikeSprintf)
{
    AnsiString prefix;
    prefix.printf("VID_%s+PID_%s", "0403", "6001");
    EXPECT_EQ(prefix, "VID_0403+PID_6001");
    EXPECT_EQ(prefix.Length(), 17);

    // Longer than any small internal buffer.
    std::string longText(1000, 'x');
    AnsiString s;
    s.sprintf("<%s>", longText.c_str());
    EXPECT_EQ(s.Length(), 1002);
    s.cat_printf("%d", 5);
    EXPECT_EQ(s.SubString(1000, 10), "xx>5");

    EXPECT_EQ(IntToStr(-5), "-5");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(-1, 8), "FFFFFFFF");
}

} // namespace
