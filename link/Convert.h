// TConvert: a converter that turns some input (a parsed print job, the
// records of a scan) into page data held in raw heap blocks, with a parallel
// list of block sizes. The converter owns the blocks and both lists; outputs
// borrow them through GetBlocks and GetSizes.
//
// Only the last block is written to, and it never holds more than its
// capacity less one byte. A request that does not fit is dropped whole,
// silently.
#pragma once

#include <list>

class TPCL_file;

typedef std::list<unsigned char *> TBlockList;
typedef std::list<int> TSizeList;

class TConvert {
public:
  // The page source may be null (the scanner's converter reads other input).
  explicit TConvert(TPCL_file *source = nullptr);

  // Builds the blocks from the input; converts once only.
  virtual void Convert() = 0;

  // Appends a new block of `capacity` zero bytes and sets
  // FUsed to 0. When the heap gives nothing the lists stay as they were,
  // false is returned, and AddByte/AddBytes/SetLastSize do nothing until a
  // later AllocBlock succeeds, so no earlier block is written past its page.
  bool AllocBlock(int capacity);

  // Copies all `count` bytes into the last block when FUsed + count is below
  // its capacity; otherwise drops them all.
  void AddBytes(const void *data, int count);

  // Stores one byte when FUsed + 1 is below the last block's capacity;
  // otherwise drops it. Inline: the page coder calls it for every byte.
  void AddByte(unsigned char value) {
    if (FUsed + 1 < FLimit)
      FLast[FUsed++] = value;
  }

  // Replaces the last size entry; nothing when there is no block. Later
  // writes are tested against the new size, and never go past the bytes
  // that were allocated, whatever size is stored.
  void SetLastSize(int size);

  unsigned char *LastBlock() const;
  int LastBlockCapacity() const;

  TBlockList *GetBlocks() const { return FBlocks; }
  TSizeList *GetSizes() const { return FSizes; }

protected:
  // Not virtual: a converter is destroyed through its own class (leaf
  // classes are final). Frees every block and both lists; the page source
  // is left alone.
  ~TConvert();

  TPCL_file *FSource;  // not owned
  TBlockList *FBlocks; // owned, with the blocks
  TSizeList *FSizes;   // owned
  int FUsed;           // bytes written into the last block

public:
  // Stop request for a running Convert; the implementation tests and clears it.
  int FAbort;

private:
  // The block that writes go to and the bound they are tested against:
  // the last size entry, capped at the bytes allocated. Null and 0 while
  // there is no block and after an AllocBlock that the heap refused.
  unsigned char *FLast;
  int FAllocated;
  int FLimit;

  TConvert(const TConvert &) = delete;
  TConvert &operator=(const TConvert &) = delete;
};
