// The device stand-in as a real process on a real pseudo-terminal: plugging
// in, status replies, printing, scanning, faults and the control channel.
#include "DeviceHarness.h"

#include "HostLine.h"
#include "TempMachineRoot.h"

#include "machine/MachineRoot.h"

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DeviceIds.h"
#include "machine/FtdiBus.h"
#include "windows.h"

using standin::Bitmap;
using standin::DeviceOptions;
using standin::DeviceProcess;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr int kWaitMs = 15000;

Bytes Repeat(uint8_t value, size_t count) { return Bytes(count, value); }

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes joined;
    for (const Bytes &part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

const Bytes kStatusQuery = {0xFE, 0xF4, 0x00, 0x00, 0x00};
const Bytes kJobStart = {0xFE, 0xF0, 0x03, 0x00, 0x01, 0x01, 0x00, 0x00};
const Bytes kJobAck = {0xF0, 0x00, 0x00};
const Bytes kFrameAck = {0xF3, 0x00, 0x00};
const Bytes kEndOfPage = {0xFE, 0xF5, 0x00, 0x00, 0x00};
const Bytes kPageDone = {0xFE, 0xF6, 0x00, 0x00, 0x00, 0x00};
const Bytes kScanCommand = {0xFE, 0xF7, 0x00, 0x00, 0x00};

Bytes StatusReply(uint8_t status) { return {0xF4, 0, 0, 0, 0, 0, status, 0, 0}; }

// The frames of one page as the host cuts it: 216 data bytes each, the last
// padded with zero bytes.
std::vector<Bytes> Frames(const Bytes &page)
{
    std::vector<Bytes> frames;
    for (size_t offset = 0; offset < page.size(); offset += 216) {
        Bytes frame = {0xFE, 0xF3, 0xD8};
        size_t count = page.size() - offset < 216 ? page.size() - offset : 216;
        frame.insert(frame.end(), page.begin() + static_cast<long>(offset),
                     page.begin() + static_cast<long>(offset + count));
        frame.resize(3 + 216 + 2, 0);
        frames.push_back(frame);
    }
    return frames;
}

// A page coded as the printer codes it: every line in turn, one stream.
Bytes CodePage(const Bitmap &bitmap)
{
    Bytes code;
    for (int y = 0; y < bitmap.height; ++y)
        standin::EncodeZeroRun(bitmap.Row(y), bitmap.RowBytes(), &code);
    return code;
}

// A test image whose every line codes within one scan record.
Bitmap MakePage(int height, int seed)
{
    Bitmap bitmap;
    bitmap.height = height;
    bitmap.rows.assign(216 * static_cast<size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        uint8_t *row = bitmap.Row(y);
        switch ((y + seed) % 5) {
        case 0: break; // white
        case 1: std::fill(row, row + 216, 0xFF); break;
        case 2: row[(y * 7 + seed) % 216] = static_cast<uint8_t>(0x80 >> (y % 8)); break;
        case 3:
            for (int x = 0; x < 216; x += 3)
                row[x] = static_cast<uint8_t>(x + y + seed + 1);
            break;
        case 4: std::fill(row + 20, row + 120, static_cast<uint8_t>(0x0F + seed)); break;
        }
    }
    return bitmap;
}

bool RegistryPort(const std::string &serial, const std::string &instance, std::string *port)
{
    std::string key = machine::FtdiParametersKey(serial, instance, kDeviceVendorId, kDeviceProductId);
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    char value[64] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    LONG result = RegQueryValueExA(handle, "PortName", nullptr, &type, reinterpret_cast<BYTE *>(value), &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return false;
    *port = value;
    return true;
}

bool LinkPointsAt(const std::string &link, const std::string &target)
{
    char buffer[256] = {};
    ssize_t length = readlink(link.c_str(), buffer, sizeof buffer - 1);
    return length > 0 && target == buffer;
}

bool Exists(const std::string &path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

class StandIn : public ::testing::Test {
protected:
    void Start(const DeviceOptions &options = DeviceOptions())
    {
        device.reset(new DeviceProcess(options));
        ASSERT_TRUE(device->Started()) << device->Error();
        ASSERT_TRUE(host.Open(machine::PortLink(device->PortName())));
    }

    // Every run ends with a clean exit of the stand-in (under the sanitizers
    // that also means no leak and no fault in it).
    void TearDown() override
    {
        host.Close();
        if (device && device->Started()) {
            int status = device->Stop();
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
        }
        device.reset();
    }

    Bytes Status()
    {
        EXPECT_TRUE(host.Write(kStatusQuery));
        return host.Read(9);
    }

    // A job start, acknowledged.
    void StartJob()
    {
        ASSERT_TRUE(host.Write(kJobStart));
        ASSERT_EQ(host.Read(3), kJobAck);
    }

    // A data frame, acknowledged.
    void SendFrame(const Bytes &frame)
    {
        ASSERT_TRUE(host.Write(frame));
        ASSERT_EQ(host.Read(3), kFrameAck);
    }

    // Gives the stand-in `fault`, then starts a job with `firstFrame`.
    void StartFaultedJob(const std::string &fault, const Bytes &firstFrame)
    {
        std::string reply;
        ASSERT_TRUE(device->Command("fault " + fault, &reply)) << reply;
        ASSERT_NO_FATAL_FAILURE(StartJob());
        ASSERT_NO_FATAL_FAILURE(SendFrame(firstFrame));
    }

    // Job start, acknowledged frames, end of page: the page is printed.
    void PrintPage(const Bytes &code)
    {
        ASSERT_NO_FATAL_FAILURE(StartJob());
        for (const Bytes &frame : Frames(code))
            ASSERT_NO_FATAL_FAILURE(SendFrame(frame));
        ASSERT_TRUE(host.Write(kEndOfPage));
        ASSERT_EQ(host.Read(6), kPageDone);
    }

    std::string WritePage(const char *name, const Bitmap &bitmap)
    {
        std::string path = root.Path() + "/" + name;
        EXPECT_TRUE(standin::WritePbm(path, bitmap));
        return path;
    }

    testsupport::TempMachineRoot root;
    std::unique_ptr<DeviceProcess> device;
    HostLine host;
};

// The next reply after a request that got none must be whole: nothing of a
// reply was sent in between.
#define EXPECT_NOTHING_SENT_BEFORE_NEXT_STATUS(expected)                                                      \
    do {                                                                                                      \
        std::string ignored;                                                                                  \
        ASSERT_TRUE(device->Command("state ready", &ignored));                                               \
        EXPECT_EQ(Status(), StatusReply(expected));                                                           \
    } while (0)

} // namespace

TEST_F(StandIn, PlugsInOnStartAndUnplugsOnCommandAndExit)
{
    DeviceOptions options;
    options.port = "COM7";
    options.serial = "ARV0042";
    options.instance = "0001";
    Start(options);
    const std::string link = machine::PortLink("COM7");
    EXPECT_TRUE(LinkPointsAt(link, device->TtyPath()));
    std::string port;
    ASSERT_TRUE(RegistryPort("ARV0042", "0001", &port));
    EXPECT_EQ(port, "COM7");

    std::string reply;
    ASSERT_TRUE(device->Command("unplug", &reply)) << reply;
    EXPECT_FALSE(Exists(link));
    EXPECT_FALSE(RegistryPort("ARV0042", "0001", &port));
    // Unplugged, the port already open hears nothing.
    ASSERT_TRUE(host.Write(kStatusQuery));
    ASSERT_TRUE(device->WaitForLog("status state=ready reply=none", kWaitMs));

    ASSERT_TRUE(device->Command("plug", &reply)) << reply;
    EXPECT_TRUE(LinkPointsAt(link, device->TtyPath()));
    EXPECT_TRUE(RegistryPort("ARV0042", "0001", &port));
    EXPECT_EQ(Status(), StatusReply(0x00));

    int status = device->Stop();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(Exists(link));
    EXPECT_FALSE(RegistryPort("ARV0042", "0001", &port));
}

TEST_F(StandIn, AnswersTheStatusQueryForEachState)
{
    const struct {
        const char *state;
        uint8_t status;
    } cases[] = {
        {"ready", 0x00}, {"busy", 0x01}, {"error", 0x07}, {"document", 0x80},
        {"0x90", 0x90},  {"0x05", 0x05}, {"0xff", 0xFF},
    };
    Start();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.state);
        std::string reply;
        ASSERT_TRUE(device->Command(std::string("state ") + c.state, &reply)) << reply;
        EXPECT_EQ(Status(), StatusReply(c.status));
    }
    EXPECT_TRUE(device->WaitForLog("status state=document reply=80", kWaitMs));
}

