#include "SamplePages.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace jobwriter {

namespace {

void FillBox(PageImage &page, int x0, int y0, int x1, int y1)
{
    for (int y = std::max(0, y0); y < std::min(page.Height, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(kPageDots, x1); ++x)
            page.SetDot(x, y);
}

// One glyph of a cell: a few strokes chosen at random.
void DrawGlyph(PageImage &page, std::mt19937 &random, int x, int y, int width, int height)
{
    const int strokes = 1 + static_cast<int>(random() % 3);
    for (int s = 0; s < strokes; ++s) {
        switch (random() % 4) {
        case 0: { // vertical stem
            int at = x + static_cast<int>(random() % static_cast<unsigned>(width - 2));
            FillBox(page, at, y, at + 2, y + height);
            break;
        }
        case 1: { // bar
            int at = y + static_cast<int>(random() % static_cast<unsigned>(height - 2));
            FillBox(page, x, at, x + width, at + 2);
            break;
        }
        case 2: // bowl
            for (int i = 0; i < 40; ++i) {
                double a = i * 3.14159265 / 20;
                int px = x + width / 2 + static_cast<int>(std::cos(a) * (width / 2 - 1));
                int py = y + height / 2 + static_cast<int>(std::sin(a) * (height / 3));
                FillBox(page, px, py, px + 2, py + 2);
            }
            break;
        default: // dot
            FillBox(page, x + width / 2 - 1, y + height - 3, x + width / 2 + 2, y + height);
            break;
        }
    }
}

} // namespace

PageImage MakeTextPage(unsigned seed, int height)
{
    PageImage page(height);
    std::mt19937 random(seed);
    const int left = 120, right = kPageDots - 120;
    const int glyphWidth = 14, glyphHeight = 22, lineGap = 14;
    int y = 100;
    while (y + glyphHeight < height - 100) {
        const int words = 4 + static_cast<int>(random() % 10);
        int x = left;
        for (int w = 0; w < words && x < right - 5 * glyphWidth; ++w) {
            const int letters = 1 + static_cast<int>(random() % 9);
            for (int l = 0; l < letters && x + glyphWidth < right; ++l) {
                DrawGlyph(page, random, x, y, glyphWidth - 3, glyphHeight);
                x += glyphWidth;
            }
            x += glyphWidth;
        }
        y += glyphHeight;
        switch (random() % 6) {
        case 0: // underline, one blank row below the line
            FillBox(page, left, y + 1, x, y + 2);
            y += 2 + lineGap;
            break;
        case 1: // paragraph
            y += lineGap + 40 + static_cast<int>(random() % 40);
            break;
        default:
            y += lineGap;
            break;
        }
    }
    return page;
}

PageImage MakeDrawingPage(unsigned seed, int height)
{
    PageImage page(height);
    std::mt19937 random(seed);
    FillBox(page, 60, 60, kPageDots - 60, 64);
    FillBox(page, 60, height - 64, kPageDots - 60, height - 60);
    FillBox(page, 60, 60, 64, height - 60);
    FillBox(page, kPageDots - 64, 60, kPageDots - 60, height - 60);
    for (int y = 100; y < height - 100; ++y) {
        int x = 100 + (y - 100) * (kPageDots - 200) / (height - 200);
        FillBox(page, x, y, x + 3, y + 1);
        FillBox(page, kPageDots - x - 3, y, kPageDots - x, y + 1);
    }
    const int cx = kPageDots / 2, cy = height / 2;
    const int r = 300 + static_cast<int>(random() % 200);
    for (int i = 0; i < 4000; ++i) {
        double a = i * 2 * 3.14159265 / 4000;
        int px = cx + static_cast<int>(std::cos(a) * r);
        int py = cy + static_cast<int>(std::sin(a) * r);
        FillBox(page, px, py, px + 3, py + 3);
    }
    const int bx = 200 + static_cast<int>(random() % 400);
    FillBox(page, bx, 200, bx + 300, 380);
    return page;
}

PageImage MakeDensePage(unsigned seed, int height)
{
    // A smooth grey picture, 20 % to 95 % black, in ordered 8 × 8 dither.
    static const int bayer[8][8] = {
        {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
        {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
        {15, 47, 7, 39, 13, 45, 5, 37},  {63, 31, 55, 23, 61, 29, 53, 21}};
    PageImage page(height);
    std::mt19937 random(seed);
    const double cx = kPageDots * (0.3 + 0.4 * (random() % 100) / 100.0);
    const double cy = height * (0.3 + 0.4 * (random() % 100) / 100.0);
    const double wave = 40.0 + random() % 80;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < kPageDots; ++x) {
            const double r = std::hypot(x - cx, y - cy);
            const double grey = 0.575 + 0.375 * std::sin(r / wave) * std::cos(x / (2.5 * wave));
            if (grey * 64 > bayer[y % 8][x % 8])
                page.SetDot(x, y);
        }
    }
    return page;
}

PageImage MakeNoisePage(unsigned seed, int height)
{
    PageImage page(height);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        unsigned char *row = page.Row(y);
        for (int i = 0; i < kRowBytes; ++i) {
            const unsigned value = random();
            // About one byte in sixteen white, the rest any dots.
            row[i] = (value & 0xF00) == 0 ? 0 : static_cast<unsigned char>(value | 1);
        }
    }
    return page;
}

} // namespace jobwriter
