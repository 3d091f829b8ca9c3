// A built TIFF checked with libtiff's own tools: the ".tmp" file that the
// file output writes is read by tiffinfo, recoded to Group 3 by tiffcp as
// the scanner has it done, and recoded back to plain dots, which must equal
// the scanned rows.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "FileContents.h"
#include "Fileout.h"
#include "ScanRecords.h"
#include "TempMachineRoot.h"
#include "ZeroRun.h"
#include "machine/MachineRoot.h"

namespace scanner_test {
namespace {

// A row with a few marks that move from row to row.
Bytes PatternRow(int index)
{
    Bytes row(kRowBytes, 0);
    const unsigned char mark = static_cast<unsigned char>(index * 37 % 255 + 1);
    row[index % kRowBytes] = mark;
    row[index * 5 % kRowBytes] = static_cast<unsigned char>(mark ^ 0x5A) | 1;
    row[100] = 0xF0;
    return row;
}

// The zero-run coding of a row, as the device sends it.
Bytes Code(const Bytes &row)
{
    Bytes code;
    standin::EncodeZeroRun(row.data(), row.size(), &code);
    return code;
}

int Count(const std::string &text, const std::string &what)
{
    int count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

class TiffToolsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(std::filesystem::exists(ARV_TIFFINFO)) << "libtiff-tools are missing";
        ASSERT_TRUE(std::filesystem::exists(ARV_TIFFCP)) << "libtiff-tools are missing";
        std::filesystem::create_directories(Host(""));
    }

    // Converts the records and saves the block as C:\Scans\<name>.
    void Save(const ScanRecords &records, int pages, const std::string &name, int *fileSize = nullptr)
    {
        TMemoryStream stream;
        records.Into(stream);
        TTiff tiff(&stream, pages);
        tiff.Convert();
        TFileOut out(tiff.GetBlocks(), tiff.GetSizes());
        ASSERT_TRUE(out.Open(("C:\\Scans\\" + name).c_str()));
        EXPECT_EQ(out.Send(), 1);
        out.Close();
        if (fileSize)
            *fileSize = static_cast<int>(std::filesystem::file_size(Host(name)));
    }

    std::string Host(const std::string &name) const { return machine::DriveFolder('c') + "/Scans/" + name; }

    testsupport::RunResult Run(const std::vector<std::string> &args)
    {
        return testsupport::RunProgram(args);
    }

    testsupport::TempMachineRoot root_{"arv-scanner", testsupport::Layout::Now};
};

TEST_F(TiffToolsTest, TiffcpRecodesTheScanAndItsDotsComeBack)
{
    // A full page, then a page of 300 doubled lines.
    std::vector<Bytes> rows[2];
    ScanRecords records;
    records.PageHeader(1);
    for (int i = 0; i < kPageRows; ++i) {
        rows[0].push_back(PatternRow(i));
        records.Line(Code(rows[0].back()));
    }
    records.NextPage().PageHeader(0);
    for (int i = 0; i < 300; ++i) {
        const Bytes row = PatternRow(kPageRows + i);
        rows[1].push_back(row);
        rows[1].push_back(row);
        records.Line(Code(row));
    }
    records.End();
    while (rows[1].size() < static_cast<size_t>(kPageRows))
        rows[1].push_back(Bytes(kRowBytes, 0));

    int size = 0;
    Save(records, 2, "image_0.tmp", &size);
    EXPECT_EQ(size, 3 * kPageData);

    const testsupport::RunResult info = Run({ARV_TIFFINFO, Host("image_0.tmp")});
    ASSERT_EQ(info.code, 0) << info.err;
    EXPECT_EQ(info.err, "");
    EXPECT_EQ(Count(info.out, "TIFF Directory at offset"), 2) << info.out;
    EXPECT_EQ(Count(info.out, "Image Width: 1728 Image Length: 2200"), 2) << info.out;
    EXPECT_EQ(Count(info.out, "Resolution: 204, 196 pixels/inch"), 2) << info.out;
    EXPECT_EQ(Count(info.out, "Compression Scheme: None"), 2) << info.out;

    // The scanner's own recoding.
    const testsupport::RunResult g3 = Run({ARV_TIFFCP, "-c", "g3:1d", Host("image_0.tmp"), Host("image_0.tif")});
    ASSERT_EQ(g3.code, 0) << g3.err;
    const testsupport::RunResult g3info = Run({ARV_TIFFINFO, Host("image_0.tif")});
    ASSERT_EQ(g3.code, 0) << g3info.err;
    EXPECT_EQ(Count(g3info.out, "TIFF Directory at offset"), 2) << g3info.out;
    EXPECT_EQ(Count(g3info.out, "CCITT Group 3"), 2) << g3info.out;
    EXPECT_EQ(Count(g3info.out, "Image Width: 1728 Image Length: 2200"), 2) << g3info.out;
    EXPECT_EQ(Count(g3info.out, "Resolution: 204, 196 pixels/inch"), 2) << g3info.out;

    // Back to plain dots in one strip a page, read with our own reader.
    const testsupport::RunResult plain =
        Run({ARV_TIFFCP, "-c", "none", "-r", "2200", Host("image_0.tif"), Host("back.tif")});
    ASSERT_EQ(plain.code, 0) << plain.err;
    const Bytes back = testsupport::ReadBytes(Host("back.tif"));
    const TiffImage tiff(back.data(), back.size());
    ASSERT_FALSE(tiff.Broken);
    ASSERT_EQ(tiff.Pages.size(), 2u);
    for (int page = 0; page < 2; ++page) {
        const IfdPage &ifd = tiff.Pages[page];
        EXPECT_EQ(ifd.Value(256), 1728);
        EXPECT_EQ(ifd.Value(257), 2200);
        EXPECT_EQ(ifd.Value(262), 0); // white is zero
        ASSERT_EQ(ifd.Value(279), kPageData);
        const long long data = ifd.Value(273);
        ASSERT_LE(data + kPageData, static_cast<long long>(back.size()));
        for (int row = 0; row < kPageRows; ++row) {
            const unsigned char *at = back.data() + data + static_cast<size_t>(row) * kRowBytes;
            ASSERT_EQ(Bytes(at, at + kRowBytes), rows[page][row]) << "page " << page << " row " << row;
        }
    }
}

TEST_F(TiffToolsTest, DamagedScanStillGivesAValidFile)
{
    // One complete page, then a page cut off in the middle of a line.
    ScanRecords records;
    records.PageHeader().Line(Code(PatternRow(0))).NextPage().Line(Code(PatternRow(1)));
    records.Raw({0xFE, 0xF3, 40, 1, 2, 3});
    Save(records, 2, "image_1.tmp");

    const testsupport::RunResult info = Run({ARV_TIFFINFO, Host("image_1.tmp")});
    ASSERT_EQ(info.code, 0) << info.err;
    EXPECT_EQ(info.err, "");
    EXPECT_EQ(Count(info.out, "TIFF Directory at offset"), 1) << info.out;
    const testsupport::RunResult g3 = Run({ARV_TIFFCP, "-c", "g3:1d", Host("image_1.tmp"), Host("image_1.tif")});
    EXPECT_EQ(g3.code, 0) << g3.err;
    EXPECT_EQ(g3.err, "");
}

} // namespace
} // namespace scanner_test
