// The class library's pictures: 24-bit bitmaps, JPEG images decoded by
// libjpeg (damaged ones raise, never crash), and the picture holder that
// picks the kind by file name, from a machine root and from Qt's resources.

#include <functional>
#include <string>
#include <vector>

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QImageWriter>

#include <gtest/gtest.h>

#include "AnsiString.h"
#include "Bitmap.h"
#include "Exceptions.h"
#include "FileContents.h"
#include "ForgedInput.h"
#include "GuiApplication.h"
#include "JpegImage.h"
#include "Picture.h"
#include "TempMachineRoot.h"
#include "machine/Paths.h"

namespace {

using testsupport::Bytes;

void PutLittle(Bytes &bytes, unsigned value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A 24-bit BMP file, rows bottom-up and padded to four bytes, as the
// class library writes them. `colour(x, y)` gives 0xRRGGBB, y = 0 the top.
// The header is the info header of 40 bytes, the core header of 12 with
// 16-bit sizes, or a later info header (52 to 124 bytes) whose fields past
// the first 40 bytes are zero.
Bytes Bitmap24(int width, int height, const std::function<unsigned(int, int)> &colour, unsigned header = 40)
{
    const int stride = (width * 3 + 3) / 4 * 4;
    const unsigned pixels = static_cast<unsigned>(stride * height);
    Bytes bytes = {'B', 'M'};
    PutLittle(bytes, 14 + header + pixels, 4);
    PutLittle(bytes, 0, 4);
    PutLittle(bytes, 14 + header, 4);
    PutLittle(bytes, header, 4);
    if (header == 12) {
        PutLittle(bytes, static_cast<unsigned>(width), 2);
        PutLittle(bytes, static_cast<unsigned>(height), 2);
        PutLittle(bytes, 1, 2);
        PutLittle(bytes, 24, 2);
    } else {
        PutLittle(bytes, static_cast<unsigned>(width), 4);
        PutLittle(bytes, static_cast<unsigned>(height), 4);
        PutLittle(bytes, 1, 2);
        PutLittle(bytes, 24, 2);
        PutLittle(bytes, 0, 4);
        PutLittle(bytes, pixels, 4);
        PutLittle(bytes, 3780, 4);
        PutLittle(bytes, 3780, 4);
        PutLittle(bytes, 0, 4); // colours used
        PutLittle(bytes, 0, 4); // colours important
        bytes.resize(14 + header);
    }
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x)
            PutLittle(bytes, colour(x, y), 3); // blue, green, red
        for (int pad = width * 3; pad < stride; ++pad)
            bytes.push_back(0);
    }
    return bytes;
}

unsigned Rgb(const QImage &image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }

// Four solid quarters, so that JPEG's losses stay small in their middles.
const unsigned kQuarters[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
unsigned Quarter(int x, int y, int width, int height) { return kQuarters[(y >= height / 2) * 2 + (x >= width / 2)]; }

// The JPEG file of an image, written by Qt's own JPEG writer, baseline or
// progressive.
Bytes JpegOf(const QImage &image, bool progressive = false)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(95);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return Bytes(data.begin(), data.end());
}

QImage QuartersImage(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, 0xFF000000u | Quarter(x, y, width, height));
    return image.convertToFormat(format);
}

Bytes QuartersJpeg(int width, int height) { return JpegOf(QuartersImage(width, height)); }

bool Near(unsigned got, unsigned wanted)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = static_cast<int>((got >> shift) & 0xFF), b = static_cast<int>((wanted >> shift) & 0xFF);
        if (a - b > 24 || b - a > 24)
            return false;
    }
    return true;
}

// Pictures as files of a fresh machine root, by their Windows paths.
class Pictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FRoot.Made());
        GuiApplication(); // Qt's image readers want an application
        FFolder = FRoot.Scratch("pictures");
    }

    // Writes the file into the scratch folder; returns its Windows path.
    AnsiString Put(const std::string &name, const Bytes &bytes)
    {
        EXPECT_TRUE(testsupport::WriteBytes(FFolder + "/" + name, bytes));
        return machine::WindowsPath(FFolder + "/" + name).c_str();
    }

private:
    testsupport::TempMachineRoot FRoot{"pictures-test"};
    std::string FFolder;
};

