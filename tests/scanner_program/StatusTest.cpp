// The status box and the buttons as the device's state changes: no device
// at start, ready, a document inserted and taken away, busy, error, the
// status 0x90 that shows nothing, the device lost and found again; the
// texts the scan thread posts, and the centring of the status text.
#include <gtest/gtest.h>

#include "FormPilot.h"
#include "ScannerRun.h"

namespace scanner_program_test {
namespace {

using StatusTest = ScannerRunTest;

TEST_F(StatusTest, NoDeviceAtStartThenPluggedIn)
{
    StartScanner();
    std::vector<std::string> shown = TakeShown();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0], Expected(24));
    EXPECT_FALSE(Form()->ScanBut->Enabled());
    EXPECT_TRUE(Form()->DestBut->Enabled());

    ASSERT_TRUE(WaitForStatus(12, 10000)) << Status();
    // The connect attempts go on; no poll runs before one finds the device.
    RunFor(2500);
    EXPECT_EQ(Status(), Expected(12));
    EXPECT_FALSE(PollTimer()->Enabled());
    EXPECT_EQ(State(), TMain::kStateConnect);
    EXPECT_FALSE(Form()->ScanBut->Enabled());

    StartDevice("ready");
    ASSERT_TRUE(WaitForStatus(8, 15000)) << Status();
    EXPECT_TRUE(PollTimer()->Enabled());
    EXPECT_EQ(PollTimer()->Interval(), 1000);
    EXPECT_EQ(State(), TMain::kStateIdle);
    EXPECT_FALSE(Form()->ScanBut->Enabled());
    EXPECT_TRUE(Form()->DestBut->Enabled());
}

TEST_F(StatusTest, DocumentInsertedAndTakenAway)
{
    StartDevice("ready");
    StartScanner();
    ASSERT_TRUE(WaitForStatus(8));
    EXPECT_FALSE(Form()->ScanBut->Enabled());

    const std::vector<std::string> document = WriteDocument({DocumentPage(1, 40)});
    ASSERT_TRUE(Device().Command("scan " + document[0]));
    ASSERT_TRUE(WaitForStatus(13, 5000)) << Status();
    EXPECT_TRUE(Form()->ScanBut->Enabled());
    EXPECT_TRUE(Form()->DestBut->Enabled());
    EXPECT_EQ(PollTimer()->Interval(), 10000);

    // While the document waits, polls come every ten seconds.
    const int queries = Device().CountInLog("status state=");
    RunFor(3000);
    EXPECT_EQ(Device().CountInLog("status state="), queries);

    // Taken away: a click polls at once, finds no document and drops the
    // request.
    ASSERT_TRUE(Device().Command("state ready"));
    classlib_testing::TFormPilot user;
    user.Click(Form()->ScanBut);
    EXPECT_TRUE(WaitUntil([&] { return Device().CountInLog("status state=ready") >= 1; }, 3000));
    EXPECT_FALSE(Form()->ScanBut->Enabled());
    EXPECT_TRUE(Form()->DestBut->Enabled());
    EXPECT_EQ(PollTimer()->Interval(), 1000);
    ASSERT_TRUE(WaitForStatus(8, 3000)) << Status();
    EXPECT_EQ(Device().CountInLog("\nscan "), 0) << Device().Log();
}

TEST_F(StatusTest, BusyAndErrorStates)
{
    StartDevice("busy");
    StartScanner();
    ASSERT_TRUE(WaitForStatus(10)) << Status();
    ASSERT_TRUE(Device().Command("state error"));
    ASSERT_TRUE(WaitForStatus(11, 5000)) << Status();
    EXPECT_FALSE(Form()->ScanBut->Enabled());
    EXPECT_TRUE(Form()->DestBut->Enabled());
}

TEST_F(StatusTest, Status90KeepsThePreviousText)
{
    StartDevice("ready");
    StartScanner();
    ASSERT_TRUE(WaitForStatus(8));
    ASSERT_TRUE(Device().Command("scan " + WriteDocument({DocumentPage(2, 30)})[0]));
    ASSERT_TRUE(WaitForStatus(13, 5000));
    ASSERT_TRUE(Form()->ScanBut->Enabled());

    ASSERT_TRUE(Device().Command("state 0x90"));
    TakeShown();
    classlib_testing::TFormPilot user;
    user.Click(Form()->ScanBut);
    EXPECT_FALSE(Form()->ScanBut->Enabled());
    // Two more polls, a second apart.
    ASSERT_TRUE(WaitUntil([&] { return Device().CountInLog("reply=90") >= 3; }, 5000)) << Device().Log();
    RunFor(600);
    EXPECT_EQ(Status(), Expected(13));
    EXPECT_TRUE(TakeShown().empty());
    EXPECT_FALSE(Form()->ScanBut->Enabled());
    EXPECT_EQ(Device().CountInLog("\nscan "), 0);
}

