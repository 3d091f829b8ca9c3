// Page blocks of a converter: the capacity rule (a block of capacity c takes
// at most c - 1 bytes), all-or-nothing AddBytes, SetLastSize, new blocks,
// and a heap that refuses a block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <numeric>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "Convert.h"

namespace {

class TTestConvert final : public TConvert {
public:
  TTestConvert() : TConvert(nullptr) {}
  void Convert() override {}
  int Used() const { return FUsed; }
};

std::vector<unsigned char> Bytes(int count, unsigned char first) {
  std::vector<unsigned char> bytes(static_cast<size_t>(count));
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

// A block starts zeroed, also where the heap hands back memory that held
// something else: what lies past the bytes written goes out with the block.
TEST(ConvertBlocks, NewBlocksAreZero) {
  for (int capacity : {1, 200, 4096, 700000}) {
    SCOPED_TRACE(capacity);
    for (int round = 0; round < 3; ++round) {
      TTestConvert convert;
      ASSERT_TRUE(convert.AllocBlock(capacity));
      const unsigned char *block = convert.LastBlock();
      EXPECT_TRUE(std::all_of(block, block + capacity, [](unsigned char b) { return b == 0; }));
      std::memset(convert.LastBlock(), 0xA5, static_cast<size_t>(capacity)); // freed with the converter
    }
  }
}

TEST(ConvertBlocks, NewConverterHasNoBlockAndDropsWrites) {
  TTestConvert convert;
  EXPECT_EQ(convert.LastBlock(), nullptr);
  EXPECT_EQ(convert.LastBlockCapacity(), 0);
  convert.SetLastSize(100);
  EXPECT_TRUE(convert.GetSizes()->empty());
  EXPECT_EQ(convert.LastBlockCapacity(), 0);
  const unsigned char data[3] = {1, 2, 3};
  convert.AddBytes(data, 3);
  convert.AddByte(7);
  EXPECT_EQ(convert.Used(), 0);
  EXPECT_TRUE(convert.GetBlocks()->empty());
}

struct AddBytesCase {
  const char *name;
  int capacity;
  std::vector<int> requests; // counts, in order
  int used;                  // bytes in the block afterwards
};

void PrintTo(const AddBytesCase &c, std::ostream *out) { *out << c.name; }

class ConvertAddBytes : public testing::TestWithParam<AddBytesCase> {};

TEST_P(ConvertAddBytes, TakesWholeRequestsBelowCapacity) {
  const AddBytesCase &c = GetParam();
  TTestConvert convert;
  ASSERT_TRUE(convert.AllocBlock(c.capacity));
  std::memset(convert.LastBlock(), 0xEE, static_cast<size_t>(c.capacity));
  std::vector<unsigned char> expected;
  unsigned char next = 1;
  for (int count : c.requests) {
    const std::vector<unsigned char> data = Bytes(count > 0 ? count : 0, next);
    const size_t before = expected.size();
    convert.AddBytes(data.data(), count);
    if (convert.Used() != static_cast<int>(before))
      expected.insert(expected.end(), data.begin(), data.end());
    next = static_cast<unsigned char>(next + (count > 0 ? count : 0));
  }
  EXPECT_EQ(convert.Used(), c.used);
  ASSERT_EQ(static_cast<int>(expected.size()), c.used);
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), convert.LastBlock()));
  // Nothing of a dropped request lands after the used bytes.
  for (int i = c.used; i < c.capacity; ++i)
    EXPECT_EQ(convert.LastBlock()[i], 0xEE) << "byte " << i;
  EXPECT_EQ(convert.LastBlockCapacity(), c.capacity);
}