TEST_F(StandIn, StartsInTheStateAskedForAndServesPaced)
{
    DeviceOptions options;
    options.state = "error";
    options.paced = true;
    Start(options);
    EXPECT_EQ(Status(), StatusReply(0x07));
    std::string reply;
    ASSERT_TRUE(device->Command("state ready", &reply));
    Bitmap page = MakePage(12, 7);
    PrintPage(CodePage(page));
    ASSERT_EQ(device->PagePaths().size(), 1u);
    Bitmap back;
    ASSERT_TRUE(standin::ReadPbm(device->PagePaths()[0], &back));
    EXPECT_EQ(back.rows, page.rows);
}

TEST_F(StandIn, SilentStateAndShortStatusReply)
{
    Start();
    std::string reply;
    ASSERT_TRUE(device->Command("state silent", &reply));
    ASSERT_TRUE(host.Write(kStatusQuery));
    ASSERT_TRUE(device->WaitForLog("status state=silent reply=none", kWaitMs));
    EXPECT_NOTHING_SENT_BEFORE_NEXT_STATUS(0x00);

    ASSERT_TRUE(device->Command("state busy", &reply));
    ASSERT_TRUE(device->Command("fault short-status 2", &reply)) << reply;
    EXPECT_EQ(Status(), StatusReply(0x01));
    ASSERT_TRUE(host.Write(kStatusQuery));
    EXPECT_EQ(host.Read(4), Bytes({0xF4, 0, 0, 0}));
    ASSERT_TRUE(device->WaitForLog("status state=busy reply=short", kWaitMs));
    EXPECT_NOTHING_SENT_BEFORE_NEXT_STATUS(0x00);
}

