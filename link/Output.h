// TOutput: a destination for the page blocks that a converter (TConvert)
// fills: the device (TUSB_kv8m) or a file. An output only borrows the two
// lists; they belong to the converter that made them.
#pragma once

#include <list>

typedef std::list<unsigned char *> TBlockList;
typedef std::list<int> TSizeList;

class TOutput {
public:
  // Either list may be null; the device link is given its lists later.
  TOutput(TBlockList *blocks, TSizeList *sizes)
      : FBlocks(blocks), FSizes(sizes), FAbort(0) {}

  // Sends or writes the blocks; each subclass says what its result means.
  virtual int Send() = 0;
  // Looks for the output's device; an output without one finds nothing.
  virtual bool Detect() { return false; }

protected:
  // Borrowed from a converter; may be null.
  TBlockList *FBlocks;
  TSizeList *FSizes;

public:
  // Stop request for a running Send; the implementation tests and clears it.
  int FAbort;

protected:
  // Not virtual: every output is destroyed through its own class (leaf
  // classes are final), never through a TOutput pointer, which this
  // protected destructor refuses at compile time. Nothing to release.
  ~TOutput() {}
};
