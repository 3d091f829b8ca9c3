// The print-job parser: keeps its own copy of the raster stream that the
// printer driver writes and walks it once into a chain of pages, each with
// a chain of rows. The records point into the copy; no row data is copied.
//
// Records are found by fixed byte patterns (a pattern byte 00 matches any
// byte); numbers inside them are 16-bit little-endian:
//   1 document start              1B 42 44 1B 42 50            (offset 0 only)
//   2 page header                 1B 4F 50 1B 52 rr 1B 50 xx   rr: resolution mode
//   3 row                         1B xx 4D aa aa 1B 53 42 nn nn, then n data bytes
//   4 page end                    1B 45 50 1B 42 50
//   6 page end, document start    1B 45 50 1B 42 44 1B 42 50
//   5 job end                     1B 45 50 1B 45 44 xx, then the copy count in ASCII
#pragma once

class TMemoryStream;

// One row record: the 10-byte header (line advance at offset 3, data count
// at offset 8) and its data bytes, both inside the parser's copy.
struct TPCL_row {
    int Index;
    unsigned char *Header;
    unsigned char *Data;
    TPCL_row *Next;
};

// One page: its header record (byte 5 is the resolution mode byte), its
// rows and its page end record (null for the page the job end closes).
struct TPCL_page {
    int Index;
    int RowCount;
    unsigned char *Header;
    TPCL_row *FirstRow;
    unsigned char *End;
    TPCL_page *Next;
};

class TPCL_file {
public:
    // Copies the stream's bytes; the stream stays the caller's.
    explicit TPCL_file(TMemoryStream *Stream);
    ~TPCL_file();

    TPCL_file(const TPCL_file &) = delete;
    TPCL_file &operator=(const TPCL_file &) = delete;

    // 0 when the job parsed, -1 when it did not; a failed parser holds
    // neither bytes nor records.
    int Parse();
    int GetCopies() const { return FCopies; }
    TPCL_page *GetFirstPage() const { return FFirstPage; }
    int GetPageCount() const { return FPageCount; }
    // Frees the bytes and every record; sizes and counts stay.
    void Clear();

    // The parser's copy of the job (null once cleared or failed).
    const unsigned char *GetData() const { return FData; }
    int GetSize() const { return FSize; }

private:
    int Match(int Offset) const;
    bool Begin();
    int Scan();
    int ReadWord(const unsigned char *Where) const;
    int ReadNumber(const unsigned char *Where) const;
    void FreePages();

    unsigned char *FData;
    int FSize;
    int FPageCount;
    int FCopies;
    unsigned char *FBegin;
    TPCL_page *FFirstPage;
    unsigned char *FEnd;
};