TEST_F(StandIn, PrintsCodedPagesIntoPbmFiles)
{
    const struct {
        const char *name;
        Bytes code;
        Bytes plain; // the page's lines, before padding
    } cases[] = {
        {"two rows", {0x80, 0x00, 0xD5, 0x00, 0x02, 0x40, 0x00, 0xD7},
         Join({{0x80}, Repeat(0, 215), {0x40}, Repeat(0, 215)})},
        // A run's 00 at the end of the first frame takes its count from the
        // second frame.
        {"run across frames", Join({Repeat(0x11, 215), {0x00, 0x05}, {0x22}}),
         Join({Repeat(0x11, 215), Repeat(0, 5), {0x22}})},
        {"partial last line", {0x01, 0x02, 0x03}, {0x01, 0x02, 0x03}},
        {"minimum size padding", Join({{0x55, 0x00, 0xD7}, Repeat(0, 2590)}), Join({{0x55}, Repeat(0, 215)})},
        {"no data", {}, {}},
    };
    Start();
    int page = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PrintPage(c.code);
        ++page;
        std::vector<std::string> paths = device->PagePaths();
        ASSERT_EQ(paths.size(), static_cast<size_t>(page));
        Bitmap bitmap;
        ASSERT_TRUE(standin::ReadPbm(paths.back(), &bitmap));
        EXPECT_EQ(bitmap.width, 1728);
        EXPECT_EQ(bitmap.height, static_cast<int>((c.plain.size() + 215) / 216));
        Bytes expected = c.plain;
        expected.resize(static_cast<size_t>(bitmap.height) * 216, 0);
        EXPECT_EQ(bitmap.rows, expected);
        EXPECT_EQ(device->CountInLog("end-of-page page=" + std::to_string(page) + " "), 1);
    }
    std::string reply;
    ASSERT_TRUE(device->Command("pages", &reply));
    EXPECT_EQ(reply, "ok " + std::to_string(page));
    EXPECT_EQ(device->CountInLog("job a=0 b=1 c=1"), page);
}

