// The zero-run line coding and the PBM files the stand-in reads and writes.
#include "Pbm.h"
#include "ZeroRun.h"

#include "HostLine.h"
#include "TempMachineRoot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

using standin::Bitmap;

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> bytes;
    for (int value : values)
        bytes.push_back(static_cast<uint8_t>(value));
    return bytes;
}

std::vector<uint8_t> Repeat(uint8_t value, size_t count) { return std::vector<uint8_t>(count, value); }

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> joined;
    for (const auto &part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

struct CodeCase {
    const char *name;
    std::vector<uint8_t> plain;
    std::vector<uint8_t> code;
};

} // namespace

TEST(ZeroRunCoding, EncodesAndDecodesByTheRule)
{
    const CodeCase cases[] = {
        {"empty", {}, {}},
        {"literals", Bytes({0x12, 0x34, 0xFF}), Bytes({0x12, 0x34, 0xFF})},
        {"one zero", Bytes({0x80, 0x00, 0x40}), Bytes({0x80, 0x00, 0x01, 0x40})},
        {"blank line", Repeat(0, 216), Bytes({0x00, 0xD8})},
        {"run of 255", Repeat(0, 255), Bytes({0x00, 0xFF})},
        {"run of 256", Repeat(0, 256), Bytes({0x00, 0xFF, 0x00, 0x01})},
        {"run of 510", Repeat(0, 510), Bytes({0x00, 0xFF, 0x00, 0xFF})},
        {"trailing run", Join({Bytes({0x12}), Repeat(0, 5), Bytes({0x34}), Repeat(0, 209)}),
         Bytes({0x12, 0x00, 0x05, 0x34, 0x00, 0xD1})},
    };
    for (const CodeCase &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> code;
        EXPECT_EQ(standin::EncodeZeroRun(c.plain.data(), c.plain.size(), &code), c.code.size());
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(standin::DecodeZeroRun(c.code.data(), c.code.size()), c.plain);
    }
}

TEST(ZeroRunCoding, DecodesZeroLengthRunsAsNothing)
{
    // The printer pads pages with 00 00 pairs; they add no dots.
    std::vector<uint8_t> code = Join({Bytes({0x80, 0x00, 0xD5, 0x00, 0x02, 0x40, 0x00, 0xD7}), Repeat(0, 216)});
    std::vector<uint8_t> plain = standin::DecodeZeroRun(code.data(), code.size());
    EXPECT_EQ(plain, Join({Bytes({0x80}), Repeat(0, 215), Bytes({0x40}), Repeat(0, 215)}));
}

TEST(ZeroRunCoding, StreamingDecoderAgreesAtEverySplit)
{
    std::vector<uint8_t> code = Bytes({0x11, 0x00, 0x07, 0x22, 0x00, 0x00, 0x00, 0xFF, 0x33, 0x00, 0x01});
    std::vector<uint8_t> whole = standin::DecodeZeroRun(code.data(), code.size());
    for (size_t split = 0; split <= code.size(); ++split) {
        SCOPED_TRACE(split);
        standin::ZeroRunDecoder decoder;
        std::vector<uint8_t> out;
        decoder.Feed(code.data(), split, &out);
        decoder.Feed(code.data() + split, code.size() - split, &out);
        EXPECT_EQ(out, whole);
        EXPECT_FALSE(decoder.PendingRun());
    }
}

TEST(ZeroRunCoding, DecoderStopsAtItsCap)
{
    standin::ZeroRunDecoder decoder(300);
    std::vector<uint8_t> code = Bytes({0x00, 0xFF, 0x00, 0xFF, 0x55});
    std::vector<uint8_t> out;
    decoder.Feed(code.data(), code.size(), &out);
    EXPECT_EQ(out.size(), 300u);
    EXPECT_EQ(decoder.Dropped(), 211u);
}

