// How a page transfer ends when the device fails it, how a retried job
// resumes, and the stop request, against the device stand-in.
#include "DeviceSupport.h"

#include <atomic>
#include <thread>
#include <time.h>

#include "FileContents.h"
#include "TestClock.h"
#include "machine/Testing.h"

namespace linktest {
namespace {

struct FaultCase {
  const char *name;
  const char *fault;
  int copies;
  int result;    // of Send
  int pagesSent; // after it
  const char *logged; // the device saw the fault fire
};

void PrintTo(const FaultCase &c, std::ostream *out) { *out << c.name; }

class DeviceSendFaults : public DeviceLinkTest, public testing::WithParamInterface<FaultCase> {};

// Two pages of three frames each: frames 1-3 are page 1, frames 4-6 page 2.
TEST_P(DeviceSendFaults, EndTheTransferAsTheyShould) {
  const FaultCase &c = GetParam();
  ASSERT_TRUE(StartWithPages({LiteralBytes(600, 1), LiteralBytes(600, 2)}, c.fault));
  ASSERT_EQ(link_->StartJob(c.copies, 50, 1), 1);
  EXPECT_EQ(link_->Send(), c.result);
  EXPECT_EQ(link_->GetPagesSent(), c.pagesSent);
  EXPECT_TRUE(WaitLog(c.logged)) << Log();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DeviceSendFaults,
    testing::Values(
        FaultCase{"DroppedAcknowledgement", "fault drop-ack 5", 1, 0, 1, "fault drop-ack fired"},
        FaultCase{"EndOfPageStatusByte", "fault eop-status 1", 1, 0, 0, "fault eop-status fired"},
        FaultCase{"EndOfPageKind", "fault eop-kind 2", 1, 0, 1, "fault eop-kind fired"},
        FaultCase{"NotReadyAfterPage", "fault busy-after-page 1", 1, 0, 1,
                  "fault busy-after-page fired"},
        FaultCase{"SilentInMidPage", "fault silent-after-frame 2", 1, 0, 0,
                  "fault silent-after-frame fired"},
        FaultCase{"UnpluggedInMidPage", "fault unplug-after-frame 5", 1, 0, 1, "unplugged port="},
        // Copies 0 leave the end of page one read: a prompt reply is caught,
        // a missing one fails at once.
        FaultCase{"NoCopiesPromptReply", "fault clear", 0, 1, 2, "end-of-page page=2"},
        FaultCase{"NoCopiesNoReply", "fault eop-silent 1", 0, 0, 0, "fault eop-silent fired"}),
    [](const testing::TestParamInfo<FaultCase> &info) { return info.param.name; });

class DeviceResume : public DeviceLinkTest {};

TEST_F(DeviceResume, RetryResendsTheFirstUnacknowledgedPageWhole) {
  const std::vector<standin::Bitmap> sources = {PatternPage(25, 7), PatternPage(26, 8),
                                                PatternPage(27, 9)};
  ASSERT_TRUE(StartWithPages(CodePages(sources)));
  // Page 2 fails in its second frame.
  const int page1Frames = static_cast<int>((pages_.Page(0).size() + 215) / 216);
  ASSERT_TRUE(Device().Command("fault drop-ack " + std::to_string(page1Frames + 2)));
  ASSERT_EQ(link_->StartJob(1, 50, 1), 1);
  ASSERT_EQ(link_->Send(), 0);
  ASSERT_EQ(link_->GetPagesSent(), 1);

  // The printer's retry: the port is still open; Reopen, resume, announce.
  ASSERT_EQ(link_->Reopen(), 0);
  link_->SetStartPage(link_->GetPagesSent());
  ASSERT_EQ(link_->StartJob(1, 50, 1), 1);
  EXPECT_EQ(link_->Send(), 1);
  EXPECT_EQ(link_->GetPagesSent(), 3);
  ASSERT_TRUE(WaitLog("end-of-page page=3"));
  const std::vector<std::string> printed = Device().PagePaths();
  ASSERT_EQ(printed.size(), 3u);
  for (size_t i = 0; i < 3; ++i)
    ExpectPrinted(printed[i], sources[i]);
}

// ---- the stop request, set from the clock the link reads ------------------

TUSB_kv8m *gAbortTarget = nullptr;
std::string gAbortWhenLogged; // set FAbort once the device has logged this
std::string gLogPath;

ULONGLONG AbortingTicks() {
  if (gAbortTarget != nullptr) {
    if (gAbortWhenLogged.empty() || testsupport::ReadText(gLogPath).find(gAbortWhenLogged) != std::string::npos) {
      gAbortTarget->FAbort = 1;
      gAbortTarget = nullptr;
    }
  }
  return static_cast<ULONGLONG>(testsupport::MonotonicMs());
}

class DeviceAbort : public DeviceLinkTest {
protected:
  void AbortWhen(const std::string &logged) {
    gAbortTarget = link_.get();
    gAbortWhenLogged = logged;
    gLogPath = Device().LogPath();
    machine::testing::SetTickSource(AbortingTicks);
  }
  void TearDown() override {
    gAbortTarget = nullptr;
    DeviceLinkTest::TearDown();
  }
};

TEST_F(DeviceAbort, DuringDataSendsTheFirst6696BytesAndTheEndOfPage) {
  ASSERT_TRUE(StartWithPages({LiteralBytes(20000), LiteralBytes(500)}));
  ASSERT_EQ(link_->StartJob(1, 50, 1), 1);
  AbortWhen(""); // at the first wait of the transfer
  EXPECT_EQ(link_->Send(), 0);
  EXPECT_EQ(link_->GetPagesSent(), 0);
  // 31 frames (offsets 0 to 6480), then the end of page all the same.
  ASSERT_TRUE(WaitLog("end-of-page page=1 frames=31 bytes=6696 ")) << Log();
  EXPECT_EQ(CountLog("job "), 1);
  // The next Send starts afresh with the stop request cleared.
  machine::testing::SetTickSource(nullptr);
  link_->SetStartPage(1);
  ASSERT_EQ(link_->StartJob(1, 50, 1), 1);
  EXPECT_EQ(link_->Send(), 1);
  EXPECT_EQ(link_->FAbort, 0);
}

TEST_F(DeviceAbort, AfterTheEndOfPageTheNextPageIsNotStarted) {
  ASSERT_TRUE(StartWithPages({LiteralBytes(300), LiteralBytes(300)}));
  ASSERT_EQ(link_->StartJob(1, 50, 1), 1);
  AbortWhen("end-of-page page=1");
  EXPECT_EQ(link_->Send(), 0);
  EXPECT_EQ(link_->GetPagesSent(), 1); // the page was acknowledged
  EXPECT_EQ(link_->GetStatus(), 0);
  ASSERT_TRUE(WaitLog("status state=", 1));
  EXPECT_EQ(CountLog("job "), 1);
  EXPECT_EQ(CountLog("frame page=2"), 0);
}

// A clock that runs 100,000 times too fast: any wait that has to check
// its limit gives up at the first check. Replies that come within the first
// read are still taken, so the page goes through, and the ready poll ends
// after a single status query.
ULONGLONG FastTicks() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<ULONGLONG>(now.tv_sec) * 100000000 + static_cast<ULONGLONG>(now.tv_nsec) / 10;
}

class DeviceReadyPoll : public DeviceLinkTest {};

TEST_F(DeviceReadyPoll, EndsAtItsFirstCheckWhenTheClockJumps) {
  ASSERT_TRUE(StartWithPages({LiteralBytes(300), LiteralBytes(300)}, "fault busy-after-page 1"));
  ASSERT_EQ(link_->StartJob(1, 50, 1), 1);
  machine::testing::SetTickSource(FastTicks);
  EXPECT_EQ(link_->Send(), 0);
  machine::testing::SetTickSource(nullptr);
  EXPECT_EQ(link_->GetPagesSent(), 1);
  ASSERT_TRUE(WaitLog("status state=busy", 1));
  EXPECT_EQ(CountLog("status state="), 1);
}

// A clock that runs ten times too slow: the 4000 ms limit of the ready poll
// stretches to 40 s, so the device can be told ready after a few polls with
// room to spare however slowly the machine runs.
ULONGLONG SlowTicks() { return static_cast<ULONGLONG>(testsupport::MonotonicMs() / 10); }

TEST_F(DeviceReadyPoll, KeepsAskingUntilTheDeviceIsReadyAgain) {
  ASSERT_TRUE(StartWithPages({LiteralBytes(300, 1), LiteralBytes(300, 2)}, "fault busy-after-page 1"));
  ASSERT_EQ(link_->StartJob(1, 50, 1), 1);
  std::thread readyLater([this] {
    if (WaitLog("status state=busy", 3))
      Device().Command("state ready");
  });
  machine::testing::SetTickSource(SlowTicks);
  EXPECT_EQ(link_->Send(), 1);
  machine::testing::SetTickSource(nullptr);
  readyLater.join();
  EXPECT_EQ(link_->GetPagesSent(), 2);
  ASSERT_TRUE(WaitLog("end-of-page page=2")) << Log();
  EXPECT_GE(CountLog("status state=busy"), 3);
  // The second page was announced only once the device was ready.
  const std::string log = Log();
  EXPECT_LT(log.find("status state=ready"), log.find("frame page=2"));
  EXPECT_EQ(CountLog("job "), 2);
}

} // namespace
} // namespace linktest