TEST_F(StandIn, PrintsAWholeImageAndNumbersPagesInOrder)
{
    Start();
    Bitmap first = MakePage(300, 1), second = MakePage(57, 2);
    PrintPage(CodePage(first));
    PrintPage(CodePage(second));
    std::vector<std::string> paths = device->PagePaths();
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_NE(paths[0].find("page-0001.pbm"), std::string::npos);
    Bitmap back;
    ASSERT_TRUE(standin::ReadPbm(paths[0], &back));
    EXPECT_EQ(back.height, first.height);
    EXPECT_EQ(back.rows, first.rows);
    ASSERT_TRUE(standin::ReadPbm(paths[1], &back));
    EXPECT_EQ(back.rows, second.rows);
    EXPECT_TRUE(device->WaitForLog("end-of-page page=2 frames=", kWaitMs));
}

TEST_F(StandIn, NewJobStartDiscardsAnUnfinishedPage)
{
    Start();
    ASSERT_NO_FATAL_FAILURE(StartJob());
    ASSERT_NO_FATAL_FAILURE(SendFrame(Frames(Repeat(0x77, 216))[0]));
    // The host gave up and sends the page again from its start.
    Bitmap page = MakePage(20, 3);
    PrintPage(CodePage(page));
    EXPECT_EQ(device->CountInLog("discarded page=1 frames=1"), 1);
    ASSERT_EQ(device->PagePaths().size(), 1u);
    Bitmap back;
    ASSERT_TRUE(standin::ReadPbm(device->PagePaths()[0], &back));
    EXPECT_EQ(back.rows, page.rows);
}

TEST_F(StandIn, EndOfPageFaultsFailThePage)
{
    const struct {
        const char *fault;
        Bytes reply; // empty: none
    } cases[] = {
        {"eop-status", {0xFE, 0xF6, 0x00, 0x01, 0x00, 0x00}},
        {"eop-kind", {0xFE, 0xF7, 0x00, 0x00, 0x00, 0x00}},
        {"eop-silent", {}},
    };
    Start();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fault);
        ASSERT_NO_FATAL_FAILURE(StartFaultedJob(c.fault, Frames({0x12, 0x34})[0]));
        ASSERT_TRUE(host.Write(kEndOfPage));
        if (!c.reply.empty()) {
            EXPECT_EQ(host.Read(c.reply.size()), c.reply);
        }
        ASSERT_TRUE(device->WaitForLog(std::string("fault ") + c.fault + " fired", kWaitMs));
        EXPECT_NOTHING_SENT_BEFORE_NEXT_STATUS(0x00);
        EXPECT_TRUE(device->PagePaths().empty());
    }
    // The fault fired once; the next page prints.
    PrintPage({0x12, 0x34});
    EXPECT_EQ(device->PagePaths().size(), 1u);
}

TEST_F(StandIn, DataFrameFaults)
{
    Start();
    const Bytes page = Repeat(0x5A, 216 * 3);
    const std::vector<Bytes> frames = Frames(page);
    std::string reply;

    // drop-ack 2: the second frame is not acknowledged, the third is.
    ASSERT_NO_FATAL_FAILURE(StartFaultedJob("drop-ack 2", frames[0]));
    ASSERT_TRUE(host.Write(frames[1]));
    ASSERT_TRUE(device->WaitForLog("fault drop-ack fired frame=2", kWaitMs));
    ASSERT_TRUE(host.Write(frames[2]));
    EXPECT_EQ(host.Read(3), kFrameAck);

    // silent-after-frame 1: that frame is acknowledged, then nothing is.
    ASSERT_NO_FATAL_FAILURE(StartFaultedJob("silent-after-frame 1", frames[0]));
    ASSERT_TRUE(host.Write(frames[1]));
    ASSERT_TRUE(device->WaitForLog("frame page=1 index=2 reply=none", kWaitMs));
    EXPECT_NOTHING_SENT_BEFORE_NEXT_STATUS(0x00);

    // unplug-after-frame 2: the second frame's acknowledgement still comes,
    // then the device is gone from the machine.
    ASSERT_NO_FATAL_FAILURE(StartFaultedJob("unplug-after-frame 2", frames[0]));
    ASSERT_NO_FATAL_FAILURE(SendFrame(frames[1]));
    ASSERT_TRUE(device->WaitForLog("unplugged port=COM3", kWaitMs));
    EXPECT_FALSE(Exists(machine::PortLink("COM3")));
    ASSERT_TRUE(device->Command("plug", &reply));
    EXPECT_EQ(Status(), StatusReply(0x00));
    EXPECT_TRUE(device->PagePaths().empty());
}

