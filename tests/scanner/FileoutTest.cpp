// The file output: each block written as its size entry says, in list
// order, to a file named by its Windows path inside the machine root.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "FileContents.h"
#include "Fileout.h"
#include "TempMachineRoot.h"
#include "machine/MachineRoot.h"

namespace {

using testsupport::Bytes;

class FileoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = machine::DriveFolder('c') + "/Scans";
        std::filesystem::create_directories(folder_);
        blocks_ = {first_, second_, third_};
        sizes_ = {4, 0, 3}; // the middle block is not written
    }

    std::string Host(const std::string &name) const { return folder_ + "/" + name; }

    testsupport::TempMachineRoot root_{"arv-scanner", testsupport::Layout::Now};
    std::string folder_;
    unsigned char first_[6] = {1, 2, 3, 4, 5, 6};
    unsigned char second_[2] = {7, 8};
    unsigned char third_[3] = {9, 10, 11};
    TBlockList blocks_;
    TSizeList sizes_;
};

TEST_F(FileoutTest, WritesEachBlockAsItsSizeSays)
{
    TFileOut out(&blocks_, &sizes_);
    ASSERT_TRUE(out.Open("C:\\Scans\\image_0.tmp"));
    EXPECT_EQ(out.Send(), 1);
    out.Close();
    EXPECT_EQ(testsupport::ReadBytes(Host("image_0.tmp")), (Bytes{1, 2, 3, 4, 9, 10, 11}));
}

TEST_F(FileoutTest, MapsWindowsPathsThroughTheMachineRoot)
{
    std::filesystem::create_directories(Host("With Blanks"));
    TFileOut out(&blocks_, &sizes_);
    ASSERT_TRUE(out.Open("c:\\SCANS\\With Blanks\\Image_1.TMP"));
    out.Send();
    out.Close();
    // A new name keeps its case; the folders are found without regard to it.
    EXPECT_EQ(testsupport::ReadBytes(Host("With Blanks/Image_1.TMP")).size(), 7u);
}

TEST_F(FileoutTest, SendsNothingWithoutAnOpenFile)
{
    TFileOut out(&blocks_, &sizes_);
    EXPECT_EQ(out.Send(), 1); // never opened

    // A folder that does not exist: no file, and Send writes nothing.
    EXPECT_FALSE(out.Open("C:\\Missing\\image_0.tmp"));
    EXPECT_EQ(out.Send(), 1);
    EXPECT_FALSE(std::filesystem::exists(machine::DriveFolder('c') + "/Missing"));

    ASSERT_TRUE(out.Open("C:\\Scans\\closed.tmp"));
    out.Close();
    out.Close(); // closing twice is harmless
    EXPECT_EQ(out.Send(), 1);
    EXPECT_EQ(std::filesystem::file_size(Host("closed.tmp")), 0u);

    EXPECT_FALSE(out.Detect());
}

TEST_F(FileoutTest, OpenEmptiesAnExistingFile)
{
    ASSERT_TRUE(testsupport::WriteBytes(Host("image_0.tmp"), Bytes(100, 0xEE)));
    TFileOut out(&blocks_, &sizes_);
    ASSERT_TRUE(out.Open("C:\\Scans\\image_0.tmp"));
    out.Close();
    EXPECT_EQ(std::filesystem::file_size(Host("image_0.tmp")), 0u);
}

TEST_F(FileoutTest, OpenClosesTheFileBefore)
{
    {
        TFileOut out(&blocks_, &sizes_);
        ASSERT_TRUE(out.Open("C:\\Scans\\a.tmp"));
        out.Send();
        ASSERT_TRUE(out.Open("C:\\Scans\\b.tmp"));
        out.Send();
        out.Send();
        // The destructor closes b.tmp.
    }
    EXPECT_EQ(testsupport::ReadBytes(Host("a.tmp")), (Bytes{1, 2, 3, 4, 9, 10, 11}));
    EXPECT_EQ(testsupport::ReadBytes(Host("b.tmp")), (Bytes{1, 2, 3, 4, 9, 10, 11, 1, 2, 3, 4, 9, 10, 11}));
}

TEST_F(FileoutTest, NullListsWriteNothing)
{
    TFileOut out(nullptr, nullptr);
    ASSERT_TRUE(out.Open("C:\\Scans\\none.tmp"));
    EXPECT_EQ(out.Send(), 1);
    out.Close();
    EXPECT_EQ(std::filesystem::file_size(Host("none.tmp")), 0u);
}

} // namespace
