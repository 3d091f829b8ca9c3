// Message lookup by id and language, over a small table of this test's own.
#include <gtest/gtest.h>

#include <string>

#include "Messages.h"

// Row 3 carries the wrong id; row 2 has no Chinese text, row 4 no English.
const TTextMsgRow MessageTable[] = {
    {0, "", ""},
    {1, "Printer busy.\r\nPlease wait.", "\xB4\xF2\xD3\xA1\xC9\xE8\xB1\xB8"},
    {2, "Scanner ready", nullptr},
    {7, "Misplaced", "Misplaced"},
    {4, nullptr, "\xCE\xC4\xB8\xE5"},
};
const int MessageTableSize = sizeof(MessageTable) / sizeof(MessageTable[0]);

namespace {

struct LanguageCase {
  int systemLanguage;
  bool chinese;
};

void PrintTo(const LanguageCase &c, std::ostream *out) { *out << "language " << c.systemLanguage; }

class TextMsgLanguage : public testing::TestWithParam<LanguageCase> {};

TEST_P(TextMsgLanguage, OnlySimplifiedChineseGivesChinese) {
  const LanguageCase &c = GetParam();
  TTextMsg messages(c.systemLanguage);
  EXPECT_STREQ(messages.Get(1), c.chinese ? MessageTable[1].Chinese : MessageTable[1].English);
  // SetLanguage applies the same rule to an existing lookup.
  TTextMsg other(c.chinese ? 1033 : 2052);
  other.SetLanguage(c.systemLanguage);
  EXPECT_STREQ(other.Get(1), messages.Get(1));
}

INSTANTIATE_TEST_SUITE_P(Languages, TextMsgLanguage,
                         testing::Values(LanguageCase{1033, false}, LanguageCase{2052, true},
                                         LanguageCase{1036, false}, LanguageCase{1028, false},
                                         LanguageCase{3076, false}, LanguageCase{0, false},
                                         LanguageCase{-2052, false}));

struct LookupCase {
  unsigned char id;
  const char *english;
  const char *chinese;
};

void PrintTo(const LookupCase &c, std::ostream *out) { *out << "id " << static_cast<int>(c.id); }

class TextMsgLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(TextMsgLookup, GivesTheRowsTextOrEmpty) {
  const LookupCase &c = GetParam();
  EXPECT_EQ(std::string(TTextMsg(1033).Get(c.id)), c.english);
  EXPECT_EQ(std::string(TTextMsg(2052).Get(c.id)), c.chinese);
}

INSTANTIATE_TEST_SUITE_P(
    Ids, TextMsgLookup,
    testing::Values(LookupCase{0, "", ""},
                    LookupCase{1, "Printer busy.\r\nPlease wait.", "\xB4\xF2\xD3\xA1\xC9\xE8\xB1\xB8"},
                    LookupCase{2, "Scanner ready", ""},     // no Chinese text
                    LookupCase{3, "", ""},                  // row's id differs
                    LookupCase{4, "", "\xCE\xC4\xB8\xE5"},  // no English text
                    LookupCase{5, "", ""},                  // equal to the row count
                    LookupCase{7, "", ""},                  // the misplaced row's own id
                    LookupCase{255, "", ""}));

} // namespace