INSTANTIATE_TEST_SUITE_P(
    Capacity, ConvertAddBytes,
    testing::Values(AddBytesCase{"OneLessThanCapacity", 10, {9}, 9},
                    AddBytesCase{"ExactlyCapacityDropped", 10, {10}, 0},
                    AddBytesCase{"FillsToLastFreeByte", 10, {5, 4}, 9},
                    AddBytesCase{"ExactFreeSpaceDropped", 10, {5, 5}, 5},
                    AddBytesCase{"DroppedThenSmallerFits", 10, {6, 6, 3}, 9},
                    AddBytesCase{"ZeroCountChangesNothing", 10, {0, 9}, 9},
                    AddBytesCase{"NegativeCountDropped", 10, {4, -3, 2}, 6},
                    AddBytesCase{"BlockOfOneTakesNothing", 1, {1, 0}, 0},
                    AddBytesCase{"LargeBlockToItsLastByte", 475200, {6, 475193, 1}, 475199}),
    [](const testing::TestParamInfo<AddBytesCase> &info) { return info.param.name; });

TEST(ConvertBlocks, AddByteStopsOneShortOfCapacity) {
  TTestConvert convert;
  ASSERT_TRUE(convert.AllocBlock(5));
  for (int i = 0; i < 8; ++i)
    convert.AddByte(static_cast<unsigned char>(0x10 + i));
  EXPECT_EQ(convert.Used(), 4);
  const unsigned char expected[4] = {0x10, 0x11, 0x12, 0x13};
  EXPECT_EQ(0, std::memcmp(convert.LastBlock(), expected, 4));
}

TEST(ConvertBlocks, SetLastSizeBecomesTheBound) {
  TTestConvert convert;
  ASSERT_TRUE(convert.AllocBlock(100));
  for (int i = 0; i < 10; ++i)
    convert.AddByte(1);
  convert.SetLastSize(12);
  EXPECT_EQ(convert.LastBlockCapacity(), 12);
  EXPECT_EQ(convert.GetSizes()->back(), 12);
  for (int i = 0; i < 5; ++i)
    convert.AddByte(2);
  EXPECT_EQ(convert.Used(), 11); // tested against 12 now, not 100
}

TEST(ConvertBlocks, SetLastSizeBeyondTheBlockNeverWritesPastIt) {
  TTestConvert convert;
  ASSERT_TRUE(convert.AllocBlock(8));
  convert.SetLastSize(1000);
  EXPECT_EQ(convert.LastBlockCapacity(), 1000);
  for (int i = 0; i < 20; ++i)
    convert.AddByte(3);
  const unsigned char data[16] = {0};
  convert.AddBytes(data, 16);
  EXPECT_EQ(convert.Used(), 7); // the 8 bytes that exist, less one
}

TEST(ConvertBlocks, NewBlockLeavesEarlierBlocksAlone) {
  TTestConvert convert;
  ASSERT_TRUE(convert.AllocBlock(10));
  const std::vector<unsigned char> first = Bytes(6, 0x40);
  convert.AddBytes(first.data(), 6);
  convert.SetLastSize(6);
  unsigned char *firstBlock = convert.LastBlock();

  ASSERT_TRUE(convert.AllocBlock(20));
  EXPECT_EQ(convert.Used(), 0);
  EXPECT_NE(convert.LastBlock(), firstBlock);
  EXPECT_EQ(convert.LastBlockCapacity(), 20);
  const std::vector<unsigned char> second = Bytes(15, 0x80);
  convert.AddBytes(second.data(), 15);
  convert.AddByte(0x99);

  ASSERT_EQ(convert.GetBlocks()->size(), 2u);
  EXPECT_EQ(*convert.GetSizes(), (std::list<int>{6, 20}));
  EXPECT_EQ(convert.GetBlocks()->front(), firstBlock);
  EXPECT_EQ(0, std::memcmp(firstBlock, first.data(), 6));
  EXPECT_EQ(0, std::memcmp(convert.LastBlock(), second.data(), 15));
  EXPECT_EQ(convert.LastBlock()[15], 0x99);
}

