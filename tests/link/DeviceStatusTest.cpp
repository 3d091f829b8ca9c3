// Opening the link, the status query and the job start against the device
// stand-in.
#include "DeviceSupport.h"

namespace linktest {
namespace {

struct StatusCase {
  const char *name;
  const char *state;
  const char *fault; // armed before the query, or null
  int expected;
};

void PrintTo(const StatusCase &c, std::ostream *out) { *out << c.name; }

class DeviceStatus : public DeviceLinkTest, public testing::WithParamInterface<StatusCase> {};

TEST_P(DeviceStatus, MapsTheReply) {
  const StatusCase &c = GetParam();
  standin::DeviceOptions options;
  options.state = c.state;
  StartDevice(options);
  if (c.fault != nullptr) {
    ASSERT_TRUE(Device().Command(c.fault));
  }
  ASSERT_TRUE(OpenLink());
  EXPECT_EQ(link_->GetStatus(), c.expected);
  // The device understood the query as a status query.
  EXPECT_TRUE(WaitLog("status state="));
  EXPECT_EQ(CountLog("unknown"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    States, DeviceStatus,
    testing::Values(StatusCase{"Ready", "ready", nullptr, 0},
                    StatusCase{"Busy", "busy", nullptr, 2},
                    StatusCase{"Error", "error", nullptr, 3},
                    StatusCase{"Document", "document", nullptr, 5},
                    StatusCase{"Byte90", "0x90", nullptr, 8},
                    StatusCase{"UnlistedByteIsReady", "0x05", nullptr, 0},
                    StatusCase{"ShortReplyIsBusy", "ready", "fault short-status", 2},
                    StatusCase{"SilenceIsNoAnswer", "silent", nullptr, 9}),
    [](const testing::TestParamInfo<StatusCase> &info) { return info.param.name; });

class DeviceOpen : public DeviceLinkTest {};

TEST_F(DeviceOpen, NoOpenPortGivesFour) {
  StartDevice();
  EXPECT_EQ(link_->GetStatus(), 4);
  // An empty name or a port that is not there leaves the link closed.
  EXPECT_EQ(link_->Open("", 19200, 0), -1);
  EXPECT_EQ(link_->GetStatus(), 4);
  EXPECT_EQ(link_->Open("COM77", 19200, 0), -1);
  EXPECT_EQ(link_->GetStatus(), 4);
  // Nothing reached the device.
  EXPECT_EQ(CountLog("status"), 0);
}

TEST_F(DeviceOpen, ReopenUsesTheStoredPortAndUnplugClosesTheWay) {
  StartDevice();
  ASSERT_TRUE(OpenLink());
  // Open closes the earlier port first: with an exclusive port a second
  // handle could not be had otherwise.
  EXPECT_EQ(link_->Reopen(), 0);
  EXPECT_EQ(link_->GetStatus(), 0);
  link_->Close();
  EXPECT_EQ(link_->GetStatus(), 4);
  link_->Close(); // closing twice is harmless
  EXPECT_EQ(link_->Reopen(), 0);
  EXPECT_EQ(link_->GetStatus(), 0);
  link_->Close();

  ASSERT_TRUE(Device().Command("unplug"));
  EXPECT_EQ(link_->Reopen(), -1);
  EXPECT_EQ(link_->GetStatus(), 4);
  ASSERT_TRUE(Device().Command("plug"));
  EXPECT_EQ(link_->Reopen(), 0);
  EXPECT_EQ(link_->GetStatus(), 0);
}

struct JobCase {
  int copies, resolution, flag;
  int a, b, c;
};

void PrintTo(const JobCase &c, std::ostream *out) { *out << "copies " << c.copies << " resolution " << c.resolution << " flag " << c.flag; }

class DeviceJobStart : public DeviceLinkTest, public testing::WithParamInterface<JobCase> {};

TEST_P(DeviceJobStart, SendsTheParameterBytes) {
  const JobCase &c = GetParam();
  StartDevice();
  ASSERT_TRUE(OpenLink());
  EXPECT_EQ(link_->StartJob(c.copies, c.resolution, c.flag), 1);
  const std::string line = "job a=" + std::to_string(c.a) + " b=" + std::to_string(c.b) +
                           " c=" + std::to_string(c.c);
  EXPECT_TRUE(WaitLog(line)) << Log();
  EXPECT_EQ(CountLog("head="), 0); // the third byte was 03
}

INSTANTIATE_TEST_SUITE_P(Parameters, DeviceJobStart,
                         testing::Values(JobCase{1, 50, 1, 0, 1, 1}, JobCase{258, 50, 1, 0, 1, 2},
                                         JobCase{2, 49, 1, 1, 1, 2}, JobCase{1, 0, 0, 1, 0, 1},
                                         JobCase{0, 50, 7, 0, 1, 0}, JobCase{255, 51, -1, 1, 1, 255}));

class DeviceJobRefused : public DeviceLinkTest {};

TEST_F(DeviceJobRefused, FailsWithoutPortOrAnswer) {
  standin::DeviceOptions options;
  options.state = "silent";
  StartDevice(options);
  EXPECT_EQ(link_->StartJob(1, 50, 1), 0); // no port
  EXPECT_EQ(CountLog("job"), 0);
  ASSERT_TRUE(OpenLink());
  EXPECT_EQ(link_->StartJob(1, 50, 1), 0); // no F0 within 5 s
  EXPECT_TRUE(WaitLog("job a=0 b=1 c=1 reply=none"));
}

} // namespace
} // namespace linktest
