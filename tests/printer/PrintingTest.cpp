// The printer program on the device stand-in: a job printed at once, the
// warnings while the device is not ready (Retry and Cancel), the status that
// shows nothing, and a transfer that fails part-way and resumes or is
// cancelled.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ExpectedTexts.h"
#include "PrinterRun.h"

namespace printer_test {
namespace {

using testing::ElementsAre;

constexpr int kWaitMs = 30000; // bound for one step the program takes

// ---- Ready at once -------------------------------------------------------------

struct ReadyCase {
    const char *name;
    int pages;
    int copies;
    char resolution;
    const char *jobStart; // the device's log of the job-start frame
};

void PrintTo(const ReadyCase &c, std::ostream *os) { *os << c.name; }

class ReadyDeviceTest : public PrinterRunTest, public testing::WithParamInterface<ReadyCase> {};

TEST_P(ReadyDeviceTest, PrintsEveryPageWithoutADialog)
{
    const ReadyCase &c = GetParam();
    StartDevice("ready");
    ASSERT_TRUE(Device().Started());
    auto pages = SamplePages(c.pages, 120, 7);

    EXPECT_EQ(RunPrinter(JobOf(pages, c.copies, c.resolution)), 0);

    EXPECT_TRUE(Pilot().NoDialogShown());
    ExpectPilotClean(Pilot());
    EXPECT_EQ(ComparePages(pages, Device().PagePaths()), "");
    // One status query finds the device ready; the job follows at once.
    EXPECT_EQ(CountBefore("status state=", "job a="), 1) << Device().Log();
    EXPECT_EQ(CountBefore(c.jobStart, "end-of-page"), 1) << Device().Log();
    EXPECT_EQ(Device().CountInLog("job a="), c.pages) << "one job start before every page";
}

const ReadyCase kReadyCases[] = {
    {"ThreePagesFine", 3, 1, '2', "job a=0 b=1 c=1"},
    {"OnePageStandardTwoCopies", 1, 2, '1', "job a=1 b=1 c=2"},
};

INSTANTIATE_TEST_SUITE_P(Jobs, ReadyDeviceTest, testing::ValuesIn(kReadyCases),
                         [](const testing::TestParamInfo<ReadyCase> &info) { return info.param.name; });

// ---- Not ready, then Retry -------------------------------------------------------

struct NotReadyCase {
    const char *name;
    const char *state;     // the device's state when the job comes
    const char *statusLog; // its log of the status reply in that state
    int textId;            // the status text in the warning
    int language;
};

void PrintTo(const NotReadyCase &c, std::ostream *os) { *os << c.name; }

class NotReadyTest : public PrinterRunTest, public testing::WithParamInterface<NotReadyCase> {};

TEST_P(NotReadyTest, WarnsOnceAndPrintsAfterRetry)
{
    const NotReadyCase &c = GetParam();
    ASSERT_TRUE(SetUiLanguage(c.language));
    StartDevice(c.state);
    ASSERT_TRUE(Device().Started());
    auto pages = SamplePages(2, 120, 11);

    // The device is made ready as soon as it has answered the first query;
    // the warning is answered with Retry, and the next query finds it ready.
    Pilot().Answer("&Retry");
    SideTask makeReady([&] {
        EXPECT_TRUE(Device().WaitForLog(c.statusLog, kWaitMs)) << Device().Log();
        EXPECT_TRUE(Device().Command("state ready"));
    });
    EXPECT_EQ(RunPrinter(JobOf(pages)), 0);
    makeReady.Join();

    ExpectPilotClean(Pilot());
    ASSERT_EQ(Pilot().Shown().size(), 1u);
    const classlib_testing::TShownDialog &warning = Pilot().Shown()[0];
    EXPECT_EQ(warning.Title, "Warning");
    EXPECT_EQ(warning.Kind, mtWarning);
    EXPECT_EQ(warning.Bytes, WarningBytes(c.textId, c.language));
    EXPECT_EQ(warning.Text, WarningShown(c.textId, c.language));
    EXPECT_THAT(warning.Buttons, ElementsAre("Cancel", "&Retry"));
    EXPECT_EQ(warning.Result, mrRetry);

    EXPECT_EQ(ComparePages(pages, Device().PagePaths()), "");
    EXPECT_EQ(CountBefore(c.statusLog, "job a="), 1) << Device().Log();
}

const NotReadyCase kNotReadyCases[] = {
    {"BusyEnglish", "busy", "status state=busy reply=01", 10, kEnglish},
    {"BusyChinese", "busy", "status state=busy reply=01", 10, kChinese},
    {"Error", "error", "status state=error reply=07", 11, kEnglish},
    {"DocumentInserted", "document", "status state=document reply=80", 13, kEnglish},
    {"NoAnswer", "silent", "status state=silent reply=none", 17, kEnglish},
    {"NoAnswerChinese", "silent", "status state=silent reply=none", 17, kChinese},
};

INSTANTIATE_TEST_SUITE_P(States, NotReadyTest, testing::ValuesIn(kNotReadyCases),
                         [](const testing::TestParamInfo<NotReadyCase> &info) { return info.param.name; });

TEST_F(PrinterRunTest, StillBusyAfterRetryWarnsAgain)
{
    StartDevice("busy");
    ASSERT_TRUE(Device().Started());
    auto pages = SamplePages(1, 100, 2);
    Pilot().Answer("&Retry");
    Pilot().Answer("&Retry");
    SideTask makeReady([&] {
        EXPECT_TRUE(Device().WaitForLog("status state=busy", kWaitMs, 2)) << Device().Log();
        EXPECT_TRUE(Device().Command("state ready"));
    });
    EXPECT_EQ(RunPrinter(JobOf(pages)), 0);
    makeReady.Join();

    ExpectPilotClean(Pilot());
    ASSERT_EQ(Pilot().Shown().size(), 2u);
    for (const classlib_testing::TShownDialog &warning : Pilot().Shown())
        EXPECT_EQ(warning.Bytes, WarningBytes(10, kEnglish));
    EXPECT_EQ(ComparePages(pages, Device().PagePaths()), "");
}

// ---- Cancel ------------------------------------------------------------------------

enum class CancelBy { Button, Closing, Escape };

struct CancelCase {
    const char *name;
    CancelBy how;
};

void PrintTo(const CancelCase &c, std::ostream *os) { *os << c.name; }

class CancelTest : public PrinterRunTest, public testing::WithParamInterface<CancelCase> {};

TEST_P(CancelTest, EndsTheJobWithoutErrorBoxOrPrinting)
{
    StartDevice("busy");
    ASSERT_TRUE(Device().Started());
    switch (GetParam().how) {
    case CancelBy::Button: Pilot().Answer("Cancel"); break;
    case CancelBy::Closing: Pilot().AnswerByClosing(); break;
    case CancelBy::Escape: Pilot().AnswerByEscape(); break;
    }

    EXPECT_EQ(RunPrinter(JobOf(SamplePages(1, 80))), 0);

    ExpectPilotClean(Pilot());
    ASSERT_EQ(Pilot().Shown().size(), 1u) << "only the warning, no error box";
    EXPECT_EQ(Pilot().Shown()[0].Bytes, WarningBytes(10, kEnglish));
    EXPECT_EQ(Pilot().Shown()[0].Result, mrCancel);
    // The print thread is gone once the program has returned: it asked the
    // device once and never started a job.
    EXPECT_TRUE(Device().PagePaths().empty());
    EXPECT_EQ(Device().CountInLog("job a="), 0) << Device().Log();
    EXPECT_EQ(Device().CountInLog("status state="), 1) << Device().Log();
}

const CancelCase kCancelCases[] = {
    {"CancelButton", CancelBy::Button},
    {"WindowClosed", CancelBy::Closing},
    {"EscapeKey", CancelBy::Escape},
};

INSTANTIATE_TEST_SUITE_P(Answers, CancelTest, testing::ValuesIn(kCancelCases),
                         [](const testing::TestParamInfo<CancelCase> &info) { return info.param.name; });

// ---- A status without a text ----------------------------------------------------------

TEST_F(PrinterRunTest, Status90KeepsAskingWithoutAWarning)
{
    StartDevice("0x90");
    ASSERT_TRUE(Device().Started());
    auto pages = SamplePages(1, 120, 3);
    const char *status90 = "reply=90";

    SideTask makeReady([&] {
        EXPECT_TRUE(Device().WaitForLog(status90, kWaitMs, 2)) << Device().Log();
        EXPECT_TRUE(Device().Command("state ready"));
    });
    EXPECT_EQ(RunPrinter(JobOf(pages)), 0);
    makeReady.Join();

    EXPECT_TRUE(Pilot().NoDialogShown());
    ExpectPilotClean(Pilot());
    EXPECT_GE(CountBefore(status90, "job a="), 2) << Device().Log();
    EXPECT_EQ(ComparePages(pages, Device().PagePaths()), "");
}

// ---- A transfer that fails part-way ---------------------------------------------------

struct TransferFault {
    const char *name;
    const char *kind; // the stand-in's fault, armed before the job
    bool onFrame;     // counted in data frames (a frame of page 3) or in ends of page (the third)
};

void PrintTo(const TransferFault &c, std::ostream *os) { *os << c.name; }

class TransferFaultTest : public PrinterRunTest, public testing::WithParamInterface<TransferFault> {};

TEST_P(TransferFaultTest, ResumesAtTheFirstPageNotTaken)
{
    const TransferFault &fault = GetParam();
    StartDevice("ready");
    ASSERT_TRUE(Device().Started());
    auto pages = SamplePages(4, 100, 5);
    Bytes job = JobOf(pages);
    std::vector<int> sizes = CodedPageSizes(job);
    ASSERT_EQ(sizes.size(), 4u);

    int at = 3; // the third end of page
    if (fault.onFrame)
        at = FramesOf(sizes[0]) + FramesOf(sizes[1]) + FramesOf(sizes[2]) / 2 + 1;
    ASSERT_TRUE(Device().Command(std::string("fault ") + fault.kind + " " + std::to_string(at)));
    Pilot().Answer("&Retry");

    EXPECT_EQ(RunPrinter(job), 0);

    ExpectPilotClean(Pilot());
    ASSERT_EQ(Pilot().Shown().size(), 1u);
    EXPECT_EQ(Pilot().Shown()[0].Bytes, WarningBytes(9, kEnglish));
    EXPECT_EQ(Pilot().Shown()[0].Result, mrRetry);
    EXPECT_EQ(Device().CountInLog("fault " + std::string(fault.kind) + " fired"), 1) << Device().Log();
    // Pages 1 and 2 once, then 3 again from its start, and 4: each page once.
    EXPECT_EQ(ComparePages(pages, Device().PagePaths()), "") << Device().Log();
}

const TransferFault kTransferFaults[] = {
    {"FrameOfPage3NotAcknowledged", "drop-ack", true},
    {"EndOfPage3Refused", "eop-status", false},
    {"EndOfPage3WrongReply", "eop-kind", false},
};

// After the failure the device is ready while the warning is still to be
// shown; Cancel must still stop the job where it stands.
TEST_F(PrinterRunTest, CancelAfterAFailedTransferSendsNothingMore)
{
    StartDevice("ready");
    ASSERT_TRUE(Device().Started());
    auto pages = SamplePages(4, 100, 5);
    ASSERT_TRUE(Device().Command("fault eop-status 3"));
    Pilot().Answer("Cancel");

    EXPECT_EQ(RunPrinter(JobOf(pages)), 0);

    ExpectPilotClean(Pilot());
    ASSERT_EQ(Pilot().Shown().size(), 1u) << "the warning and no error box";
    EXPECT_EQ(Pilot().Shown()[0].Bytes, WarningBytes(9, kEnglish));
    EXPECT_EQ(ComparePages({pages[0], pages[1]}, Device().PagePaths()), "");
    // The job starts of pages 1 to 3, and none after the failure.
    EXPECT_EQ(Device().CountInLog("job a="), 3) << Device().Log();
}

INSTANTIATE_TEST_SUITE_P(Faults, TransferFaultTest, testing::ValuesIn(kTransferFaults),
                         [](const testing::TestParamInfo<TransferFault> &info) { return info.param.name; });

} // namespace
} // namespace printer_test