TEST_F(Pictures, BitmapKeepsEveryPixelOfA24BitFile)
{
    // Three pixels a row: each row carries padding; with each header size
    // the class library reads.
    auto colour = [](int x, int y) { return static_cast<unsigned>(0x102030 * (1 + x + 3 * y)) & 0xFFFFFFu; };
    for (unsigned header : {12u, 40u, 52u, 56u, 108u, 124u}) {
        SCOPED_TRACE(header);
        TBitmap bitmap;
        EXPECT_NO_THROW(bitmap.LoadFromFile(Put("rows.bmp", Bitmap24(3, 2, colour, header))));
        ASSERT_EQ(bitmap.Width(), 3);
        ASSERT_EQ(bitmap.Height(), 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(Rgb(bitmap.Image(), x, y), colour(x, y)) << x << "," << y;
    }
}

TEST_F(Pictures, TransparentBitmapLeavesItsBottomLeftColourUndrawn)
{
    auto colour = [](int x, int y) { return (x + y) % 2 ? 0xFF00FFu : 0x00FF00u; };
    TBitmap bitmap;
    bitmap.LoadFromFile(Put("checks.bmp", Bitmap24(4, 3, colour)));
    EXPECT_EQ(bitmap.TransparentColor(), 0x00FF00u) << "the bottom-left pixel";
    EXPECT_EQ(bitmap.Image().pixel(0, 2) >> 24, 0xFFu) << "opaque until made transparent";

    bitmap.SetTransparent(true);
    const QImage drawn = bitmap.Image();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(qAlpha(drawn.pixel(x, y)), colour(x, y) == 0x00FF00u ? 0 : 255) << x << "," << y;
}

TEST_F(Pictures, BadBitmapRaisesAndKeepsThePicture)
{
    Bytes good = Bitmap24(8, 8, [](int, int) { return 0x123456u; });
    Bytes cut(good.begin(), good.begin() + 60);
    Bytes noMark = good;
    noMark[0] = 'X';
    // 34 bytes: a header of 16 bytes, whose 16-bit sizes announce 8192 x
    // 4095 pixels, and no pixels.
    Bytes header16 = {'B', 'M'};
    PutLittle(header16, 34, 4);
    PutLittle(header16, 0, 4);
    PutLittle(header16, 30, 4);
    PutLittle(header16, 16, 4);
    PutLittle(header16, 8192, 2);
    PutLittle(header16, 4095, 2);
    PutLittle(header16, 1, 2);
    PutLittle(header16, 24, 2);
    PutLittle(header16, 0, 4);
    PutLittle(header16, 1, 4);
    // An info header announcing 2^31 - 1 pixels each way, and a few pixels.
    Bytes huge = Bitmap24(2, 2, [](int, int) { return 0u; });
    for (int at : {18, 22})
        for (int i = 0; i < 4; ++i)
            huge[static_cast<size_t>(at + i)] = i == 3 ? 0x7F : 0xFF;
    Bytes topDownHuge = huge;
    topDownHuge[22] = topDownHuge[23] = topDownHuge[24] = 0;
    topDownHuge[25] = 0x80; // height -2^31
    // A 108-byte header in a file that ends 20 bytes into it.
    Bytes cutHeader = Bitmap24(2, 2, [](int, int) { return 0u; }, 108);
    cutHeader.resize(14 + 20);
    struct Case {
        const char *what;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"only the mark", {'B', 'M'}},
        {"header without pixels", cut},
        {"no BM mark", noMark},
        {"a JPEG", QuartersJpeg(8, 8)},
        {"a 16-byte header", header16},
        {"2^31 - 1 pixels each way", huge},
        {"2^31 - 1 pixels wide, 2^31 high top-down", topDownHuge},
        {"cut inside its header", cutHeader},
    };
    TBitmap bitmap;
    bitmap.LoadFromFile(Put("good.bmp", good));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        try {
            bitmap.LoadFromFile(Put("bad.bmp", c.bytes));
            ADD_FAILURE() << "no error raised";
        } catch (const EInvalidGraphic &error) {
            EXPECT_EQ(error.Message(), "Bitmap image is not valid");
        }
        EXPECT_EQ(bitmap.Width(), 8);
        EXPECT_EQ(Rgb(bitmap.Image(), 7, 7), 0x123456u);
    }
}

