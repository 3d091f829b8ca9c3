// The road of a scan: Scan clicked with a document in the device, the
// texts while it runs, the file saved as "image_" N ".tmp", recoded by the
// real tiffcp to a Group 3 ".tif" that holds the document's dots, and
// opened; and a scan that fails on the way.
#include <gtest/gtest.h>

#include <filesystem>

#include "FileContents.h"
#include "FormPilot.h"
#include "ScannerRun.h"
#include "TiffPages.h"
#include "machine/MachineRoot.h"

namespace scanner_program_test {
namespace {

constexpr int kBlock = 475200;

class ScanTest : public ScannerRunTest {
protected:
    // The destination folder the program finds in config.inc.
    void UseDestination(const std::string &folder)
    {
        std::filesystem::create_directories(UnixPath(folder));
        ASSERT_TRUE(testsupport::WriteText(UnixPath(machine::kTempDir) + "/config.inc", folder));
    }

    // Clicks Scan once it is enabled.
    void ClickScan()
    {
        ASSERT_TRUE(WaitForStatus(13)) << Status();
        ASSERT_TRUE(Form()->ScanBut->Enabled());
        classlib_testing::TFormPilot user;
        user.Click(Form()->ScanBut);
    }

    // The scanned file's pages against the document's.
    void ExpectScanOf(const std::string &tif, const std::vector<pbm::Image> &document)
    {
        std::vector<tiffpages::Page> pages;
        std::string why;
        ASSERT_TRUE(tiffpages::ReadPages(tif, FRoot.Scratch("decoded"), &pages, &why)) << why;
        ASSERT_EQ(pages.size(), document.size());
        for (size_t i = 0; i < pages.size(); ++i) {
            EXPECT_EQ(pages[i].compression, tiffpages::kCompressionGroup3) << "page " << i;
            EXPECT_TRUE(pages[i].t4Options <= 0 || (pages[i].t4Options & 1) == 0) << "two-dimensional coding";
            EXPECT_EQ(pages[i].image.width, 1728);
            EXPECT_EQ(pages[i].image.height, 2200);
            EXPECT_EQ(pages[i].xResolution, 204);
            EXPECT_EQ(pages[i].yResolution, 196);
            EXPECT_EQ(tiffpages::CompareWithDocument(pages[i].image, document[i]), "") << "page " << i;
        }
    }
};

TEST_F(ScanTest, ScanClickedSavesTheDocumentAsGroup3)
{
    UseDestination("C:\\Scans");
    const std::vector<pbm::Image> document = {DocumentPage(11, 300)};
    standin::DeviceOptions options;
    options.scanPages = WriteDocument(document);
    options.paced = true; // a scan that lasts long enough to show its text
    StartDevice(options);
    StartScanner();
    ClickScan();
    EXPECT_FALSE(Form()->ScanBut->Enabled());
    EXPECT_FALSE(Form()->DestBut->Enabled());
    EXPECT_FALSE(PollTimer()->Enabled());

    ASSERT_TRUE(WaitForStatus(15, 60000)) << Status();
    const std::string tif = UnixPath("C:\\Scans\\image_0.tif");
    ASSERT_TRUE(WaitUntil([&] { return Opened() == "C:\\Scans\\image_0.tif\n"; }, 30000)) << Opened();
    EXPECT_EQ(Explored(), "");
    const std::vector<std::string> shown = TakeShown();
    auto at = [&](int id) { return std::find(shown.begin(), shown.end(), Expected(id)) - shown.begin(); };
    EXPECT_LT(at(13), at(14));
    EXPECT_LT(at(14), at(15));
    EXPECT_LT(at(15), static_cast<long>(shown.size()));

    EXPECT_EQ(std::filesystem::file_size(UnixPath("C:\\Scans\\image_0.tmp")), 2u * kBlock);
    ExpectScanOf(tif, document);
    EXPECT_EQ(Device().CountInLog("clipped"), 0);

    // The device took the document: the next poll, a second later, says so.
    ASSERT_TRUE(WaitForStatus(8, 5000)) << Status();
    EXPECT_FALSE(Form()->ScanBut->Enabled());
    EXPECT_TRUE(Form()->DestBut->Enabled());
    EXPECT_EQ(State(), TMain::kStateIdle);
    EXPECT_EQ(PollTimer()->Interval(), 1000);
    EXPECT_TRUE(PollTimer()->Enabled());
}

TEST_F(ScanTest, ScansOfSeveralPagesTakeTheNextFreeNumber)
{
    UseDestination("C:\\My Scans");
    ASSERT_TRUE(testsupport::WriteText(UnixPath("C:\\My Scans\\image_0.tif"), "an earlier scan"));
    const std::vector<pbm::Image> document = {DocumentPage(21, 120), DocumentPage(22, 2200), DocumentPage(23, 7)};
    standin::DeviceOptions options;
    options.scanPages = WriteDocument(document);
    StartDevice(options);
    StartScanner();
    ClickScan();

    ASSERT_TRUE(WaitUntil([&] { return !Opened().empty(); }, 60000));
    EXPECT_EQ(Opened(), "C:\\My Scans\\image_1.tif\n");
    EXPECT_EQ(testsupport::ReadText(UnixPath("C:\\My Scans\\image_0.tif")), "an earlier scan");
    EXPECT_EQ(std::filesystem::file_size(UnixPath("C:\\My Scans\\image_1.tmp")), 4u * kBlock);
    ExpectScanOf(UnixPath("C:\\My Scans\\image_1.tif"), document);
}

TEST_F(ScanTest, FailedScanSavesNothing)
{
    UseDestination("C:\\Scans");
    standin::DeviceOptions options;
    options.scanPages = WriteDocument({DocumentPage(31, 40)});
    StartDevice(options);
    ASSERT_TRUE(Device().Command("fault unknown-record 10"));
    StartScanner();
    ClickScan();

    ASSERT_TRUE(WaitForStatus(18, 30000)) << Status();
    // The document stays in the device; the next poll shows it again.
    ASSERT_TRUE(WaitForStatus(13, 5000)) << Status();
    EXPECT_TRUE(Form()->ScanBut->Enabled());
    EXPECT_TRUE(std::filesystem::is_empty(UnixPath("C:\\Scans")));
    EXPECT_EQ(Opened(), "");
    EXPECT_EQ(Explored(), "");
}

// A scan with no folder to save in is not reported as done: nothing is
// written anywhere, and the scan shows as failed.
TEST_F(ScanTest, NoDestinationFailsTheScan)
{
    standin::DeviceOptions options;
    options.scanPages = WriteDocument({DocumentPage(35, 40)});
    StartDevice(options);
    StartScanner();
    Thread()->SetDestination("");
    ClickScan();

    ASSERT_TRUE(WaitForStatus(18, 30000)) << Status();
    EXPECT_FALSE(std::filesystem::exists(UnixPath("\\image_0.tmp")));
    EXPECT_FALSE(std::filesystem::exists(UnixPath("\\image_0.tif")));
    EXPECT_EQ(Opened(), "");
    EXPECT_EQ(Explored(), "");
}

// The device falls silent in the middle of a line, its port still open: the
// scan fails at once instead of waiting out the line's hundred reads (two
// minutes here); the bound only catches a scan that hangs on.
TEST_F(ScanTest, DeviceSilentInALineFailsTheScan)
{
    UseDestination("C:\\Scans");
    standin::DeviceOptions options;
    options.scanPages = WriteDocument({DocumentPage(32, 40)});
    StartDevice(options);
    ASSERT_TRUE(Device().Command("fault short-line 5"));
    StartScanner();
    ClickScan();
    ASSERT_TRUE(WaitForStatus(18, 30000)) << Status();
    EXPECT_TRUE(Device().WaitForLog("fault short-line fired", 10000));
    EXPECT_TRUE(std::filesystem::is_empty(UnixPath("C:\\Scans")));
    EXPECT_EQ(Opened(), "");
}

// Told to stop in the middle of a scan (the program closing), the scan
// thread leaves the transfer and ends; nothing is saved or shown.
TEST_F(ScanTest, StopDuringAScanSavesNothing)
{
    UseDestination("C:\\Scans");
    standin::DeviceOptions options;
    options.scanPages = WriteDocument({DocumentPage(33, 2200), DocumentPage(34, 2200)});
    options.paced = true; // a scan of many seconds
    StartDevice(options);
    StartScanner();
    ClickScan();
    ASSERT_TRUE(WaitForStatus(14, 20000)) << Status();
    ASSERT_TRUE(Device().WaitForLog("record index=20", 30000));
    EXPECT_TRUE(Form()->StopScanThread(20000));
    RunFor(1500);
    EXPECT_TRUE(std::filesystem::is_empty(UnixPath("C:\\Scans")));
    EXPECT_EQ(Opened(), "");
    EXPECT_EQ(Explored(), "");
    const std::vector<std::string> shown = TakeShown();
    EXPECT_EQ(std::find(shown.begin(), shown.end(), Expected(15)), shown.end());
    EXPECT_EQ(std::find(shown.begin(), shown.end(), Expected(18)), shown.end());
}

} // namespace
} // namespace scanner_program_test
