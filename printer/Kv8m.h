// The page coder: codes each page of a parsed print job into one block of
// the device's zero-run lines (216 bytes a line; a byte 00 followed by a
// count k stands for k zero bytes, every other byte for itself).
#pragma once

#include "Convert.h"

class TPCL_file;

class TKv8m_Compress final : public TConvert {
public:
    explicit TKv8m_Compress(TPCL_file *Source);
    ~TKv8m_Compress();

    TKv8m_Compress(const TKv8m_Compress &) = delete;
    TKv8m_Compress &operator=(const TKv8m_Compress &) = delete;

    // Codes every page into a block of its own, in page order; does nothing
    // when the object already holds a block.
    void Convert() override;

private:
    unsigned long long EmitFullRuns(unsigned long long Pending);
    bool CodeRowNearEnd(const unsigned char *Data, int Count, unsigned long long &Pending);
    bool CodeRowInBlock(const unsigned char *Data, int Count, unsigned long long &Pending);
};
