// The machine's user-interface language and code pages, and the
// conversions between code pages and UTF-16.

#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ScopedEnvironment.h"
#include "TempMachineRoot.h"
#include "windows.h"

namespace {

// A fresh machine root and a clean locale for each test; both are put back
// afterwards.
class MachineLanguage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FRoot.Made());
        for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
            FLocale.Clear(variable);
    }

    void WriteSetting(const std::string &text) { ASSERT_TRUE(testsupport::WriteUiLanguage(text)); }

private:
    testsupport::TempMachineRoot FRoot{"nls-test"};
    // The locale variables get their values back, also after a test set them.
    testsupport::ScopedEnvironment FLocale;
};

TEST_F(MachineLanguage, SettingsFileChoosesTheLanguageAndTheCodePage)
{
    setenv("LANG", "fr_FR.UTF-8", 1); // the settings come first
    struct Case {
        const char *text;
        LANGID language;
        UINT codePage;
    } cases[] = {
        {"2052", 2052, 936},    {"2052\n", 2052, 936},  {" 1033\r\n", 1033, 1252},
        {"1036", 1036, 1252},   {"1041", 1041, 1252},
        // Not a language id: the locale decides.
        {"", 1036, 1252},       {"zh", 1036, 1252},     {"0", 1036, 1252},
        {"70000", 1036, 1252},  {"2052 x", 1036, 1252},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        WriteSetting(c.text);
        EXPECT_EQ(GetSystemDefaultUILanguage(), c.language);
        EXPECT_EQ(GetUserDefaultUILanguage(), c.language);
        EXPECT_EQ(GetACP(), c.codePage);
    }
}

TEST_F(MachineLanguage, LocaleDecidesWithoutSettings)
{
    struct Case {
        const char *lcAll, *lcMessages, *lang;
        LANGID language;
    } cases[] = {
        {nullptr, nullptr, nullptr, 1033},
        {nullptr, nullptr, "zh_CN.UTF-8", 2052},
        {nullptr, nullptr, "zh_CN.GB2312", 2052},
        {nullptr, nullptr, "zh_CN", 2052},
        {nullptr, nullptr, "fr_FR.UTF-8", 1036},
        {nullptr, nullptr, "fr_CA", 1036},
        {nullptr, nullptr, "en_US.UTF-8", 1033},
        {nullptr, nullptr, "de_DE.UTF-8", 1033},
        {nullptr, nullptr, "zh_TW.UTF-8", 1033},
        {nullptr, nullptr, "C", 1033},
        {"zh_CN.UTF-8", nullptr, "en_US.UTF-8", 2052},  // LC_ALL wins
        {"", nullptr, "zh_CN.UTF-8", 2052},             // an empty LC_ALL counts as unset
        {nullptr, "fr_FR", "en_US", 1036},              // then LC_MESSAGES
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.lcAll ? c.lcAll : "-") + " " + (c.lcMessages ? c.lcMessages : "-") + " " +
                     (c.lang ? c.lang : "-"));
        const std::pair<const char *, const char *> variables[] = {
            {"LC_ALL", c.lcAll}, {"LC_MESSAGES", c.lcMessages}, {"LANG", c.lang}};
        for (const auto &variable : variables) {
            if (variable.second)
                setenv(variable.first, variable.second, 1);
            else
                unsetenv(variable.first);
        }
        EXPECT_EQ(GetSystemDefaultUILanguage(), c.language);
        EXPECT_EQ(GetACP(), c.language == 2052 ? 936u : 1252u);
    }
}

std::u16string ToWide(UINT codePage, const std::string &bytes, DWORD flags = 0)
{
    int units = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (units <= 0)
        return u"<failed>";
    std::u16string wide(static_cast<size_t>(units), u'\0');
    int written = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), &wide[0], units);
    EXPECT_EQ(written, units) << "the size query and the conversion disagree";
    return wide;
}

std::string ToBytes(UINT codePage, const std::u16string &wide, BOOL *usedDefault = nullptr,
                    const char *defaultChar = nullptr)
{
    int bytes = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                    defaultChar, usedDefault);
    if (bytes <= 0)
        return "<failed>";
    std::string text(static_cast<size_t>(bytes), '\0');
    int written = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &text[0], bytes,
                                      defaultChar, usedDefault);
    EXPECT_EQ(written, bytes);
    return text;
}

struct CodePageCase {
    UINT codePage;
    std::string bytes;
    std::u16string wide;
};