TEST_F(StandIn, BusyAfterPageStaysBusyUntilTold)
{
    Start();
    std::string reply;
    ASSERT_TRUE(device->Command("fault busy-after-page", &reply)) << reply;
    PrintPage({0x01});
    EXPECT_EQ(Status(), StatusReply(0x01));
    EXPECT_EQ(Status(), StatusReply(0x01));
    ASSERT_TRUE(device->Command("state ready", &reply));
    EXPECT_EQ(Status(), StatusReply(0x00));
}

namespace {

struct Record {
    uint8_t kind = 0;
    Bytes payload;
};

// Reads one scan record as the host does: FE, the kind, then four parameter
// bytes or a length byte and the line.
bool ReadRecord(HostLine &host, Record *record)
{
    Bytes head = host.Read(2);
    if (head.size() != 2 || head[0] != 0xFE)
        return false;
    record->kind = head[1];
    if (record->kind == 0xF3) {
        Bytes length = host.Read(1);
        if (length.size() != 1)
            return false;
        record->payload = host.Read(length[0]);
        return record->payload.size() == length[0];
    }
    record->payload = host.Read(4);
    return record->payload.size() == 4;
}

// The pages of a scan, each line decoded and padded to 216 bytes as the
// host reads it.
std::vector<Bitmap> ReadScan(HostLine &host, std::vector<Record> *records)
{
    std::vector<Bitmap> pages;
    Record record;
    while (ReadRecord(host, &record)) {
        records->push_back(record);
        if (record.kind == 0xF2 || record.kind == 0xF8) {
            pages.emplace_back();
        } else if (record.kind == 0xF3 && !pages.empty()) {
            Bytes line = standin::DecodeZeroRun(record.payload.data(), record.payload.size());
            line.resize(216, 0);
            pages.back().rows.insert(pages.back().rows.end(), line.begin(), line.end());
            ++pages.back().height;
        } else if (record.kind == 0xF6) {
            break;
        }
    }
    return pages;
}

} // namespace

TEST_F(StandIn, ScansADocumentRecordByRecord)
{
    Bitmap first = MakePage(120, 4), second = MakePage(33, 5);
    DeviceOptions options;
    options.scanPages = {WritePage("one.pbm", first), WritePage("two.pbm", second)};
    Start(options);
    EXPECT_EQ(Status(), StatusReply(0x80));

    ASSERT_TRUE(host.Write(kScanCommand));
    Bytes answer = host.Read(3);
    ASSERT_EQ(answer.size(), 3u);
    EXPECT_EQ(answer[0], 0xF7);
    std::vector<Record> records;
    std::vector<Bitmap> pages = ReadScan(host, &records);
    ASSERT_EQ(records.size(), 1 + 120 + 1 + 33 + 1u);
    EXPECT_EQ(records.front().kind, 0xF2);
    EXPECT_EQ(records.front().payload, Bytes({0x00, 0x01, 0x00, 0x00})); // one record a line
    EXPECT_EQ(records[121].kind, 0xF8);
    EXPECT_EQ(records.back().kind, 0xF6);
    EXPECT_EQ(records.back().payload, Bytes({0, 0, 0, 0}));
    for (const Record &record : records)
        EXPECT_LE(record.payload.size(), 255u);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].rows, first.rows);
    EXPECT_EQ(pages[1].rows, second.rows);

    // The document is gone after the scan.
    EXPECT_EQ(Status(), StatusReply(0x00));
    ASSERT_TRUE(device->WaitForLog("scan-end records=156", kWaitMs));
    ASSERT_TRUE(host.Write(kScanCommand));
    ASSERT_TRUE(device->WaitForLog("scan reply=none reason=no-document", kWaitMs));
    EXPECT_NOTHING_SENT_BEFORE_NEXT_STATUS(0x00);
}

