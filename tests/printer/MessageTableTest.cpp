// The printer's message table, row by row, byte for byte: the English texts
// as written (typos included) and the Chinese texts as GB2312 bytes.
#include <gtest/gtest.h>

#include <string>

#include "ExpectedTexts.h"
#include "Messages.h"

namespace printer_test {
namespace {

constexpr int kRows = 25;

class MessageTableTest : public testing::TestWithParam<int> {};

TEST_P(MessageTableTest, EveryRowHoldsItsTexts)
{
    const int language = GetParam();
    TTextMsg messages(language);
    ASSERT_EQ(MessageTableSize, kRows);
    for (int id = 0; id < kRows; ++id) {
        EXPECT_EQ(MessageTable[id].Id, id);
        const std::string expected = ExpectedText(id, language);
        ASSERT_EQ(expected.empty(), ExpectedUtf8(id, language).empty()) << "id " << id << " is not GB2312 text";
        EXPECT_EQ(std::string(messages.Get(static_cast<unsigned char>(id))), expected) << "id " << id;
    }
    EXPECT_STREQ(messages.Get(kRows), "");
}

INSTANTIATE_TEST_SUITE_P(Languages, MessageTableTest, testing::Values(kEnglish, kChinese),
                         [](const testing::TestParamInfo<int> &info) {
                             return info.param == kChinese ? std::string("Chinese") : std::string("English");
                         });

} // namespace
} // namespace printer_test
