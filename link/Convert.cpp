#include "Convert.h"

#include <cstdlib>
#include <cstring>

TConvert::TConvert(TPCL_file *source)
    : FSource(source), FBlocks(new TBlockList), FSizes(new TSizeList),
      FUsed(0), FAbort(0), FLast(nullptr), FAllocated(0), FLimit(0) {}

TConvert::~TConvert() {
  for (unsigned char *block : *FBlocks)
    std::free(block);
  FBlocks->clear();
  FSizes->clear();
  delete FBlocks;
  delete FSizes;
}

bool TConvert::AllocBlock(int capacity) {
  // A negative capacity cannot be a block; calloc of nothing may give
  // null, so a block of no capacity still takes one byte of heap. The
  // block starts zeroed: what lies past the bytes written goes out with the
  // block (the scanner's ".tmp" file holds it whole) and must carry no
  // leftover memory.
  void *block = capacity < 0 ? nullptr
                             : std::calloc(capacity > 0 ? static_cast<size_t>(capacity) : 1, 1);
  if (block == nullptr) {
    // The lists keep their last block, but nothing more goes into it.
    FLast = nullptr;
    FAllocated = 0;
    FLimit = 0;
    return false;
  }
  FBlocks->push_back(static_cast<unsigned char *>(block));
  FSizes->push_back(capacity);
  FUsed = 0;
  FLast = static_cast<unsigned char *>(block);
  FAllocated = capacity;
  FLimit = capacity;
  return true;
}

void TConvert::AddBytes(const void *data, int count) {
  if (count < 0 || static_cast<long long>(FUsed) + count >= FLimit)
    return;
  if (count > 0)
    std::memcpy(FLast + FUsed, data, static_cast<size_t>(count));
  FUsed += count;
}

void TConvert::SetLastSize(int size) {
  // After a refused AllocBlock the last entry belongs to an earlier page.
  if (FLast == nullptr || FSizes->empty())
    return;
  FSizes->back() = size;
  FLimit = size < FAllocated ? size : FAllocated;
}

unsigned char *TConvert::LastBlock() const {
  return FBlocks->empty() ? nullptr : FBlocks->back();
}

int TConvert::LastBlockCapacity() const {
  return FSizes->empty() ? 0 : FSizes->back();
}
