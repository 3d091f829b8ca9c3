// Byte-order reads and writes, and the file test on the machine root.
#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>

#include "Extra.h"
#include "LinkTestSupport.h"
#include "machine/MachineRoot.h"

namespace {

struct ReadCase {
  unsigned char bytes[4];
  int order;
  int int16;
  int int32;
};

void PrintTo(const ReadCase &c, std::ostream *out) { *out << "order " << c.order << " int16 " << c.int16 << " int32 " << c.int32; }

class ByteOrderRead : public testing::TestWithParam<ReadCase> {};

TEST_P(ByteOrderRead, GivesTheValue) {
  const ReadCase &c = GetParam();
  EXPECT_EQ(ReadInt16(c.bytes, c.order), c.int16);
  EXPECT_EQ(ReadInt32(c.bytes, c.order), c.int32);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, ByteOrderRead,
    testing::Values(ReadCase{{0x01, 0x02, 0x03, 0x04}, 1, 513, 0x04030201},
                    ReadCase{{0x01, 0x02, 0x03, 0x04}, 2, 258, 0x01020304},
                    ReadCase{{0xFF, 0xFF, 0xFF, 0xFF}, 1, 65535, -1},
                    ReadCase{{0xFF, 0xFF, 0xFF, 0xFF}, 2, 65535, -1},
                    ReadCase{{0x00, 0x80, 0x00, 0x80}, 1, 32768, static_cast<int>(0x80008000u)},
                    ReadCase{{0x80, 0x00, 0x00, 0x01}, 2, 32768, static_cast<int>(0x80000001u)},
                    ReadCase{{0x01, 0x02, 0x03, 0x04}, 0, 0, 0},
                    ReadCase{{0x01, 0x02, 0x03, 0x04}, 3, 0, 0},
                    ReadCase{{0xFF, 0xFF, 0xFF, 0xFF}, -1, 0, 0}));

struct WriteCase {
  int value;
  int order;
  std::vector<unsigned char> int16; // bytes stored by WriteInt16 over AA AA
  std::vector<unsigned char> int32; // bytes stored by WriteInt32 over AA AA AA AA
};

void PrintTo(const WriteCase &c, std::ostream *out) { *out << "value " << c.value << " order " << c.order; }

class ByteOrderWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(ByteOrderWrite, StoresTheBytes) {
  const WriteCase &c = GetParam();
  unsigned char two[2] = {0xAA, 0xAA};
  WriteInt16(two, c.value, c.order);
  EXPECT_EQ(std::vector<unsigned char>(two, two + 2), c.int16);
  unsigned char four[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  WriteInt32(four, c.value, c.order);
  EXPECT_EQ(std::vector<unsigned char>(four, four + 4), c.int32);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, ByteOrderWrite,
    testing::Values(
        WriteCase{74565, 1, {0x45, 0x23}, {0x45, 0x23, 0x01, 0x00}}, // upper bits cut
        WriteCase{74565, 2, {0x23, 0x45}, {0x00, 0x01, 0x23, 0x45}},
        WriteCase{-1, 1, {0xFF, 0xFF}, {0xFF, 0xFF, 0xFF, 0xFF}},
        WriteCase{0x04030201, 1, {0x01, 0x02}, {0x01, 0x02, 0x03, 0x04}},
        WriteCase{0x04030201, 2, {0x02, 0x01}, {0x04, 0x03, 0x02, 0x01}},
        WriteCase{74565, 0, {0xAA, 0xAA}, {0xAA, 0xAA, 0xAA, 0xAA}},
        WriteCase{74565, 3, {0xAA, 0xAA}, {0xAA, 0xAA, 0xAA, 0xAA}}));

TEST(ByteOrder, WriteThenReadRoundTrips) {
  for (int order = 1; order <= 2; ++order) {
    for (int value : {0, 1, -2, 0x7FFFFFFF, static_cast<int>(0x80000000u), 0x12345678}) {
      unsigned char bytes[4];
      WriteInt32(bytes, value, order);
      EXPECT_EQ(ReadInt32(bytes, order), value) << "order " << order;
      WriteInt16(bytes, value, order);
      EXPECT_EQ(ReadInt16(bytes, order), value & 0xFFFF) << "order " << order;
    }
  }
}

class FileExistsTest : public testing::Test {
protected:
  linktest::TempMachineRoot root_;
};

TEST_F(FileExistsTest, OnlyReadableFilesExist) {
  const std::string drive = machine::DriveFolder('c');
  ASSERT_EQ(0, mkdir((drive + "/Scans").c_str(), 0755));
  FILE *file = std::fopen((drive + "/Scans/image_0.tif").c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("II*", file);
  std::fclose(file);

  EXPECT_TRUE(FileExists("C:\\Scans\\image_0.tif"));
  EXPECT_TRUE(FileExists("c:\\scans\\IMAGE_0.TIF")); // Windows names ignore case
  EXPECT_FALSE(FileExists("C:\\Scans\\image_1.tif"));
  EXPECT_FALSE(FileExists("C:\\Scans")); // a folder is no file
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists(nullptr));
}

} // namespace
