// The pages of a bilevel TIFF file as dots, read by libtiff's own tiffcp
// (recoded to plain dots, one strip a page) so that what is compared is
// what libtiff makes of the file; and the coding each page says it has.
#pragma once

#include <string>
#include <vector>

#include "PbmImage.h"

namespace tiffpages {

// TIFF compression values.
constexpr int kCompressionNone = 1;
constexpr int kCompressionGroup3 = 3;

struct Page {
    pbm::Image image;   // a set bit black
    int compression = 0; // as the file states it (tag 259)
    long long t4Options = -1; // tag 292, -1 when absent; bit 0 set: two-dimensional coding
    int xResolution = 0, yResolution = 0; // dots per inch, whole
};

// Reads every page of the TIFF file `path`. False, with `why` saying why,
// when the file cannot be read, is not a little- or big-endian TIFF, or
// libtiff cannot decode it. `scratch` is a folder for the recoded copy.
bool ReadPages(const std::string &path, const std::string &scratch, std::vector<Page> *pages, std::string *why);

// Compares a scanned page (2200 rows) with the document page it came from:
// the scan has the document's rows from the top and white rows after them.
// Empty when they match, else what differs.
std::string CompareWithDocument(const pbm::Image &scanned, const pbm::Image &document);

} // namespace tiffpages