TEST_F(Pictures, JpegDecodesColourAndGreyPictures)
{
    struct Case {
        const char *what;
        QImage::Format format;
        bool grey;
        bool progressive;
    } cases[] = {{"colour", QImage::Format_RGB32, false, false},
                 {"grey", QImage::Format_Grayscale8, true, false},
                 {"progressive colour", QImage::Format_RGB32, false, true}};
    // A grey file has one component; the picture still gives RGB pixels.
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QImage source = QuartersImage(64, 48, c.format);
        TJPEGImage jpeg;
        jpeg.LoadFromFile(Put("quarters.jpg", JpegOf(source, c.progressive)));
        ASSERT_EQ(jpeg.Width(), 64);
        ASSERT_EQ(jpeg.Height(), 48);
        const QImage image = jpeg.Image();
        for (int quarter = 0; quarter < 4; ++quarter) {
            const int x = quarter % 2 ? 48 : 16, y = quarter / 2 ? 36 : 12;
            const unsigned wanted = Rgb(source, x, y);
            EXPECT_EQ(wanted == kQuarters[quarter], !c.grey);
            EXPECT_TRUE(Near(Rgb(image, x, y), wanted)) << std::hex << Rgb(image, x, y) << " for " << wanted;
        }
    }
}

TEST_F(Pictures, DamagedJpegRaisesAndKeepsThePicture)
{
    const Bytes good = QuartersJpeg(64, 48);
    ASSERT_GT(good.size(), 200u);
    // Offsets of the frame header (SOF0) and its height and width.
    size_t frame = 2;
    while (frame + 3 < good.size() && !(good[frame] == 0xFF && good[frame + 1] == 0xC0))
        ++frame;
    ASSERT_LT(frame + 9, good.size());

    Bytes zeroHeight = good;
    zeroHeight[frame + 5] = zeroHeight[frame + 6] = 0;
    Bytes huge = good;
    huge[frame + 5] = huge[frame + 7] = 0xFF;
    huge[frame + 6] = huge[frame + 8] = 0xDC; // 65500 x 65500
    Bytes noEnd(good.begin(), good.end() - 2);
    Bytes garbage = {0xFF, 0xD8};
    for (int i = 0; i < 100; ++i)
        garbage.push_back(static_cast<unsigned char>(i * 37));

    const std::string forged = testsupport::ProgressiveJpegHeader(9450, 9450);
    struct Case {
        const char *what;
        Bytes bytes;
        const char *message = nullptr; // else any "JPEG ..."
    } cases[] = {
        {"empty", {}},
        {"only the start mark", {0xFF, 0xD8}},
        {"cut after the headers", Bytes(good.begin(), good.begin() + static_cast<long>(frame) + 40)},
        {"cut in half", Bytes(good.begin(), good.begin() + static_cast<long>(good.size() / 2))},
        {"without its end mark", noEnd},
        {"height 0", zeroHeight},
        {"65500 x 65500 pixels", huge, "JPEG image is too large"},
        // Its pixels are within the bound, the decoder's coefficients twice
        // that: refused before libjpeg allocates them.
        {"progressive, 9450 x 9450 pixels in 126 bytes", Bytes(forged.begin(), forged.end()),
         "JPEG image is too large"},
        {"garbage after the start mark", garbage},
        {"a bitmap", Bitmap24(4, 4, [](int, int) { return 0u; })},
    };
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Put("good.jpg", good));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        try {
            jpeg.LoadFromFile(Put("bad.jpg", c.bytes));
            ADD_FAILURE() << "no error raised";
        } catch (const EJPEG &error) {
            if (c.message)
                EXPECT_EQ(error.Message(), c.message);
            else
                EXPECT_EQ(error.Message().SubString(1, 5), "JPEG ") << error.Message();
        }
        EXPECT_EQ(jpeg.Width(), 64);
        EXPECT_EQ(jpeg.Height(), 48);
    }
    // Part of the class library's family: a program's handler shows it.
    EXPECT_THROW(jpeg.LoadFromFile(Put("bad.jpg", {})), EInvalidGraphic);
    EXPECT_THROW(jpeg.LoadFromFile(Put("bad.jpg", {})), Exception);
}

