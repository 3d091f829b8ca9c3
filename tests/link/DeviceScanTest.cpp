// Receiving a scan from the device stand-in: the records as they arrive,
// the page count, and how each fault of the transfer ends it.
#include "DeviceSupport.h"

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "MemoryStream.h"

namespace linktest {
namespace {

class DeviceScan : public DeviceLinkTest {
protected:
  // Starts a device holding the given pages as its document.
  void StartWithDocument(const std::vector<standin::Bitmap> &pages) {
    standin::DeviceProcess &device = StartDevice();
    std::vector<std::string> paths;
    for (size_t i = 0; i < pages.size(); ++i)
      paths.push_back(WritePage(device, pages[i], "page" + std::to_string(i) + ".pbm"));
    std::string command = "scan";
    for (const std::string &path : paths)
      command += " " + path;
    std::string reply;
    ASSERT_TRUE(device.Command(command, &reply)) << reply;
  }

  std::vector<ScanRecord> Records() {
    TMemoryStream *data = link_->GetScanData();
    std::vector<ScanRecord> records;
    if (data == nullptr)
      return records;
    EXPECT_EQ(data->Position(), data->Size());
    EXPECT_TRUE(ParseScanData(static_cast<const unsigned char *>(data->Memory()),
                              static_cast<size_t>(data->Size()), &records));
    return records;
  }
};

std::vector<unsigned char> Kinds(const std::vector<ScanRecord> &records) {
  std::vector<unsigned char> kinds;
  for (const ScanRecord &record : records)
    kinds.push_back(record.kind);
  return kinds;
}

TEST_F(DeviceScan, OnePageArrivesRecordByRecord) {
  const standin::Bitmap page = PatternPage(60, 11);
  StartWithDocument({page});
  ASSERT_TRUE(OpenLink());
  EXPECT_EQ(link_->GetStatus(), 5);
  ASSERT_EQ(link_->Scan(), 0);
  EXPECT_EQ(link_->GetPageCount(), 1);
  const std::vector<ScanRecord> records = Records();
  std::vector<unsigned char> kinds = {0xF2};
  kinds.insert(kinds.end(), 60, 0xF3);
  kinds.push_back(0xF6);
  EXPECT_EQ(Kinds(records), kinds);
  const auto pages = DecodeScanPages(records);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(pages[0] == Rows(page));
  // The records are stored as they came: the device's log counts them.
  ASSERT_TRUE(WaitLog("scan-end records=62"));
}

TEST_F(DeviceScan, SeveralPagesAreCountedAndEachLineKept) {
  const std::vector<standin::Bitmap> sources = {PatternPage(20, 1), PatternPage(33, 2),
                                                PatternPage(7, 3)};
  StartWithDocument(sources);
  ASSERT_TRUE(OpenLink());
  ASSERT_EQ(link_->Scan(), 0);
  EXPECT_EQ(link_->GetPageCount(), 3);
  const std::vector<ScanRecord> records = Records();
  std::vector<unsigned char> kinds = {0xF2};
  kinds.insert(kinds.end(), 20, 0xF3);
  kinds.push_back(0xF8);
  kinds.insert(kinds.end(), 33, 0xF3);
  kinds.push_back(0xF8);
  kinds.insert(kinds.end(), 7, 0xF3);
  kinds.push_back(0xF6);
  ASSERT_EQ(Kinds(records), kinds);
  const auto pages = DecodeScanPages(records);
  ASSERT_EQ(pages.size(), 3u);
  for (size_t i = 0; i < 3; ++i)
    EXPECT_TRUE(pages[i] == Rows(sources[i])) << "page " << i + 1;
  // The four parameter bytes are kept as sent (the header's second says
  // one record a line).
  EXPECT_EQ(records.front().payload, (Bytes{0, 1, 0, 0}));
  EXPECT_EQ(records.back().payload, (Bytes{0, 0, 0, 0}));
}

TEST_F(DeviceScan, ALaterScanStartsFromAnEmptyStream) {
  StartWithDocument({PatternPage(5, 4)});
  ASSERT_TRUE(OpenLink());
  ASSERT_EQ(link_->Scan(), 0);
  TMemoryStream *first = link_->GetScanData();
  ASSERT_NE(first, nullptr);
  EXPECT_GT(first->Size(), 0);
  // The document is gone: no reply to the command. One read of 3 bytes.
  EXPECT_EQ(link_->Scan(), 3);
  EXPECT_EQ(link_->GetScanData(), first); // the same stream, emptied
  EXPECT_EQ(first->Size(), 0);
  EXPECT_EQ(first->Position(), 0);
  EXPECT_EQ(link_->GetPageCount(), 0);
}

TEST_F(DeviceScan, WithoutPortGivesOneAndAnEmptyStream) {
  StartWithDocument({PatternPage(5, 4)});
  EXPECT_EQ(link_->Scan(), 1);
  ASSERT_NE(link_->GetScanData(), nullptr);
  EXPECT_EQ(link_->GetScanData()->Size(), 0);
  EXPECT_EQ(CountLog("scan pages="), 0);
  EXPECT_EQ(CountLog("scan reply="), 0);
}

struct ScanFaultCase {
  const char *name;
  const char *fault;
  int result;
  size_t kept; // records in the stream
};

void PrintTo(const ScanFaultCase &c, std::ostream *out) { *out << c.name; }

class DeviceScanFaults : public DeviceScan, public testing::WithParamInterface<ScanFaultCase> {};

// A page of 10 lines: record 1 is the header, 2 to 11 the lines.
TEST_P(DeviceScanFaults, EndTheTransferWithTheirCode) {
  const ScanFaultCase &c = GetParam();
  StartWithDocument({PatternPage(10, 5)});
  ASSERT_TRUE(Device().Command(c.fault));
  ASSERT_TRUE(OpenLink());
  EXPECT_EQ(link_->Scan(), c.result);
  const std::vector<ScanRecord> records = Records();
  EXPECT_EQ(records.size(), c.kept);
  for (size_t i = 0; i < records.size(); ++i)
    EXPECT_EQ(records[i].kind, i == 0 ? 0xF2 : 0xF3) << "record " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DeviceScanFaults,
    testing::Values(ScanFaultCase{"StrayByte", "fault stray-byte 3", 5, 2},
                    ScanFaultCase{"UnknownKind", "fault unknown-record 4", 4, 3},
                    ScanFaultCase{"SilenceBeforeRecord", "fault silent-after-record 2", 6, 2},
                    ScanFaultCase{"UnpluggedBeforeRecord", "fault unplug-after-record 5", 6, 5},
                    ScanFaultCase{"NoReplyToCommand", "fault scan-silent 1", 3, 0}),
    [](const testing::TestParamInfo<ScanFaultCase> &info) { return info.param.name; });

// A line that stays short: the bytes that came are kept after FE F3 n, and
// the transfer fails once the device has been silent for a record's
// time-out, not after the line's hundred reads.
TEST_F(DeviceScan, ShortLineKeepsThePartialBytes) {
  StartWithDocument({PatternPage(10, 6)});
  ASSERT_TRUE(Device().Command("fault short-line 2 1"));
  ASSERT_TRUE(OpenLink());
  EXPECT_EQ(link_->Scan(), 6);
  const std::vector<ScanRecord> records = Records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].kind, 0xF2);
  EXPECT_EQ(records[1].kind, 0xF3);
  const ScanRecord &last = records[2];
  EXPECT_EQ(last.kind, 0xF3);
  ASSERT_GT(last.announced, 0);
  EXPECT_EQ(static_cast<int>(last.payload.size()), last.announced - 1);
  ASSERT_TRUE(WaitLog("fault short-line fired record=3"));
}

