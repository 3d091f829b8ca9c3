// Saving a scan: the next free "image_" N, the ".tmp" written whole, the
// real tiffcp run through res\tiffcp.exe and waited for, the ".tif" opened,
// or shown in Explorer when it cannot be.
#include <gtest/gtest.h>

#include <filesystem>

#include "FileContents.h"
#include "Fileout.h"
#include "ScannerRun.h"
#include "Tiff.h"
#include "TiffPages.h"

namespace scanner_program_test {
namespace {

constexpr int kBlock = 475200;

class SaveTest : public ScannerRunTest {
protected:
    void Touch(const std::string &windowsPath) { ASSERT_TRUE(testsupport::WriteText(UnixPath(windowsPath), "x")); }
    void Folder(const std::string &windowsPath) { std::filesystem::create_directories(UnixPath(windowsPath)); }

    void SetUp() override
    {
        ScannerRunTest::SetUp();
        FThread = std::make_unique<TMain>(true);
    }
    void TearDown() override
    {
        FThread.reset();
        ScannerRunTest::TearDown();
    }

    std::unique_ptr<TMain> FThread; // never started: its operations are called here
};

TEST_F(SaveTest, NextFileBaseTakesTheFirstFreeTifNumber)
{
    Folder("C:\\Scans");
    struct {
        const char *destination;
        std::vector<std::string> present;
        const char *base;
    } cases[] = {
        {"C:\\Scans", {}, "C:\\Scans\\image_0"},
        {"C:\\Scans\\", {}, "C:\\Scans\\image_0"},
        {"C:\\Scans", {"image_0.tif", "image_1.tif", "image_5.tif"}, "C:\\Scans\\image_2"},
        {"C:\\Scans", {"image_0.tmp"}, "C:\\Scans\\image_0"},
        {"C:\\Scans", {"image_0.tif", "image_1.tmp"}, "C:\\Scans\\image_1"},
        {"C:\\Scans", {"IMAGE_0.TIF"}, "C:\\Scans\\image_1"}, // names as Windows matches them
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.destination + std::string(" ") + std::to_string(c.present.size()));
        std::filesystem::remove_all(UnixPath("C:\\Scans"));
        Folder("C:\\Scans");
        for (const std::string &name : c.present)
            Touch(std::string("C:\\Scans\\") + name);
        FThread->SetDestination(c.destination);
        EXPECT_EQ(FThread->NextFileBase().str(), c.base);
    }
}

TEST_F(SaveTest, SavesRecodesAndOpensTheScan)
{
    const std::vector<pbm::Image> document = {DocumentPage(41, 300), DocumentPage(42, 90)};
    TMemoryStream records;
    RecordsOf(document, &records);
    for (const char *destination : {"C:\\Scans\\Of Today", "C:\\Scans\\Of Today\\"}) {
        SCOPED_TRACE(destination);
        std::filesystem::remove_all(UnixPath("C:\\Scans"));
        Folder("C:\\Scans\\Of Today");
        std::filesystem::remove(OpenedLog());
        TTiff tiff(&records, 2);
        tiff.Convert();
        FThread->SetDestination(destination);
        FThread->SaveScan(&tiff);

        EXPECT_TRUE(WaitUntil([&] { return !Opened().empty(); }, 20000));
        EXPECT_EQ(Opened(), "C:\\Scans\\Of Today\\image_0.tif\n");
        EXPECT_EQ(Explored(), "");
        EXPECT_EQ(std::filesystem::file_size(UnixPath("C:\\Scans\\Of Today\\image_0.tmp")), 3u * kBlock);
        // After the TIFF image (8 bytes, then 475,378 a page) the block is zero.
        const std::string written = testsupport::ReadText(UnixPath("C:\\Scans\\Of Today\\image_0.tmp"));
        const size_t image = 8 + 2 * 475378;
        ASSERT_EQ(written.size(), 3u * kBlock);
        EXPECT_EQ(written.find_first_not_of('\0', image), std::string::npos) << "leftover memory in the .tmp";
        // The ".tif" is whole once SaveScan has opened it.
        std::vector<tiffpages::Page> pages;
        std::string why;
        ASSERT_TRUE(tiffpages::ReadPages(UnixPath("C:\\Scans\\Of Today\\image_0.tif"), FRoot.Scratch("decoded"),
                                         &pages, &why))
            << why;
        ASSERT_EQ(pages.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(pages[i].compression, tiffpages::kCompressionGroup3);
            EXPECT_EQ(tiffpages::CompareWithDocument(pages[i].image, document[i]), "") << "page " << i;
        }
    }
}

TEST_F(SaveTest, RunTiffcpResults)
{
    Folder("C:\\Scans");
    TMemoryStream records;
    RecordsOf({DocumentPage(51, 20)}, &records);
    TTiff tiff(&records, 1);
    tiff.Convert();
    EXPECT_EQ(FThread->RunTiffcp("C:\\Scans\\none.tmp", "C:\\Scans\\none.tif"), 3);
    EXPECT_FALSE(std::filesystem::exists(UnixPath("C:\\Scans\\none.tif")));

    TFileOut out(tiff.GetBlocks(), tiff.GetSizes());
    ASSERT_TRUE(out.Open("C:\\Scans\\a scan.tmp"));
    out.Send();
    out.Close();
    EXPECT_EQ(FThread->RunTiffcp("C:\\Scans\\a scan.tmp", "C:\\Scans\\a scan.tif"), 0);
    // A destination that exists already is written anew.
    Touch("C:\\Scans\\again.tif");
    EXPECT_EQ(FThread->RunTiffcp("C:\\Scans\\a scan.tmp", "C:\\Scans\\again.tif"), 0);
    EXPECT_EQ(std::filesystem::file_size(UnixPath("C:\\Scans\\again.tif")),
              std::filesystem::file_size(UnixPath("C:\\Scans\\a scan.tif")));
    // tiffcp fails (on a source that is no TIFF file).
    Touch("C:\\Scans\\broken.tmp");
    EXPECT_EQ(FThread->RunTiffcp("C:\\Scans\\broken.tmp", "C:\\Scans\\broken.tif"), 1);
}

TEST_F(SaveTest, MissingDestinationShowsTheMissingFileInExplorer)
{
    TMemoryStream records;
    RecordsOf({DocumentPage(61, 20)}, &records);
    TTiff tiff(&records, 1);
    tiff.Convert();
    FThread->SetDestination("C:\\Missing");
    FThread->SaveScan(&tiff);
    EXPECT_FALSE(std::filesystem::exists(UnixPath("C:\\Missing")));
    EXPECT_TRUE(WaitUntil([&] { return !Explored().empty(); }, 20000));
    EXPECT_EQ(Explored(), "select\tC:\\Missing\\image_0.tif\n");
    EXPECT_EQ(Opened(), "");
}

// No destination (no documents folder either): nothing is written, not
// even at the top of the current drive, and nothing is opened.
TEST_F(SaveTest, EmptyDestinationWritesNothing)
{
    TMemoryStream records;
    RecordsOf({DocumentPage(71, 20)}, &records);
    TTiff tiff(&records, 1);
    tiff.Convert();
    const std::string topOfDrive = UnixPath("\\image_0.tmp");
    ASSERT_FALSE(std::filesystem::exists(topOfDrive)) << topOfDrive;
    FThread->SetDestination("");
    FThread->SaveScan(&tiff);
    RunFor(1500);
    EXPECT_FALSE(std::filesystem::exists(topOfDrive));
    EXPECT_FALSE(std::filesystem::exists(UnixPath("\\image_0.tif")));
    EXPECT_EQ(Opened(), "");
    EXPECT_EQ(Explored(), "");
}

} // namespace
} // namespace scanner_program_test