TEST_F(StandIn, KeepsTheDocumentAndScansAtStandardResolution)
{
    Bitmap page = MakePage(41, 6);
    Start();
    std::string reply;
    ASSERT_TRUE(device->Command("scan " + WritePage("page.pbm", page), &reply)) << reply;
    ASSERT_TRUE(device->Command("keep on", &reply));
    ASSERT_TRUE(device->Command("resolution standard", &reply));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(Status(), StatusReply(0x80));
        ASSERT_TRUE(host.Write(kScanCommand));
        ASSERT_EQ(host.Read(3).size(), 3u);
        std::vector<Record> records;
        std::vector<Bitmap> pages = ReadScan(host, &records);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(records.front().payload[1], 0x00); // the host doubles every line
        ASSERT_EQ(pages[0].height, 21);
        for (int y = 0; y < 21; ++y)
            EXPECT_EQ(Bytes(pages[0].Row(y), pages[0].Row(y) + 216), Bytes(page.Row(2 * y), page.Row(2 * y) + 216));
    }
}

TEST_F(StandIn, ScanFaultsEndTheTransferWhereAsked)
{
    const struct {
        const char *fault;
        int recordsBefore; // whole records the host gets first
        Bytes tail;        // bytes that follow them
    } cases[] = {
        {"stray-byte 3", 2, {0x00}},
        {"unknown-record 2", 1, {0xFE, 0xF4}},
        {"silent-after-record 4", 4, {}},
        {"scan-silent", -1, {}},
    };
    Bitmap page = MakePage(10, 1); // line 1 is all black: FE F3 D8 + 216 x FF
    for (const auto &c : cases) {
        SCOPED_TRACE(c.fault);
        DeviceOptions options;
        options.scanPages = {WritePage("page.pbm", page)};
        Start(options);
        std::string reply;
        ASSERT_TRUE(device->Command(std::string("fault ") + c.fault, &reply)) << reply;
        ASSERT_TRUE(host.Write(kScanCommand));
        if (c.recordsBefore >= 0) {
            ASSERT_EQ(host.Read(3).size(), 3u);
            Record record;
            for (int i = 0; i < c.recordsBefore; ++i)
                ASSERT_TRUE(ReadRecord(host, &record)) << i;
            if (!c.tail.empty()) {
                EXPECT_EQ(host.Read(c.tail.size()), c.tail);
            }
            ASSERT_TRUE(device->WaitForLog("scan-abandoned", kWaitMs));
        }
        std::string fault = c.fault;
        ASSERT_TRUE(device->WaitForLog("fault " + fault.substr(0, fault.find(' ')) + " fired", kWaitMs));
        // Nothing more of the scan follows; the document is still there.
        ASSERT_TRUE(device->Command("state document", &reply));
        EXPECT_EQ(Status(), StatusReply(0x80));
        host.Close();
        int status = device->Stop();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
        device.reset();
    }
}

TEST_F(StandIn, ShortLineAnnouncesMoreThanItSends)
{
    Bitmap page = MakePage(5, 1); // line 0 is all black: 216 bytes of code
    DeviceOptions options;
    options.scanPages = {WritePage("page.pbm", page)};
    Start(options);
    std::string reply;
    ASSERT_TRUE(device->Command("fault short-line 1 3", &reply)) << reply;
    ASSERT_TRUE(host.Write(kScanCommand));
    ASSERT_EQ(host.Read(3).size(), 3u);
    Record header;
    ASSERT_TRUE(ReadRecord(host, &header));
    EXPECT_EQ(host.Read(3), Bytes({0xFE, 0xF3, 0xD8}));
    EXPECT_EQ(host.Read(213), Repeat(0xFF, 213));
    ASSERT_TRUE(device->WaitForLog("fault short-line fired record=2 length=216 sent=213", kWaitMs));
    ASSERT_TRUE(device->WaitForLog("scan-abandoned", kWaitMs));
    EXPECT_EQ(Status(), StatusReply(0x80));
}

