// TFileOut: writes a converter's blocks to a file, each block as many bytes
// as its size entry says, in list order. The scanner saves its TIFF block
// with it.
#pragma once

#include <cstdio>

#include "AnsiString.h"
#include "Output.h"

class TFileOut final : public TOutput {
public:
    // The lists are borrowed from the converter; either may be null.
    TFileOut(TBlockList *Blocks, TSizeList *Sizes);
    ~TFileOut();

    TFileOut(const TFileOut &) = delete;
    TFileOut &operator=(const TFileOut &) = delete;

    // Closes a file still open, then creates the named file (a Windows
    // path), or empties it when it exists. True when it is open.
    bool Open(const AnsiString &FileName);
    // Writes the blocks to the open file, one write per block; nothing
    // without an open file. Write errors are not detected: always 1.
    int Send() override;
    void Close();

private:
    AnsiString FFileName; // the name last given to Open
    FILE *FFile;          // null while no file is open
};