// Both ways: bytes of the code page and their UTF-16 form.
const CodePageCase kRoundTrips[] = {
    {936, "\xCE\xB4\xB7\xA2\xCF\xD6\xB4\xF2\xD3\xA1\xC9\xE8\xB1\xB8.", u"未发现打印设备."},
    {936, "\xC7\xEB\xBC\xEC\xB2\xE9USB\xC1\xAC\xBD\xD3.\r\n", u"请检查USB连接.\r\n"},
    {936, "\x80", u"€"},
    {1252, "\x80", u"€"},
    {1252, "Caf\xE9 \x93quoted\x94", u"Café “quoted”"},
    {1252, "\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D"},
    {CP_UTF8, "\xE2\x82\xAC \xF0\x9F\x98\x80", u"€ 😀"},
    {437, "\x80\xE1", u"Çß"},
    {1252, std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
};

TEST_F(MachineLanguage, CodePagesConvertBothWays)
{
    for (const CodePageCase &c : kRoundTrips) {
        SCOPED_TRACE(c.codePage);
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(ToWide(c.codePage, c.bytes), c.wide);
        BOOL usedDefault = TRUE;
        EXPECT_EQ(ToBytes(c.codePage, c.wide, c.codePage == CP_UTF8 ? nullptr : &usedDefault), c.bytes);
        if (c.codePage != CP_UTF8) {
            EXPECT_FALSE(usedDefault);
        }
    }
}

TEST_F(MachineLanguage, AnsiCodePageFollowsTheLanguage)
{
    const std::string chinese = "\xCE\xB4\xB7\xA2";
    WriteSetting("2052");
    EXPECT_EQ(ToWide(CP_ACP, chinese), u"未发");
    EXPECT_EQ(ToBytes(CP_ACP, u"未发"), chinese);
    EXPECT_EQ(GetOEMCP(), 936u);
    WriteSetting("1033");
    EXPECT_EQ(ToWide(CP_ACP, chinese), u"Î´·¢");
    EXPECT_EQ(ToWide(CP_ACP, "\x80"), u"€");
    EXPECT_EQ(GetOEMCP(), 437u);
}

TEST_F(MachineLanguage, InvalidBytesAreReplacedOrRefused)
{
    struct Case {
        UINT codePage;
        std::string bytes;
        std::u16string replaced;
    } cases[] = {
        {CP_UTF8, "a\xFF" "b", u"a\uFFFDb"},
        {CP_UTF8, "a\xE2\x82", u"a\uFFFD\uFFFD"},  // cut short at the end
        {936, "a\xCE", u"a?"},                     // a lead byte without its trail
        {936, "\xFF" "a", u"?a"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(ToWide(c.codePage, c.bytes), c.replaced);
        SetLastError(0);
        WCHAR out[16];
        EXPECT_EQ(MultiByteToWideChar(c.codePage, MB_ERR_INVALID_CHARS, c.bytes.data(),
                                      static_cast<int>(c.bytes.size()), out, 16),
                  0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    }
}

TEST_F(MachineLanguage, MissingCharactersBecomeTheDefaultCharacter)
{
    BOOL usedDefault = FALSE;
    EXPECT_EQ(ToBytes(1252, u"a未b", &usedDefault), "a?b");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(ToBytes(1252, u"😀", &usedDefault, "*"), "*") << "a surrogate pair is one character";
    EXPECT_EQ(ToBytes(936, u"€x\U0001F600", &usedDefault), "\x80x?");
    // UTF-8 has every character; an unpaired surrogate becomes U+FFFD.
    EXPECT_EQ(ToBytes(CP_UTF8, std::u16string(u"a") + char16_t(0xD800) + u"b"), "a\xEF\xBF\xBD" "b");
    char out[16];
    const std::u16string lone = std::u16string(1, char16_t(0xDC00));
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone.data(), 1, out, 16, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST_F(MachineLanguage, ConversionsFollowTheWindowsSizeRules)
{
    // -1: up to and including the terminator.
    EXPECT_EQ(MultiByteToWideChar(936, 0, "\xCE\xB4" "ab", -1, nullptr, 0), 4);
    WCHAR wide[8];
    EXPECT_EQ(MultiByteToWideChar(936, 0, "\xCE\xB4" "ab", -1, wide, 8), 4);
    EXPECT_EQ(std::u16string(wide), u"未ab");
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"未ab", -1, nullptr, 0, nullptr, nullptr), 5);
    char bytes[8];
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"未ab", -1, bytes, 8, nullptr, nullptr), 5);
    EXPECT_STREQ(bytes, "\xCE\xB4" "ab");

    // Too small: nothing is returned.
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, wide, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"未", 1, bytes, 1, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    struct Bad {
        const char *what;
        UINT codePage;
        const char *text;
        int length;
        int room;
        DWORD error;
    } bad[] = {
        {"unknown code page", 12345, "a", 1, 8, ERROR_INVALID_PARAMETER},
        {"no text", 1252, nullptr, 1, 8, ERROR_INVALID_PARAMETER},
        {"empty length", 1252, "a", 0, 8, ERROR_INVALID_PARAMETER},
        {"negative length", 1252, "a", -2, 8, ERROR_INVALID_PARAMETER},
        {"negative room", 1252, "a", 1, -1, ERROR_INVALID_PARAMETER},
    };
    for (const Bad &b : bad) {
        SCOPED_TRACE(b.what);
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(b.codePage, 0, b.text, b.length, wide, b.room), 0);
        EXPECT_EQ(GetLastError(), b.error);
    }
    BOOL used = FALSE;
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, bytes, 8, nullptr, &used), 0)
        << "UTF-8 takes no default character";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    EXPECT_TRUE(IsValidCodePage(936));
    EXPECT_TRUE(IsValidCodePage(1252));
    EXPECT_TRUE(IsValidCodePage(CP_UTF8));
    EXPECT_FALSE(IsValidCodePage(12345));
    EXPECT_FALSE(IsValidCodePage(CP_ACP));
}

} // namespace
