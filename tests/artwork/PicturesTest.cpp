// The pictures that the forms take by file name: their kind, size and bit
// depth as the forms expect them, and the key colour that makes glyphs and
// button looks transparent.
#include <gtest/gtest.h>

#include <string>

#include "FileContents.h"

namespace {

const std::string kSource = ARV_SOURCE_DIR;

unsigned Le(const std::string &b, size_t at, int bytes)
{
    unsigned value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(b[at + static_cast<size_t>(i)]);
    return value;
}

struct Size {
    int Width;
    int Height;
};

// Width and height from the frame header of a baseline JPEG; 0 x 0 when
// there is none.
Size JpegSize(const std::string &b)
{
    if (b.size() < 4 || static_cast<unsigned char>(b[0]) != 0xFF || static_cast<unsigned char>(b[1]) != 0xD8)
        return {0, 0};
    size_t at = 2;
    while (at + 9 < b.size() && static_cast<unsigned char>(b[at]) == 0xFF) {
        const unsigned marker = static_cast<unsigned char>(b[at + 1]);
        const unsigned length = static_cast<unsigned char>(b[at + 2]) << 8 | static_cast<unsigned char>(b[at + 3]);
        if (marker == 0xC0) // baseline frame: precision, height, width
            return {static_cast<int>(static_cast<unsigned char>(b[at + 7]) << 8 | static_cast<unsigned char>(b[at + 8])),
                    static_cast<int>(static_cast<unsigned char>(b[at + 5]) << 8 | static_cast<unsigned char>(b[at + 6]))};
        at += 2 + length;
    }
    return {0, 0};
}

struct Bmp {
    bool Ok = false;
    int Width = 0;
    int Height = 0;
    int Bits = 0;
    std::string Bytes;
    // Blue, green, red of pixel (x, y), y from the top.
    unsigned Pixel(int x, int y) const
    {
        const size_t stride = (static_cast<size_t>(Width) * 3 + 3) / 4 * 4;
        const size_t at = Le(Bytes, 10, 4) + stride * static_cast<size_t>(Height - 1 - y) + static_cast<size_t>(x) * 3;
        return Le(Bytes, at, 3);
    }
};

Bmp ReadBmp(const std::string &path)
{
    Bmp bmp;
    bmp.Bytes = testsupport::ReadText(path);
    if (bmp.Bytes.size() < 54 || bmp.Bytes.compare(0, 2, "BM") != 0 || Le(bmp.Bytes, 30, 4) != 0)
        return bmp;
    bmp.Width = static_cast<int>(Le(bmp.Bytes, 18, 4));
    bmp.Height = static_cast<int>(Le(bmp.Bytes, 22, 4));
    bmp.Bits = static_cast<int>(Le(bmp.Bytes, 28, 2));
    const size_t stride = (static_cast<size_t>(bmp.Width) * 3 + 3) / 4 * 4;
    bmp.Ok = bmp.Bytes.size() >= Le(bmp.Bytes, 10, 4) + stride * static_cast<size_t>(bmp.Height);
    return bmp;
}

TEST(Pictures, BackgroundsAreJpegsOfTheirSize)
{
    const struct {
        const char *File;
        Size Expected;
    } cases[] = {
        {"scanner/res/background.jpg", {426, 345}},
        {"installer/res/home.jpg", {685, 428}},
        {"installer/res/page.jpg", {685, 428}},
    };
    for (const auto &c : cases) {
        const Size size = JpegSize(testsupport::ReadText(kSource + "/" + c.File));
        EXPECT_EQ(size.Width, c.Expected.Width) << c.File;
        EXPECT_EQ(size.Height, c.Expected.Height) << c.File;
    }
}

// Glyphs and button looks leave out the colour of their bottom-left pixel:
// it must fill their corners, and the picture must hold other colours too.
TEST(Pictures, BitmapsAre24BitOfTheirSize)
{
    const struct {
        const char *File;
        Size Expected;
        bool Keyed;
    } cases[] = {
        {"scanner/res/scan.bmp", {32, 32}, true},
        {"scanner/res/close.bmp", {32, 32}, true},
        {"scanner/res/folder.bmp", {32, 32}, true},
        {"installer/res/flag_cn.bmp", {48, 33}, false},
        {"installer/res/flag_fr.bmp", {48, 33}, false},
        {"installer/res/flag_uk.bmp", {64, 33}, false},
        {"installer/res/button_normal.bmp", {88, 52}, true},
        {"installer/res/button_hover.bmp", {88, 52}, true},
        {"installer/res/button_pressed.bmp", {88, 52}, true},
    };
    for (const auto &c : cases) {
        const Bmp bmp = ReadBmp(kSource + "/" + c.File);
        ASSERT_TRUE(bmp.Ok) << c.File;
        EXPECT_EQ(bmp.Width, c.Expected.Width) << c.File;
        EXPECT_EQ(bmp.Height, c.Expected.Height) << c.File;
        EXPECT_EQ(bmp.Bits, 24) << c.File;
        if (!c.Keyed)
            continue;
        const unsigned key = bmp.Pixel(0, bmp.Height - 1);
        EXPECT_EQ(bmp.Pixel(0, 0), key) << c.File;
        EXPECT_EQ(bmp.Pixel(bmp.Width - 1, 0), key) << c.File;
        EXPECT_EQ(bmp.Pixel(bmp.Width - 1, bmp.Height - 1), key) << c.File;
        EXPECT_NE(bmp.Pixel(bmp.Width / 2, bmp.Height / 2), key) << c.File;
    }
}

TEST(Pictures, MessageIconHoldsThreeSizes)
{
    const std::string icon = testsupport::ReadText(kSource + "/installer/res/message.ico");
    ASSERT_GE(icon.size(), 6u + 3 * 16);
    EXPECT_EQ(Le(icon, 0, 2), 0u);
    EXPECT_EQ(Le(icon, 2, 2), 1u); // icon, not cursor
    ASSERT_EQ(Le(icon, 4, 2), 3u);
    const unsigned sizes[] = {48, 32, 16};
    for (int i = 0; i < 3; ++i) {
        const size_t entry = 6 + 16 * static_cast<size_t>(i);
        EXPECT_EQ(static_cast<unsigned char>(icon[entry]), sizes[i]);
        EXPECT_EQ(static_cast<unsigned char>(icon[entry + 1]), sizes[i]);
        EXPECT_LE(Le(icon, entry + 12, 4) + Le(icon, entry + 8, 4), icon.size());
    }
}

} // namespace