// ---- exact records, with the device played by hand --------------------------

struct ScanWireCase {
  const char *name;
  Bytes records; // what the device sends after its F7 00 00
  int pageCount;
};

void PrintTo(const ScanWireCase &c, std::ostream *out) { *out << c.name; }

Bytes LongestLine() {
  Bytes records = {0xFE, 0xF2, 0, 1, 0, 0, 0xFE, 0xF3, 0xFF};
  for (int i = 0; i < 255; ++i)
    records.push_back(static_cast<unsigned char>(1 + i % 254));
  records.insert(records.end(), {0xFE, 0xF6, 9, 8, 7, 6});
  return records;
}

class ScanWire : public testing::TestWithParam<ScanWireCase> {
protected:
  TempMachineRoot root_;
  FakePort port_{"COM6"};
};

// Every record is stored as it came off the wire, nothing between them.
TEST_P(ScanWire, StoresTheRecordsAsTheyCame) {
  const ScanWireCase &c = GetParam();
  ASSERT_TRUE(port_.Ok());
  TUSB_kv8m link;
  ASSERT_EQ(link.Open("COM6", 19200, 0), 0);
  Bytes sent = {0xF7, 0x12, 0x34};
  sent.insert(sent.end(), c.records.begin(), c.records.end());
  ASSERT_TRUE(port_.Send(sent));
  EXPECT_EQ(link.Scan(), 0);
  EXPECT_EQ(port_.Receive(5), (Bytes{0xFE, 0xF7, 0x00, 0x00, 0x00}));
  EXPECT_EQ(link.GetPageCount(), c.pageCount);
  TMemoryStream *data = link.GetScanData();
  ASSERT_NE(data, nullptr);
  const unsigned char *stored = static_cast<const unsigned char *>(data->Memory());
  EXPECT_EQ(Bytes(stored, stored + data->Size()), c.records);
  EXPECT_EQ(data->Position(), data->Size());
}

