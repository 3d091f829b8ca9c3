// Saving a scan from a program folder without res\tiffcp.exe: the ".tmp"
// stays, and the ".tif" that was never made is shown in Explorer.
#include <gtest/gtest.h>

#include <filesystem>

#include "FileContents.h"
#include "Fileout.h"
#include "ScannerRun.h"
#include "Tiff.h"

namespace scanner_program_test {
namespace {

using WithoutTiffcpTest = ScannerRunTest;

TEST_F(WithoutTiffcpTest, ScanStaysUncompressed)
{
    std::filesystem::create_directories(UnixPath("C:\\Scans"));
    TMemoryStream records;
    RecordsOf({DocumentPage(71, 20)}, &records);
    TTiff tiff(&records, 1);
    tiff.Convert();
    TMain thread(true);

    TFileOut out(tiff.GetBlocks(), tiff.GetSizes());
    ASSERT_TRUE(out.Open("C:\\Scans\\direct.tmp"));
    out.Send();
    out.Close();
    EXPECT_EQ(thread.RunTiffcp("C:\\Scans\\direct.tmp", "C:\\Scans\\direct.tif"), 2);

    thread.SetDestination("C:\\Scans");
    thread.SaveScan(&tiff);
    EXPECT_EQ(std::filesystem::file_size(UnixPath("C:\\Scans\\image_0.tmp")), 2u * 475200);
    EXPECT_FALSE(std::filesystem::exists(UnixPath("C:\\Scans\\image_0.tif")));
    EXPECT_TRUE(WaitUntil([&] { return !Explored().empty(); }, 20000));
    EXPECT_EQ(Explored(), "select\tC:\\Scans\\image_0.tif\n");
    EXPECT_EQ(Opened(), "");
}

} // namespace
} // namespace scanner_program_test
