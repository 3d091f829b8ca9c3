// Page images that look like what people print, made from a seed: for
// tests, benchmarks and demonstrations without image files.
#pragma once

#include "PageImage.h"

namespace jobwriter {

constexpr int kA4Rows = 2200; // an A4 page at 196 lines an inch, about

// Lines of text: glyph-like strokes in words, blank gaps between the lines
// and paragraphs, some underlines one blank row below their line.
PageImage MakeTextPage(unsigned seed, int height = kA4Rows);
// A frame, diagonals, a circle and a filled box.
PageImage MakeDrawingPage(unsigned seed, int height = kA4Rows);
// A halftone picture: nearly every byte non-zero.
PageImage MakeDensePage(unsigned seed, int height = kA4Rows);
// Random dots with a white byte here and there: the worst case for a coder
// that decides byte by byte.
PageImage MakeNoisePage(unsigned seed, int height = kA4Rows);

} // namespace jobwriter
