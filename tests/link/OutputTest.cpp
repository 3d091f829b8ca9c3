// An output borrows a converter's two lists: it keeps the pointers it is
// given (null included), starts with no stop request, and its base Detect
// finds nothing.
#include <gtest/gtest.h>

#include "Convert.h"
#include "Output.h"

namespace {

class TTestConvert final : public TConvert {
public:
  void Convert() override {
    if (LastBlock() != nullptr)
      return;
    AllocBlock(8);
    AddByte(0x42);
  }
};

// Counts the blocks and sizes it would send; keeps the base Detect.
class TTestOutput final : public TOutput {
public:
  TTestOutput(TBlockList *blocks, TSizeList *sizes) : TOutput(blocks, sizes) {}
  int Send() override {
    if (FBlocks == nullptr || FSizes == nullptr)
      return 0;
    return static_cast<int>(FBlocks->size() + FSizes->size());
  }
  TBlockList *Blocks() const { return FBlocks; }
  TSizeList *Sizes() const { return FSizes; }
};

TEST(Output, StartsWithoutListsOrStopRequest) {
  TTestOutput output(nullptr, nullptr);
  EXPECT_EQ(output.Blocks(), nullptr);
  EXPECT_EQ(output.Sizes(), nullptr);
  EXPECT_EQ(output.FAbort, 0);
  TOutput &base = output;
  EXPECT_FALSE(base.Detect());
  EXPECT_EQ(base.Send(), 0);
}

TEST(Output, BorrowsTheConvertersLists) {
  TTestConvert convert;
  convert.Convert();
  convert.Convert(); // converts once only
  {
    TTestOutput output(convert.GetBlocks(), convert.GetSizes());
    EXPECT_EQ(output.Blocks(), convert.GetBlocks());
    EXPECT_EQ(output.Sizes(), convert.GetSizes());
    EXPECT_EQ(output.Send(), 2);
  }
  // The output is gone; the lists and the block still belong to the converter.
  ASSERT_EQ(convert.GetBlocks()->size(), 1u);
  EXPECT_EQ(convert.LastBlock()[0], 0x42);
  EXPECT_EQ(convert.LastBlockCapacity(), 8);
}

} // namespace