TEST_F(StatusTest, OfTwoTextsWithinOnePeriodOnlyTheLaterShows)
{
    StartDevice("ready");
    StartScanner();
    ASSERT_TRUE(WaitForStatus(8));
    PollTimer()->SetEnabled(false);
    RunFor(600); // a text posted meanwhile is taken
    TakeShown();

    Thread()->SetMessage("first text");
    Thread()->SetMessage("second text");
    ASSERT_TRUE(WaitUntil([&] { return Status() == "second text"; }, 3000));
    RunFor(600);
    EXPECT_EQ(TakeShown(), std::vector<std::string>{"second text"});
}

TEST_F(StatusTest, TextsAreCentredInTheBox)
{
    StartScanner();
    Form()->CheckMsgTimer->SetEnabled(false);
    TLabel *label = Form()->MsgLabel;
    TPanel *box = Form()->Panel2;
    ASSERT_EQ(box->Width(), 362);
    ASSERT_EQ(box->Height(), 47);

    Form()->ShowStatus(Expected(13));
    const int oneLine = label->Height();
    EXPECT_EQ(label->Top(), (47 - oneLine) / 2);
    EXPECT_EQ(label->Left(), (362 - label->Width()) / 2);

    // Two lines: twice as high, centred anew.
    Form()->ShowStatus(Expected(12));
    EXPECT_EQ(label->Height(), 2 * oneLine);
    EXPECT_EQ(label->Top(), (47 - label->Height()) / 2);
    EXPECT_EQ(label->Left(), (362 - label->Width()) / 2);
    Picture("status-two-lines");

    // Wider and higher than the box: negative offsets, rounded toward zero.
    Form()->ShowStatus("a text that is far too wide for the white status box of the scanner\r\n2\r\n3\r\n4");
    EXPECT_GT(label->Width(), 362);
    EXPECT_EQ(label->Left(), (362 - label->Width()) / 2);
    EXPECT_LT(label->Top(), 0);
    EXPECT_EQ(label->Top(), (47 - label->Height()) / 2);
}

TEST_F(StatusTest, ChineseSystemShowsChineseCaptionsAndTexts)
{
    SetLanguage(kChinese);
    StartScanner();
    EXPECT_EQ(Form()->Caption().str(), Expected(19, kChinese));
    EXPECT_EQ(Form()->ScanBut->Caption().str(), Expected(20, kChinese));
    EXPECT_EQ(Form()->CloseBut->Caption().str(), Expected(21, kChinese));
    EXPECT_EQ(Form()->DestBut->Caption().str(), Expected(22, kChinese));
    EXPECT_EQ(Form()->DestLabel->Caption().str(), Expected(23, kChinese));
    EXPECT_EQ(TakeShown().at(0), Expected(24, kChinese));
    EXPECT_TRUE(WaitForStatus(12, 10000, kChinese)) << Status();
}

TEST_F(StatusTest, EnglishOnOtherSystems)
{
    SetLanguage(1036);
    StartScanner();
    EXPECT_EQ(Form()->Caption().str(), "Scanner");
    EXPECT_EQ(Form()->ScanBut->Caption().str(), "Scan document");
    EXPECT_EQ(Form()->CloseBut->Caption().str(), "Close");
    EXPECT_EQ(Form()->DestBut->Caption().str(), "Destination folder");
    EXPECT_EQ(Form()->DestLabel->Caption().str(), "Destination folder :");
}

// The device lost after connecting, and found again.
using DeviceLostTest = ScannerRunTest;

TEST_F(DeviceLostTest, UnpluggedThenPluggedAgain)
{
    StartDevice("ready");
    StartScanner();
    ASSERT_TRUE(WaitForStatus(8));

    ASSERT_TRUE(Device().Command("unplug"));
    ASSERT_TRUE(WaitForStatus(12, 5000)) << Status();
    EXPECT_EQ(State(), TMain::kStateConnect);
    EXPECT_EQ(PollTimer()->Interval(), 1000);
    EXPECT_TRUE(PollTimer()->Enabled());

    ASSERT_TRUE(Device().Command("plug"));
    ASSERT_TRUE(WaitForStatus(8, 8000)) << Status();
    // A document seen while in state 1 searches nothing, and the state
    // stays until a scan.
    EXPECT_EQ(State(), TMain::kStateConnect);
}

TEST_F(DeviceLostTest, SilentDeviceIsPoweredOff)
{
    StartDevice("ready");
    StartScanner();
    ASSERT_TRUE(WaitForStatus(8));
    ASSERT_TRUE(Device().Command("state silent"));
    ASSERT_TRUE(WaitForStatus(17, 8000)) << Status();
    EXPECT_EQ(State(), TMain::kStateConnect);
    EXPECT_FALSE(Form()->ScanBut->Enabled());
    ASSERT_TRUE(Device().Command("state ready"));
    ASSERT_TRUE(WaitForStatus(8, 8000)) << Status();
}

} // namespace
} // namespace scanner_program_test
