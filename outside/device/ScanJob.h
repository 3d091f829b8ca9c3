// The scan side: turns a document (bilevel pages 1728 dots wide) into the
// records the device sends after the scan command, one record at a time:
//   FE F2 p0 p1 p2 p3     page header (p1: 1 one record a line, 0 the host
//                          doubles every line: standard resolution)
//   FE F3 n + n bytes     one line, zero-run coded, at most 255 bytes
//   FE F8 00 00 00 00     between pages
//   FE F6 00 00 00 00     end of the document
// At standard resolution every second row of the page is sent.
#pragma once

#include "Pbm.h"

#include <cstdint>
#include <vector>

namespace device {

class ScanJob {
public:
    ScanJob(const std::vector<standin::Bitmap> *pages, bool standard);

    struct Record {
        int index = 0;       // counted from 1 within the scan
        uint8_t kind = 0;    // F2, F3, F8 or F6
        size_t length = 0;   // line records: the announced length
        bool clipped = false;
        bool last = false;   // the end record
    };

    bool Done() const { return done_; }
    // Appends the next record to `out` and describes it; false when done.
    bool Next(std::vector<uint8_t> *out, Record *record);
    int RecordsMade() const { return index_; }

private:
    const std::vector<standin::Bitmap> *pages_;
    bool standard_;
    size_t page_ = 0;
    int row_ = -1; // -1: the page's header or separator is next
    int index_ = 0;
    bool done_ = false;
};

} // namespace device