TEST(ZeroRunCoding, RecordLinesFitTheRecordLimit)
{
    struct RecordCase {
        const char *name;
        std::vector<uint8_t> line;
        bool clipped;
    };
    // 0x81 0x00 repeated codes to three bytes for every two line bytes.
    std::vector<uint8_t> alternating;
    for (size_t i = 0; i < 216; i += 2)
        alternating.insert(alternating.end(), {0x81, 0x00});
    std::vector<uint8_t> longTail = Join({Repeat(0x7E, 120), Repeat(0, 96)});
    // 255 bytes of code for the dots, 2 more for the white tail.
    std::vector<uint8_t> tailed = Repeat(0x7E, 96);
    for (int i = 0; i < 53; ++i)
        tailed.insert(tailed.end(), {0x00, 0x7E});
    tailed.resize(216, 0);
    const RecordCase cases[] = {
        {"short code kept whole", Join({Repeat(0x7E, 10), Repeat(0, 206)}), false},
        {"blank line", Repeat(0, 216), false},
        {"white tail within the limit", longTail, false},
        {"white tail left out", tailed, false},
        {"dense line clipped", alternating, true},
    };
    for (const RecordCase &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> code;
        bool clipped = true;
        size_t length = standin::EncodeRecordLine(c.line.data(), c.line.size(), 255, &code, &clipped);
        EXPECT_EQ(length, code.size());
        EXPECT_LE(code.size(), 255u);
        EXPECT_EQ(clipped, c.clipped);
        // The record never ends in a 00 without its count.
        standin::ZeroRunDecoder decoder;
        std::vector<uint8_t> plain;
        decoder.Feed(code.data(), code.size(), &plain);
        EXPECT_FALSE(decoder.PendingRun());
        // Read as the host reads a line: padded with zero bytes to 216.
        ASSERT_LE(plain.size(), c.line.size());
        plain.resize(c.line.size(), 0);
        if (c.clipped) {
            EXPECT_NE(plain, c.line);
            size_t kept = 0;
            while (kept < plain.size() && plain[kept] == c.line[kept])
                ++kept;
            EXPECT_GT(kept, 100u); // the start of the line is there
        } else {
            EXPECT_EQ(plain, c.line);
        }
    }
}

class PbmFiles : public ::testing::Test {
protected:
    std::string Path(const char *name) const { return root.Path() + "/" + name; }
    void WriteText(const std::string &path, const std::string &text) const
    {
        std::ofstream(path, std::ios::binary) << text;
    }
    testsupport::TempMachineRoot root;
};

TEST_F(PbmFiles, RoundTripKeepsEveryDot)
{
    Bitmap bitmap;
    bitmap.height = 5;
    bitmap.rows.resize(216 * 5);
    for (size_t i = 0; i < bitmap.rows.size(); ++i)
        bitmap.rows[i] = static_cast<uint8_t>(i * 37 + 11);
    ASSERT_TRUE(standin::WritePbm(Path("page.pbm"), bitmap));
    Bitmap back;
    ASSERT_TRUE(standin::ReadPbm(Path("page.pbm"), &back));
    EXPECT_EQ(back.width, 1728);
    EXPECT_EQ(back.height, 5);
    EXPECT_EQ(back.rows, bitmap.rows);
}

TEST_F(PbmFiles, ReadsHeadersWithComments)
{
    WriteText(Path("c.pbm"), std::string("P4\n# made by hand\n16 # width\n2\n") + std::string("\x80\x01\xFF\x00", 4));
    Bitmap bitmap;
    ASSERT_TRUE(standin::ReadPbm(Path("c.pbm"), &bitmap));
    EXPECT_EQ(bitmap.width, 16);
    EXPECT_EQ(bitmap.height, 2);
    EXPECT_EQ(bitmap.rows, Bytes({0x80, 0x01, 0xFF, 0x00}));
}

TEST_F(PbmFiles, RefusesDamagedFiles)
{
    const struct {
        const char *name;
        std::string text;
    } cases[] = {
        {"plain PBM", "P1\n2 1\n0 1\n"},
        {"raster short", "P4\n16 2\n\x80\x01\xFF"},
        {"no height", "P4\n16\n"},
        {"zero width", "P4\n0 1\n\n"},
        {"huge size", "P4\n99999999999 1\n"},
        {"empty", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WriteText(Path("bad.pbm"), c.text);
        Bitmap bitmap;
        EXPECT_FALSE(standin::ReadPbm(Path("bad.pbm"), &bitmap));
    }
    Bitmap bitmap;
    EXPECT_FALSE(standin::ReadPbm(Path("missing.pbm"), &bitmap));
}

TEST_F(PbmFiles, PartialLastLineIsPaddedWhite)
{
    std::vector<uint8_t> lines = Join({Repeat(0xAA, 216), Bytes({0x01, 0x02})});
    Bitmap bitmap = standin::BitmapFromLines(lines.data(), lines.size());
    EXPECT_EQ(bitmap.height, 2);
    EXPECT_EQ(bitmap.rows, Join({Repeat(0xAA, 216), Bytes({0x01, 0x02}), Repeat(0, 214)}));
}