TEST_F(Pictures, PictureTakesTheKindFromTheExtension)
{
    const Bytes bitmap = Bitmap24(5, 3, [](int, int) { return 0xABCDEFu; });
    const Bytes jpeg = QuartersJpeg(16, 8);
    struct Case {
        const char *name;
        const Bytes *bytes;
        bool isBitmap;
    } cases[] = {
        {"a.bmp", &bitmap, true},   {"b.BMP", &bitmap, true},    {"c.jpg", &jpeg, false},
        {"d.JPG", &jpeg, false},    {"e.jpeg", &jpeg, false},    {"f.Jpeg", &jpeg, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TPicture picture;
        picture.LoadFromFile(Put(c.name, *c.bytes));
        ASSERT_NE(picture.Graphic(), nullptr);
        EXPECT_EQ(dynamic_cast<TBitmap *>(picture.Graphic()) != nullptr, c.isBitmap);
        EXPECT_EQ(dynamic_cast<TJPEGImage *>(picture.Graphic()) != nullptr, !c.isBitmap);
        EXPECT_EQ(picture.Width(), c.isBitmap ? 5 : 16);
        EXPECT_EQ(picture.Height(), c.isBitmap ? 3 : 8);
    }
}

TEST_F(Pictures, PictureErrorsLeaveWhatItHeld)
{
    TPicture picture;
    picture.LoadFromFile(Put("kept.bmp", Bitmap24(2, 2, [](int, int) { return 0u; })));
    int changes = 0;
    picture.SetOnChange([&changes] { ++changes; });

    struct Case {
        const char *what;
        AnsiString name;
        const char *message;
    } cases[] = {
        {"unknown extension", Put("x.png", {1, 2, 3}), "Unknown picture file extension (.png)"},
        {"no extension", Put("noext", {1, 2, 3}), "Unknown picture file extension (.)"},
        {"a dot in a folder's name only", "C:\\a.b\\c", "Unknown picture file extension (.)"},
        {"missing file", "C:\\missing.bmp", "Cannot open file \"C:\\missing.bmp\""},
        {"missing resource", ":/pictures-test/missing.jpg", "Cannot open file \":/pictures-test/missing.jpg\""},
        {"damaged file", Put("damaged.jpg", {0xFF, 0xD8, 0xFF}), nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        try {
            picture.LoadFromFile(c.name);
            ADD_FAILURE() << "no error raised";
        } catch (const Exception &error) {
            if (c.message) {
                EXPECT_EQ(error.Message(), c.message);
            }
        }
        EXPECT_EQ(picture.Width(), 2);
    }
    EXPECT_EQ(changes, 0);
}

TEST_F(Pictures, PictureLoadsFromTheProgramsResources)
{
    TPicture picture;
    picture.LoadFromFile(":/pictures-test/four.bmp");
    ASSERT_EQ(picture.Width(), 2);
    const QImage image = picture.Graphic()->Image();
    EXPECT_EQ(Rgb(image, 0, 0), 0x00FF00u);
    EXPECT_EQ(Rgb(image, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(Rgb(image, 0, 1), 0x0000FFu);
    EXPECT_EQ(Rgb(image, 1, 1), 0xFF0000u);
}

TEST_F(Pictures, AssignCopiesThePicture)
{
    TPicture normal, shown;
    normal.LoadFromFile(Put("normal.bmp", Bitmap24(3, 3, [](int, int) { return 0x112233u; })));
    int changes = 0;
    shown.SetOnChange([&changes] { ++changes; });

    shown.Assign(&normal);
    EXPECT_EQ(changes, 1);
    ASSERT_NE(shown.Graphic(), nullptr);
    EXPECT_NE(shown.Graphic(), normal.Graphic()) << "a copy, not the same graphic";
    EXPECT_NE(dynamic_cast<TBitmap *>(shown.Graphic()), nullptr);

    // Later changes of either leave the other alone.
    normal.LoadFromFile(Put("big.jpg", QuartersJpeg(32, 32)));
    EXPECT_EQ(shown.Width(), 3);
    EXPECT_EQ(Rgb(shown.Graphic()->Image(), 1, 1), 0x112233u);
    shown.Graphic()->SetTransparent(true);
    EXPECT_FALSE(normal.Graphic()->Transparent());

    shown.Assign(&shown);
    EXPECT_EQ(shown.Width(), 3) << "assigning itself keeps the picture";

    TPicture empty;
    shown.Assign(&empty);
    EXPECT_EQ(shown.Graphic(), nullptr);
    EXPECT_EQ(shown.Width(), 0);
    shown.Assign(&normal);
    shown.Assign(nullptr);
    EXPECT_EQ(shown.Graphic(), nullptr);
}

} // namespace
