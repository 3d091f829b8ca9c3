// The printer driver's stand-in: writes the raster job stream that the
// printer program reads on standard input, from page images. The byte
// layout is described in README.md.
#pragma once

#include <vector>

#include "PageImage.h"

namespace jobwriter {

struct JobOptions {
    int Copies = 1;
    // Resolution mode byte of every page header: '2' (fine) or '1'
    // (standard; line advances are written doubled there).
    char Resolution = '2';
    // Record that closes a page before the next one: 4 (page end) or 6
    // (page end with document start).
    int PageEnd = 4;
    // How a run of blank rows before a row is written:
    //  - false (the driver's way): the row's line advance is 1 + the blank
    //    rows. The printer's coder turns an advance a > 1 into a blank lines,
    //    so each run comes out one line longer on paper.
    //  - true: written so that the coder reproduces the page line for line:
    //    one blank row is an empty row record, a longer run the advance.
    bool ExactBlankLines = false;
};

// The whole job: document start, the pages, the job end with the copy count.
std::vector<unsigned char> WriteJob(const std::vector<PageImage> &pages, const JobOptions &options);

} // namespace jobwriter