INSTANTIATE_TEST_SUITE_P(
    Records, ScanWire,
    testing::Values(
        ScanWireCase{"EmptyLine",
                     {0xFE, 0xF2, 1, 2, 3, 4, 0xFE, 0xF3, 0x00, 0xFE, 0xF6, 5, 6, 7, 8},
                     1},
        // A second page header counts from one again.
        ScanWireCase{"SecondPageHeader",
                     {0xFE, 0xF2, 0, 0, 0, 0, 0xFE, 0xF8, 0, 0, 0, 0, 0xFE, 0xF8, 0, 0, 0, 0,
                      0xFE, 0xF2, 0, 0, 0, 0, 0xFE, 0xF6, 0, 0, 0, 0},
                     1},
        // The longest record: a line of 255 bytes.
        ScanWireCase{"LongestLine", LongestLine(), 1}),
    [](const testing::TestParamInfo<ScanWireCase> &info) { return info.param.name; });

// ---- a device that goes away in the middle of a line, played by hand -------

class ScanHangUp : public testing::Test {
protected:
  TempMachineRoot root_;
  FakePort port_{"COM6"};
};

TEST_F(ScanHangUp, LineCutOffByAVanishedDeviceEndsAtOnce) {
  ASSERT_TRUE(port_.Ok());
  // Kept on the heap: should Scan hang, the test gives up on it.
  TUSB_kv8m *link = new TUSB_kv8m;
  ASSERT_EQ(link->Open("COM6", 19200, 0), 0);
  // The reply and the records are there before the command goes out; the
  // line announces 10 bytes and only 7 come, then the line is dead.
  // Retrying a dead port a hundred times would take two minutes.
  ASSERT_TRUE(port_.Send({0xF7, 0x00, 0x00, 0xFE, 0xF2, 1, 2, 3, 4, 0xFE, 0xF3, 0x0A, 1, 2, 3, 4,
                          5, 6, 7}));
  auto result = std::make_shared<std::promise<int>>();
  std::future<int> scanned = result->get_future();
  std::thread([link, result] { result->set_value(link->Scan()); }).detach();
  EXPECT_EQ(port_.Receive(5), (Bytes{0xFE, 0xF7, 0x00, 0x00, 0x00}));
  port_.Receive(1, 1000); // let the host take what was sent
  port_.HangUp();
  if (scanned.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
    ADD_FAILURE() << "Scan kept reading a dead port";
    return;
  }
  EXPECT_EQ(scanned.get(), 6);
  std::vector<ScanRecord> records;
  TMemoryStream *data = link->GetScanData();
  ASSERT_NE(data, nullptr);
  ASSERT_TRUE(ParseScanData(static_cast<const unsigned char *>(data->Memory()),
                            static_cast<size_t>(data->Size()), &records));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].payload, (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(link->GetPageCount(), 1);
  EXPECT_EQ(records[1].announced, 10);
  EXPECT_EQ(records[1].payload, (Bytes{1, 2, 3, 4, 5, 6, 7}));
  delete link;
}

// ---- a device that falls silent, or a stop request, played by hand ---------

struct ScanQuietCase {
  const char *name;
  Bytes sent;     // what the device sends after its F7 00 00, then nothing
  bool stop;      // the stop flag is raised once the bytes are taken
  int result;
  Bytes lastLine; // FE F3 n and the bytes of the last record kept (empty: none)
};

void PrintTo(const ScanQuietCase &c, std::ostream *out) { *out << c.name; }

class ScanQuiet : public testing::TestWithParam<ScanQuietCase> {
protected:
  TempMachineRoot root_;
  FakePort port_{"COM6"};
};