TEST_F(StandIn, UnplugInTheMiddleOfAScan)
{
    DeviceOptions options;
    options.scanPages = {WritePage("page.pbm", MakePage(30, 2))};
    Start(options);
    std::string reply;
    ASSERT_TRUE(device->Command("fault unplug-after-record 5", &reply)) << reply;
    ASSERT_TRUE(host.Write(kScanCommand));
    ASSERT_EQ(host.Read(3).size(), 3u);
    Record record;
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(ReadRecord(host, &record)) << i;
    ASSERT_TRUE(device->WaitForLog("unplugged port=COM3", kWaitMs));
    EXPECT_FALSE(Exists(machine::PortLink("COM3")));
    ASSERT_TRUE(host.Write(kStatusQuery));
    ASSERT_TRUE(device->WaitForLog("status state=document reply=none", kWaitMs));
    ASSERT_TRUE(device->Command("plug", &reply));
    EXPECT_EQ(Status(), StatusReply(0x80));
}

TEST_F(StandIn, ServesAcrossHostClosesAndReopens)
{
    Start();
    const std::string link = machine::PortLink(device->PortName());
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        host.Close();
        ASSERT_TRUE(host.Open(link));
        EXPECT_EQ(Status(), StatusReply(0x00));
        if (round == 2)
            PrintPage({0x42});
    }
    host.Close();
    ASSERT_TRUE(host.Open(link));
    EXPECT_EQ(Status(), StatusReply(0x00));
    EXPECT_EQ(device->PagePaths().size(), 1u);
}

TEST_F(StandIn, ResynchronisesAfterNoiseAndIncompleteFrames)
{
    Start();
    // Bytes outside any frame, and FE before a byte that starts none.
    ASSERT_TRUE(host.Write({0x12, 0x34, 0xFE, 0x99}));
    EXPECT_EQ(Status(), StatusReply(0x00));
    EXPECT_TRUE(device->WaitForLog("unknown count=4 bytes=12 34 FE 99", kWaitMs));

    // A data frame cut short (a host that gave up and closed) is dropped
    // after a quiet gap, and the next query is answered.
    ASSERT_TRUE(host.Write(Join({{0xFE, 0xF3, 0xD8}, Repeat(0x33, 40)})));
    ASSERT_TRUE(device->WaitForLog("incomplete count=43", kWaitMs));
    EXPECT_EQ(Status(), StatusReply(0x00));
}

TEST_F(StandIn, ControlCommandsAnswerEveryLine)
{
    Start();
    std::string wide = root.Path() + "/wide.pbm";
    Bitmap narrow;
    narrow.width = 100;
    narrow.height = 1;
    narrow.rows.assign(13, 0);
    ASSERT_TRUE(standin::WritePbm(wide, narrow));
    const struct {
        std::string command;
        bool ok;
        const char *answer; // the start of the answer
    } cases[] = {
        {"ping", true, "ok"},
        {"state 0x90", true, "ok state 0x90"},
        {"state 0x80", true, "ok state document"},
        {"state sleepy", false, "error unknown state"},
        {"state 0x100", false, "error"},
        {"fault drop-ack 3", true, "ok fault drop-ack 3"},
        {"fault", true, "ok drop-ack=3"},
        {"fault clear", true, "ok"},
        {"fault", true, "ok none"},
        {"fault melt", false, "error unknown fault"},
        {"fault drop-ack 0", false, "error"},
        {"fault drop-ack x", false, "error"},
        {"scan", false, "error"},
        {"scan " + root.Path() + "/missing.pbm", false, "error cannot read"},
        {"scan " + wide, false, "error not 1728 dots wide"},
        {"keep maybe", false, "error"},
        {"pages", true, "ok 0"},
        {"tty", true, "ok /dev/"},
        {"info", true, "ok state=document plugged=yes pages=0"},
        {"mark step two", true, "ok"},
        {"dance", false, "error unknown command"},
        {"", false, "error"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.command);
        std::string reply;
        EXPECT_EQ(device->Command(c.command, &reply), c.ok);
        EXPECT_EQ(reply.compare(0, strlen(c.answer), c.answer), 0) << reply;
    }
    EXPECT_EQ(device->CountInLog("\nmark step two\n"), 1);
    std::string reply;
    ASSERT_TRUE(device->Command("quit", &reply));
    int status = device->Stop();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(StandInStart, ReportsAStartThatFails)
{
    testsupport::TempMachineRoot root;
    DeviceOptions options;
    options.state = "sleepy";
    DeviceProcess device(options);
    EXPECT_FALSE(device.Started());
    EXPECT_FALSE(device.Error().empty());
}
