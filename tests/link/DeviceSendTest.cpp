// Page sending against the device stand-in (the pages it prints, its log of
// frames) and, for the exact bytes of the frames, against a hand-played
// pseudo-terminal.
#include "DeviceSupport.h"

#include <thread>

#include "Tserial.h"

namespace linktest {
namespace {

std::string EndOfPage(int page, int frames, size_t bytes) {
  return "end-of-page page=" + std::to_string(page) + " frames=" + std::to_string(frames) +
         " bytes=" + std::to_string(bytes) + " ";
}

struct SizeCase {
  const char *name;
  size_t bytes;
  int frames;
};

void PrintTo(const SizeCase &c, std::ostream *out) { *out << c.name; }

class DeviceSendSizes : public DeviceLinkTest, public testing::WithParamInterface<SizeCase> {};

TEST_P(DeviceSendSizes, FramesThePage) {
  const SizeCase &c = GetParam();
  ASSERT_TRUE(StartWithPages({LiteralBytes(c.bytes)}));
  ASSERT_EQ(link_->StartJob(1, 50, 1), 1);
  EXPECT_EQ(link_->Send(), 1);
  EXPECT_EQ(link_->GetPagesSent(), 1);
  // The zero padding of the last frame decodes to nothing: any other filler
  // would add bytes to the page.
  ASSERT_TRUE(WaitLog(EndOfPage(1, c.frames, c.bytes))) << Log();
  EXPECT_EQ(CountLog("length="), 0); // every frame carried D8 and 216 bytes
  if (c.bytes > 0) {
    standin::Bitmap printed;
    ASSERT_EQ(Device().PagePaths().size(), 1u);
    ASSERT_TRUE(standin::ReadPbm(Device().PagePaths()[0], &printed));
    const Bytes sent = LiteralBytes(c.bytes);
    EXPECT_TRUE(std::equal(sent.begin(), sent.end(), printed.rows.begin()));
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, DeviceSendSizes,
                         testing::Values(SizeCase{"Empty", 0, 0}, SizeCase{"OneByte", 1, 1},
                                         SizeCase{"OneFrame", 216, 1},
                                         SizeCase{"OneFrameAndOneByte", 217, 2},
                                         SizeCase{"TwoFrames", 432, 2},
                                         SizeCase{"SeveralFrames", 2592, 12}),
                         [](const testing::TestParamInfo<SizeCase> &info) { return info.param.name; });

class DeviceSend : public DeviceLinkTest {};

TEST_F(DeviceSend, FullPagesArePrintedAsCoded) {
  const std::vector<standin::Bitmap> sources = {PatternPage(2200, 1), PatternPage(40, 2),
                                                PatternPage(1100, 3)};
  ASSERT_TRUE(StartWithPages(CodePages(sources)));
  ASSERT_EQ(link_->StartJob(2, 49, 1), 1);
  EXPECT_EQ(link_->Send(), 1);
  EXPECT_EQ(link_->GetPagesSent(), 3);
  ASSERT_TRUE(WaitLog("end-of-page page=3"));
  // Each later page is announced again with the job's own parameters.
  EXPECT_EQ(CountLog("job a=1 b=1 c=2"), 3);
  EXPECT_EQ(CountLog("job "), 3);
  const std::vector<std::string> printed = Device().PagePaths();
  ASSERT_EQ(printed.size(), 3u);
  for (size_t i = 0; i < 3; ++i)
    ExpectPrinted(printed[i], sources[i]);
}

TEST_F(DeviceSend, ResumesAtTheStartPage) {
  const std::vector<standin::Bitmap> sources = {PatternPage(30, 4), PatternPage(31, 5),
                                                PatternPage(32, 6)};
  ASSERT_TRUE(StartWithPages(CodePages(sources)));
  link_->SetStartPage(1);
  ASSERT_EQ(link_->StartJob(1, 50, 1), 1);
  EXPECT_EQ(link_->Send(), 1);
  EXPECT_EQ(link_->GetPagesSent(), 3);
  ASSERT_TRUE(WaitLog("end-of-page page=2"));
  const std::vector<std::string> printed = Device().PagePaths();
  ASSERT_EQ(printed.size(), 2u);
  ExpectPrinted(printed[0], sources[1]);
  ExpectPrinted(printed[1], sources[2]);
}

TEST_F(DeviceSend, NothingLeftToSendWritesNothing) {
  ASSERT_TRUE(StartWithPages({LiteralBytes(300), LiteralBytes(300)}));
  for (int start : {2, 3, 100}) {
    link_->SetStartPage(start);
    EXPECT_EQ(link_->Send(), 1) << start;
    EXPECT_EQ(link_->GetPagesSent(), start);
  }
  // A status query afterwards is the first thing the device saw.
  EXPECT_EQ(link_->GetStatus(), 0);
  ASSERT_TRUE(WaitLog("status state="));
  EXPECT_EQ(CountLog("frame"), 0);
  EXPECT_EQ(CountLog("end-of-page"), 0);
}

TEST_F(DeviceSend, WithoutPortOrPagesSendsNothing) {
  StartDevice();
  PageSet pages;
  pages.Add(LiteralBytes(300));
  link_->SetData(pages.Blocks(), pages.Sizes());
  EXPECT_EQ(link_->Send(), 1); // no port: nothing sent
  EXPECT_EQ(link_->GetPagesSent(), 0);
  ASSERT_TRUE(OpenLink());
  link_->SetData(nullptr, nullptr);
  EXPECT_EQ(link_->Send(), 1); // no pages
  EXPECT_EQ(link_->GetStatus(), 0);
  ASSERT_TRUE(WaitLog("status state="));
  EXPECT_EQ(CountLog("frame"), 0);
}

// ---- the bytes on the wire, with the device played by hand -----------------

class SendWire : public testing::Test {
protected:
  TempMachineRoot root_;
  FakePort port_{"COM6"};
};

// Plays the device for one page: acknowledges `frames` data frames, answers
// the end of page and one status query, and keeps every byte the host sent.
Bytes PlayOnePage(FakePort &port, int frames) {
  Bytes seen;
  for (int i = 0; i < frames; ++i) {
    const Bytes frame = port.Receive(221);
    seen.insert(seen.end(), frame.begin(), frame.end());
    if (frame.size() != 221)
      return seen;
    port.Send({0xF3, 0x00, 0x00});
  }
  const Bytes end = port.Receive(5);
  seen.insert(seen.end(), end.begin(), end.end());
  port.Send({0x11, 0xFE, 0xF6, 0x00, 0x00, 0x00, 0x00}); // a stray byte first
  const Bytes status = port.Receive(5);
  seen.insert(seen.end(), status.begin(), status.end());
  port.Send({0xF4, 0, 0, 0, 0, 0, 0x00, 0, 0});
  return seen;
}

TEST_F(SendWire, FramesArePaddedAndClosedExactly) {
  ASSERT_TRUE(port_.Ok());
  TUSB_kv8m link;
  ASSERT_EQ(link.Open("COM6", 19200, 0), 0);
  const Bytes page = LiteralBytes(217, 0x40);
  PageSet pages;
  pages.Add(page);
  link.SetData(pages.Blocks(), pages.Sizes());
  ASSERT_TRUE(port_.Send({0x00, 0xF0, 0x01, 0x02})); // the reply, after a stray byte
  ASSERT_EQ(link.StartJob(258, 49, 2), 1);
  EXPECT_EQ(port_.Receive(8), (Bytes{0xFE, 0xF0, 0x03, 0x01, 0x01, 0x02, 0x00, 0x00}));

  Bytes seen;
  std::thread device([&] { seen = PlayOnePage(port_, 2); });
  const int result = link.Send();
  device.join();
  EXPECT_EQ(result, 1);

  Bytes expected = {0xFE, 0xF3, 0xD8};
  expected.insert(expected.end(), page.begin(), page.begin() + 216);
  expected.insert(expected.end(), {0x00, 0x00});
  expected.insert(expected.end(), {0xFE, 0xF3, 0xD8, page[216]});
  expected.insert(expected.end(), 215 + 2, 0x00);
  expected.insert(expected.end(), {0xFE, 0xF5, 0x00, 0x00, 0x00});
  expected.insert(expected.end(), {0xFE, 0xF4, 0x00, 0x00, 0x00});
  EXPECT_EQ(seen, expected);
}

} // namespace
} // namespace linktest