// The port stays open and nothing more comes: the transfer ends once a
// line has brought nothing for a record's time-out (reading out a line's
// hundred reads would take minutes), and a raised stop flag ends it at its
// next read with its own code. The bound only catches a scan that hangs on.
TEST_P(ScanQuiet, EndsTheTransferWithoutWaitingOutTheLine) {
  const ScanQuietCase &c = GetParam();
  ASSERT_TRUE(port_.Ok());
  // Kept on the heap: should Scan hang, the test gives up on it.
  TUSB_kv8m *link = new TUSB_kv8m;
  auto stop = std::make_shared<std::atomic<bool>>(false);
  link->SetStop(stop.get());
  ASSERT_EQ(link->Open("COM6", 19200, 0), 0);
  Bytes sent = {0xF7, 0x00, 0x00, 0xFE, 0xF2, 1, 2, 3, 4};
  sent.insert(sent.end(), c.sent.begin(), c.sent.end());
  ASSERT_TRUE(port_.Send(sent));
  auto result = std::make_shared<std::promise<int>>();
  std::future<int> scanned = result->get_future();
  std::thread([link, result, stop] { result->set_value(link->Scan()); }).detach();
  EXPECT_EQ(port_.Receive(5), (Bytes{0xFE, 0xF7, 0x00, 0x00, 0x00}));
  port_.Receive(1, 1000); // let the host take what was sent
  if (c.stop)
    *stop = true;
  if (scanned.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
    ADD_FAILURE() << "Scan kept waiting for a silent device";
    return;
  }
  EXPECT_EQ(scanned.get(), c.result);
  TMemoryStream *data = link->GetScanData();
  ASSERT_NE(data, nullptr);
  const unsigned char *stored = static_cast<const unsigned char *>(data->Memory());
  Bytes expected = {0xFE, 0xF2, 1, 2, 3, 4};
  expected.insert(expected.end(), c.lastLine.begin(), c.lastLine.end());
  EXPECT_EQ(Bytes(stored, stored + data->Size()), expected);
  delete link;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanQuiet,
    testing::Values(
        ScanQuietCase{"SilentAfterTheFirstBytesOfALine",
                      {0xFE, 0xF3, 0x0A, 1, 2, 3, 4, 5, 6, 7}, false, TUSB_kv8m::kScanTimeout,
                      {0xFE, 0xF3, 0x0A, 1, 2, 3, 4, 5, 6, 7}},
        // The length is taken as 255, which no byte will fill.
        ScanQuietCase{"SilentBeforeTheLength", {0xFE, 0xF3}, false, TUSB_kv8m::kScanTimeout,
                      {0xFE, 0xF3, 0xFF}},
        ScanQuietCase{"StoppedWaitingForARecord", {}, true, TUSB_kv8m::kScanStopped, {}},
        ScanQuietCase{"StoppedInALine", {0xFE, 0xF3, 0x0A, 1, 2, 3}, true, TUSB_kv8m::kScanStopped, {}}),
    [](const testing::TestParamInfo<ScanQuietCase> &info) { return info.param.name; });

// A device that pauses in the middle of a line, for longer than one read
// waits but less than a record's time-out, still delivers the whole line.
TEST(ScanPause, APauseInALineIsWaitedOut) {
  TempMachineRoot root;
  FakePort port("COM6");
  ASSERT_TRUE(port.Ok());
  TUSB_kv8m link;
  ASSERT_EQ(link.Open("COM6", 19200, 0), 0);
  std::future<int> scanned = std::async(std::launch::async, [&link] { return link.Scan(); });
  EXPECT_EQ(port.Receive(5), (Bytes{0xFE, 0xF7, 0x00, 0x00, 0x00}));
  ASSERT_TRUE(port.Send({0xF7, 0x00, 0x00, 0xFE, 0xF2, 1, 2, 3, 4, 0xFE, 0xF3, 0x04, 9, 8}));
  std::this_thread::sleep_for(std::chrono::milliseconds(2000));
  ASSERT_TRUE(port.Send({7, 6, 0xFE, 0xF6, 1, 2, 3, 4}));
  ASSERT_EQ(scanned.wait_for(std::chrono::seconds(60)), std::future_status::ready);
  EXPECT_EQ(scanned.get(), TUSB_kv8m::kScanDone);
  TMemoryStream *data = link.GetScanData();
  ASSERT_NE(data, nullptr);
  const unsigned char *stored = static_cast<const unsigned char *>(data->Memory());
  EXPECT_EQ(Bytes(stored, stored + data->Size()),
            (Bytes{0xFE, 0xF2, 1, 2, 3, 4, 0xFE, 0xF3, 0x04, 9, 8, 7, 6, 0xFE, 0xF6, 1, 2, 3, 4}));
}

} // namespace
} // namespace linktest
