// The TIFF builder: turns a scanned document into an uncompressed,
// little-endian, multi-page TIFF file image held in one block.
//
// Input: the scan records that the device link received (FE F2 page header,
// FE F3 zero-run coded line, FE F8 next page, FE F6 end of document), read
// from the scan stream or from a records file; or the pages of a parsed
// print job. Every page is 2,200 rows of 1728 dots (216 bytes a row, the
// first dot in the top bit), at 204 by 196 dots per inch.
//
// File image (P pages, D(k) = 8 + k x 475,378 the offset of page k's dots):
//   0          "II*" 00 and the offset of the first IFD
//   D(k)       475,200 bytes of dots, top row first
//   +475,200   X resolution 204/1, Y resolution 196/1
//   +475,216   the IFD: 13 entries, then the next IFD's offset (0 for the last)
// so the image is 8 + P x 475,378 bytes, inside a block of
// (pages announced + 1) x 475,200 bytes whose rest means nothing.
#pragma once

#include <cstdio>

#include "AnsiString.h"
#include "Convert.h"

class TMemoryStream;

class TTiff final : public TConvert {
public:
    // The stream of scan records (borrowed, never freed here) and the
    // number of pages the scan announced, which sizes the block.
    TTiff(TMemoryStream *Stream, int PageCount);
    ~TTiff();

    TTiff(const TTiff &) = delete;
    TTiff &operator=(const TTiff &) = delete;

    // Builds the block from the scan stream when there is one, else from
    // the page source, else from the records file; converts once only.
    // Empty input gives no block.
    void Convert() override;

private:
    class TRecordReader;
    class TPageWriter;
    friend class TTiffInputs; // lets tests give the two inputs the scanner never sets

    void Init();
    void Write32(int Value);
    void Write16(int Value);
    void WriteIfd(int Offset, int Resolution);

    bool StartDocument(int PageCount);
    void ConvertRecords(TRecordReader &Reader);
    void ConvertStream();
    void ConvertFile();
    void ConvertSource();

    int FByteOrder;
    AnsiString FFileName;
    int FPageCount;
    TMemoryStream *FStream;
};
