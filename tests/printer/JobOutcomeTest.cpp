// Jobs that end before anything is printed: one that does not parse (the
// error box, in both languages), an empty one and one without pages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ExpectedTexts.h"
#include "PrinterRun.h"

namespace printer_test {
namespace {

using testing::ElementsAre;

const Bytes kDocumentStart = {0x1B, 0x42, 0x44, 0x1B, 0x42, 0x50};
const Bytes kJobEnd = {0x1B, 0x45, 0x50, 0x1B, 0x45, 0x44, ' ', '1'};

Bytes Join(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct LanguageCase {
    const char *name;
    int setting;  // the machine's UI language
    int language; // the language the texts must be in
};

void PrintTo(const LanguageCase &c, std::ostream *os) { *os << c.name; }

class UnknownFormatTest : public PrinterRunTest, public testing::WithParamInterface<LanguageCase> {};

TEST_P(UnknownFormatTest, ShowsTheErrorBoxInTheSystemLanguage)
{
    const LanguageCase &c = GetParam();
    ASSERT_TRUE(SetUiLanguage(c.setting));
    Pilot().Answer("OK");

    // A job that does not begin with the document start.
    Bytes job = Join({'%', '!', 'P', 'S'}, JobOf(SamplePages(1, 20)));
    EXPECT_EQ(RunPrinter(job), 0);

    ExpectPilotClean(Pilot());
    ASSERT_EQ(Pilot().Shown().size(), 1u);
    const classlib_testing::TShownDialog &box = Pilot().Shown()[0];
    EXPECT_EQ(box.Title, "Error");
    EXPECT_EQ(box.Kind, mtError);
    EXPECT_EQ(box.Bytes, ErrorBytes(5, c.language));
    EXPECT_EQ(box.Text, ErrorShown(5, c.language));
    EXPECT_THAT(box.Buttons, ElementsAre("OK"));
}

const LanguageCase kLanguages[] = {
    {"English", 1033, kEnglish},
    {"French", 1036, kEnglish},
    {"Japanese", 1041, kEnglish},
    {"Chinese", 2052, kChinese},
};

INSTANTIATE_TEST_SUITE_P(Languages, UnknownFormatTest, testing::ValuesIn(kLanguages),
                         [](const testing::TestParamInfo<LanguageCase> &info) { return info.param.name; });

TEST_F(PrinterRunTest, EnglishUnknownFormatTextIsExact)
{
    Pilot().Answer("OK");
    EXPECT_EQ(RunPrinter({0x00, 0x01, 0x02}), 0);
    ExpectPilotClean(Pilot());
    ASSERT_EQ(Pilot().Shown().size(), 1u);
    EXPECT_EQ(Pilot().Shown()[0].Bytes,
              "Fax Printer Error\r\n\r\nFile Format unknown.\r\nIf this error persists, please contact the "
              "technical support from sales organization or manufacturer.\r\n\r\nPrinting job canceled.\r\n"
              "Check the machine and restart the printing.");
}

TEST_F(PrinterRunTest, EmptyJobEndsSilently)
{
    StartDevice("ready");
    ASSERT_TRUE(Device().Started());
    EXPECT_EQ(RunPrinter({}), 0);
    EXPECT_TRUE(Pilot().NoDialogShown());
    ExpectPilotClean(Pilot());
    EXPECT_EQ(Device().CountInLog("status state="), 0) << Device().Log();
}

TEST_F(PrinterRunTest, JobWithoutPagesEndsWithoutSendingAnything)
{
    StartDevice("ready");
    ASSERT_TRUE(Device().Started());
    EXPECT_EQ(RunPrinter(Join(kDocumentStart, kJobEnd)), 0);
    EXPECT_TRUE(Pilot().NoDialogShown());
    ExpectPilotClean(Pilot());
    EXPECT_TRUE(Device().PagePaths().empty());
    EXPECT_EQ(Device().CountInLog("job a="), 0) << Device().Log();
    EXPECT_EQ(Device().CountInLog("frame page="), 0) << Device().Log();
}

} // namespace
} // namespace printer_test