// A heap that gives nothing must leave the lists as they were and keep
// later writes out of the previous page's block. The scenario runs in a
// child process (a death test) whose heap really refuses 1.5 GiB: its
// address space is capped, or under the sanitizer, whose allocator ignores
// that cap, its allocation limit is set instead.
#if defined(__SANITIZE_ADDRESS__)
#define LINK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LINK_UNDER_ASAN 1
#endif
#endif

const int kRefusedCapacity = 1536 << 20;

bool CapAddressSpace(rlimit *previous) {
#ifdef LINK_UNDER_ASAN
  (void)previous;
  return true;
#else
  // What the process maps now, plus room for small allocations.
  long pages = 0;
  FILE *statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr || std::fscanf(statm, "%ld", &pages) != 1)
    pages = 0;
  if (statm != nullptr)
    std::fclose(statm);
  if (pages <= 0 || getrlimit(RLIMIT_AS, previous) != 0)
    return false;
  rlimit low = *previous;
  low.rlim_cur = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) +
                 (256ull << 20);
  return setrlimit(RLIMIT_AS, &low) == 0;
#endif
}

void RestoreAddressSpace(const rlimit &previous) {
#ifndef LINK_UNDER_ASAN
  setrlimit(RLIMIT_AS, &previous);
#else
  (void)previous;
#endif
}

void RefusedBlockScenario() {
  TTestConvert convert;
  if (!convert.AllocBlock(16))
    _exit(10);
  const unsigned char page[4] = {1, 2, 3, 4};
  convert.AddBytes(page, 4);
  convert.SetLastSize(4);
  unsigned char *previous = convert.LastBlock();

  rlimit cap;
  if (!CapAddressSpace(&cap))
    _exit(11);
  const bool got = convert.AllocBlock(kRefusedCapacity);
  RestoreAddressSpace(cap);
  if (got)
    _exit(12);
  if (convert.GetBlocks()->size() != 1 || convert.GetSizes()->size() != 1)
    _exit(13);
  if (convert.LastBlock() != previous || convert.GetSizes()->back() != 4)
    _exit(14);
  // Writes and the size of the page that was never allocated go nowhere.
  convert.AddByte(0x55);
  const unsigned char more[2] = {7, 8};
  convert.AddBytes(more, 2);
  convert.SetLastSize(2);
  if (convert.GetSizes()->back() != 4 || std::memcmp(previous, page, 4) != 0)
    _exit(15);
  // Nothing past the old page's four bytes was written either.
  if (convert.Used() != 4)
    _exit(16);
  // A later block that the heap gives is written again.
  if (!convert.AllocBlock(8))
    _exit(17);
  convert.AddByte(0x66);
  if (convert.Used() != 1 || convert.LastBlock()[0] != 0x66 || convert.GetBlocks()->size() != 2)
    _exit(18);
  _exit(0);
}

TEST(ConvertBlocksDeathTest, RefusedBlockKeepsListsAndDropsWrites) {
  // The child is this program run again, so it reads the options below.
  testing::FLAGS_gtest_death_test_style = "threadsafe";
#ifdef LINK_UNDER_ASAN
  const char *options = std::getenv("ASAN_OPTIONS");
  const std::string saved = options != nullptr ? options : "";
  const std::string limited = (saved.empty() ? "" : saved + ":") +
                              "allocator_may_return_null=1:max_allocation_size_mb=1024";
  setenv("ASAN_OPTIONS", limited.c_str(), 1);
#endif
  EXPECT_EXIT(RefusedBlockScenario(), testing::ExitedWithCode(0), "");
#ifdef LINK_UNDER_ASAN
  if (options != nullptr)
    setenv("ASAN_OPTIONS", saved.c_str(), 1);
  else
    unsetenv("ASAN_OPTIONS");
#endif
}

TEST(ConvertBlocks, NegativeCapacityIsRefused) {
  TTestConvert convert;
  EXPECT_FALSE(convert.AllocBlock(-1));
  EXPECT_TRUE(convert.GetBlocks()->empty());
  EXPECT_EQ(convert.LastBlock(), nullptr);
}

} // namespace
