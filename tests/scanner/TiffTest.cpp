// The TIFF builder over scan records: the file image's layout, the decoding
// of zero-run lines, line doubling, pages that fill up before their end
// record, damaged input and documents larger than the block; and its two
// other inputs, a records file and a parsed print job.
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>

#include "FileContents.h"
#include "JobBytes.h"
#include "ScanRecords.h"
#include "TempMachineRoot.h"
#include "machine/MachineRoot.h"

namespace scanner_test {
namespace {

// A builder over a stream of records, converted.
struct Built {
    TMemoryStream Stream;
    std::unique_ptr<TTiff> Tiff;

    Built(const ScanRecords &records, int pages)
    {
        records.Into(Stream);
        Tiff = std::make_unique<TTiff>(&Stream, pages);
        Tiff->Convert();
    }
    const unsigned char *Image() const { return Tiff->LastBlock(); }
    int Used() const { return TTiffInputs::Used(*Tiff); }
    int Capacity() const { return Tiff->LastBlockCapacity(); }
    TiffImage Read() const { return TiffImage(Image(), static_cast<size_t>(Used())); }
    Bytes Row(int page, int row) const { return RowOf(Image(), page, row); }
};

const Bytes kZeroRow(kRowBytes, 0);

// Pages of `lines[k]` numbered lines each, numbered on through the
// document, ended by next-page records and the end record.
ScanRecords NumberedPages(const std::vector<int> &lines, int doubling = 1)
{
    ScanRecords records;
    records.PageHeader(doubling);
    int index = 0;
    for (size_t k = 0; k < lines.size(); ++k) {
        for (int i = 0; i < lines[k]; ++i)
            records.Line(NumberedLine(index++));
        if (k + 1 < lines.size())
            records.NextPage();
    }
    records.End();
    return records;
}

int ImageSize(int pages)
{
    return 8 + pages * kPageStride;
}

TEST(Tiff, OnePageLayout)
{
    Built built(ScanRecords().PageHeader().Line({0x12, 0x00, 0x05, 0x34}).End(), 1);
    ASSERT_NE(built.Image(), nullptr);
    EXPECT_EQ(built.Tiff->GetBlocks()->size(), 1u);
    EXPECT_EQ(built.Capacity(), 950400);
    EXPECT_EQ(built.Used(), 475386);

    const unsigned char *image = built.Image();
    EXPECT_EQ(Bytes(image, image + 8), (Bytes{0x49, 0x49, 0x2A, 0x00, 0x58, 0x40, 0x07, 0x00})); // 475,224

    Bytes first(kRowBytes, 0);
    first[0] = 0x12;
    first[6] = 0x34;
    EXPECT_EQ(built.Row(0, 0), first);
    for (int row = 1; row < kPageRows; ++row)
        ASSERT_EQ(built.Row(0, row), kZeroRow) << row;

    EXPECT_EQ(TiffImage::Read32(image + 475208), 204u);
    EXPECT_EQ(TiffImage::Read32(image + 475212), 1u);
    EXPECT_EQ(TiffImage::Read32(image + 475216), 196u);
    EXPECT_EQ(TiffImage::Read32(image + 475220), 1u);

    const TiffImage tiff = built.Read();
    ASSERT_FALSE(tiff.Broken);
    ASSERT_EQ(tiff.Pages.size(), 1u);
    EXPECT_EQ(tiff.Pages[0].At, 475224u);
    EXPECT_EQ(tiff.Pages[0].Next, 0u);
    const IfdEntry expected[] = {
        {256, 3, 1, 1728}, {257, 3, 1, 2200},   {258, 3, 1, 1},      {259, 3, 1, 1},      {262, 3, 1, 0},
        {266, 3, 1, 1},    {273, 4, 1, 8},      {277, 3, 1, 1},      {278, 3, 1, 2200},   {279, 4, 1, 475200},
        {282, 5, 1, 475208}, {283, 5, 1, 475216}, {296, 3, 1, 2},
    };
    ASSERT_EQ(tiff.Pages[0].Entries.size(), 13u);
    for (size_t i = 0; i < 13; ++i) {
        const IfdEntry &e = tiff.Pages[0].Entries[i];
        EXPECT_EQ(e.Tag, expected[i].Tag) << i;
        EXPECT_EQ(e.Type, expected[i].Type) << i;
        EXPECT_EQ(e.Count, expected[i].Count) << i;
        EXPECT_EQ(e.Value, expected[i].Value) << i;
    }
}

struct LineCase {
    const char *name;
    Bytes code;
    Bytes row; // the leading bytes of the row; the rest is zero
};

Bytes Repeat(unsigned char value, int count)
{
    return Bytes(static_cast<size_t>(count), value);
}

Bytes operator+(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Tiff, DecodesEachLineToARowOf216Bytes)
{
    const LineCase cases[] = {
        {"literal, run, literal", {0x12, 0x00, 0x05, 0x34}, {0x12, 0, 0, 0, 0, 0, 0x34}},
        {"exactly 216 bytes", Repeat(0x5A, 216), Repeat(0x5A, 216)},
        {"216 bytes with a run", {0x77, 0x00, 214, 0x88}, Bytes{0x77} + Repeat(0, 214) + Bytes{0x88}},
        {"length 0", {}, {}},
        {"a run of 0", {0x00, 0x00, 0xAB}, {0xAB}},
        // More than 216 bytes: the row keeps its first 216.
        {"literals past 216", Repeat(0x01, 200) + Bytes{0x00, 20, 0x02, 0x03}, Repeat(0x01, 200)},
        {"a run past 256", {0x00, 0xFF, 0x09}, {}},
        {"255 literals", Repeat(0x3C, 255), Repeat(0x3C, 216)},
        // A 00 with no count byte inside the record stands for nothing.
        {"00 as the last byte", {0x41, 0x00}, {0x41}},
        // Literal runs of about a machine word, around a run, at the
        // record's end and at the row's end.
        {"8 literals, a run, 9 literals", Repeat(0x11, 8) + Bytes{0x00, 3} + Repeat(0x22, 9),
         Repeat(0x11, 8) + Repeat(0, 3) + Repeat(0x22, 9)},
        {"a run after 7 literals", Repeat(0x09, 7) + Bytes{0x00, 2, 0x0A}, Repeat(0x09, 7) + Bytes{0, 0, 0x0A}},
        {"the row ends inside 8 literals", Repeat(0x01, 211) + Repeat(0x02, 10), Repeat(0x01, 211) + Repeat(0x02, 5)},
        {"a run, then literals to the row's end", Bytes{0x00, 200} + Repeat(0x0F, 16),
         Repeat(0, 200) + Repeat(0x0F, 16)},
    };
    for (const LineCase &c : cases) {
        // The line before fills the work buffer, so a decoder that read
        // beyond the record would find non-zero bytes there.
        Built built(ScanRecords().PageHeader().Line(Repeat(0x7F, 255)).Line(c.code).End(), 1);
        ASSERT_NE(built.Image(), nullptr) << c.name;
        Bytes row = c.row;
        row.resize(kRowBytes, 0);
        EXPECT_EQ(built.Row(0, 1), row) << c.name;
        EXPECT_EQ(built.Row(0, 2), kZeroRow) << c.name;
        EXPECT_EQ(built.Used(), ImageSize(1)) << c.name;
        EXPECT_EQ(built.Read().Pages.size(), 1u) << c.name;
    }
}

TEST(Tiff, DoublingMakesTwoRowsOfEachLine)
{
    // 1,100 doubled lines fill a page; the end record then ends that page.
    Built full(NumberedPages({1100}, 0), 1);
    ASSERT_NE(full.Image(), nullptr);
    EXPECT_EQ(full.Used(), ImageSize(1));
    EXPECT_EQ(full.Read().Pages.size(), 1u);
    for (int i = 0; i < 1100; ++i) {
        ASSERT_EQ(full.Row(0, 2 * i), NumberedRow(i)) << i;
        ASSERT_EQ(full.Row(0, 2 * i + 1), NumberedRow(i)) << i;
    }

    // The 1,101st line starts the next page.
    Built over(NumberedPages({1101}, 0), 2);
    ASSERT_EQ(over.Read().Pages.size(), 2u);
    EXPECT_EQ(over.Row(1, 0), NumberedRow(1100));
    EXPECT_EQ(over.Row(1, 1), NumberedRow(1100));
    EXPECT_EQ(over.Row(1, 2), kZeroRow);
}

TEST(Tiff, APageEndsAt2200Rows)
{
    // 2,205 lines before the next-page record: the last five start page 2.
    Built built(NumberedPages({2205, 3}), 3);
    const TiffImage tiff = built.Read();
    ASSERT_FALSE(tiff.Broken);
    ASSERT_EQ(tiff.Pages.size(), 3u);
    EXPECT_EQ(built.Row(0, 2199), NumberedRow(2199));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(built.Row(1, i), NumberedRow(2200 + i));
    EXPECT_EQ(built.Row(1, 5), kZeroRow);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(built.Row(2, i), NumberedRow(2205 + i));
    EXPECT_EQ(built.Row(2, 3), kZeroRow);
    EXPECT_EQ(built.Used(), ImageSize(3));

    // Exactly 2,200 lines: the end record ends the full page, and no empty
    // page follows it.
    for (const std::vector<int> &pages : {std::vector<int>{2200}, std::vector<int>{2200, 1}, std::vector<int>{2200, 2200}}) {
        const int count = static_cast<int>(pages.size());
        Built exact(NumberedPages(pages), count);
        EXPECT_EQ(exact.Read().Pages.size(), pages.size()) << count;
        EXPECT_EQ(exact.Used(), ImageSize(count)) << count;
        EXPECT_EQ(exact.Row(count - 1, 0), NumberedRow(2200 * (count - 1))) << count;
    }
}

TEST(Tiff, PageHeaderMidPageSwitchesDoubling)
{
    ScanRecords records;
    records.PageHeader(1).Line(NumberedLine(0)).Line(NumberedLine(1)).Line(NumberedLine(2));
    records.PageHeader(0).Line(NumberedLine(3)).Line(NumberedLine(4)).NextPage();
    records.Line(NumberedLine(5)).PageHeader(7).Line(NumberedLine(6)); // 7 leaves doubling on
    records.PageHeader(1).Line(NumberedLine(7)).End();
    Built built(records, 2);

    ASSERT_EQ(built.Read().Pages.size(), 2u);
    const int page0[] = {0, 1, 2, 3, 3, 4, 4};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(built.Row(0, i), NumberedRow(page0[i])) << i;
    EXPECT_EQ(built.Row(0, 7), kZeroRow);
    const int page1[] = {5, 5, 6, 6, 7};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(built.Row(1, i), NumberedRow(page1[i])) << i;
    EXPECT_EQ(built.Row(1, 5), kZeroRow);
    EXPECT_EQ(built.Used(), ImageSize(2));
}

TEST(Tiff, SecondCopyOfRow2200IsDropped)
{
    // Doubling comes on after 2,199 rows: line 2199 makes row 2,200 and its
    // copy has no place; line 2200 starts the next page, doubled.
    ScanRecords records;
    records.PageHeader(1);
    for (int i = 0; i < 2199; ++i)
        records.Line(NumberedLine(i));
    records.PageHeader(0).Line(NumberedLine(2199)).Line(NumberedLine(2200)).End();
    Built built(records, 2);
    ASSERT_EQ(built.Read().Pages.size(), 2u);
    EXPECT_EQ(built.Row(0, 2198), NumberedRow(2198));
    EXPECT_EQ(built.Row(0, 2199), NumberedRow(2199));
    EXPECT_EQ(built.Row(1, 0), NumberedRow(2200));
    EXPECT_EQ(built.Row(1, 1), NumberedRow(2200));
    EXPECT_EQ(built.Row(1, 2), kZeroRow);
    EXPECT_EQ(built.Used(), ImageSize(2));
}

TEST(Tiff, DocumentOfPPages)
{
    for (int pages = 1; pages <= 3; ++pages) {
        std::vector<int> lines;
        for (int k = 0; k < pages; ++k)
            lines.push_back(k + 1);
        Built built(NumberedPages(lines), pages);
        EXPECT_EQ(built.Capacity(), (pages + 1) * kPageData) << pages;
        EXPECT_EQ(built.Used(), ImageSize(pages)) << pages;
        const TiffImage tiff = built.Read();
        ASSERT_FALSE(tiff.Broken) << pages;
        ASSERT_EQ(tiff.Pages.size(), static_cast<size_t>(pages));
        int first = 0;
        for (int k = 0; k < pages; ++k) {
            const uint32_t data = 8 + k * kPageStride;
            EXPECT_EQ(tiff.Pages[k].At, data + 475216) << k;
            EXPECT_EQ(tiff.Pages[k].Value(273), data) << k;
            EXPECT_EQ(tiff.Pages[k].Value(282), data + 475200) << k;
            EXPECT_EQ(tiff.Pages[k].Value(283), data + 475208) << k;
            EXPECT_EQ(tiff.Pages[k].Next, k + 1 < pages ? data + kPageStride + 475216 : 0u) << k;
            for (int i = 0; i <= k; ++i)
                EXPECT_EQ(built.Row(k, i), NumberedRow(first + i)) << k << " " << i;
            EXPECT_EQ(built.Row(k, k + 1), kZeroRow) << k;
            first += k + 1;
        }
    }
}

TEST(Tiff, EmptyInputGivesNoBlock)
{
    Built empty(ScanRecords(), 1);
    EXPECT_EQ(empty.Image(), nullptr);
    EXPECT_TRUE(empty.Tiff->GetBlocks()->empty());

    TTiff none(nullptr, 1);
    none.Convert();
    EXPECT_EQ(none.LastBlock(), nullptr);
    EXPECT_EQ(none.LastBlockCapacity(), 0);

    // A page count that gives no block size.
    Built negative(NumberedPages({1}), -1);
    EXPECT_EQ(negative.Image(), nullptr);
}

TEST(Tiff, ConvertsOnce)
{
    Built built(NumberedPages({1}), 1);
    const unsigned char *block = built.Image();
    ASSERT_NE(block, nullptr);
    NumberedPages({5, 5}).Into(built.Stream);
    built.Tiff->Convert();
    EXPECT_EQ(built.Image(), block);
    EXPECT_EQ(built.Tiff->GetBlocks()->size(), 1u);
    EXPECT_EQ(built.Used(), ImageSize(1));
}

struct Damage {
    const char *name;
    std::initializer_list<int> bytes;
};

TEST(Tiff, DamagedInputKeepsTheCompletePages)
{
    const Damage damages[] = {
        {"a stray byte", {0x00}},
        {"an unknown kind", {0xFE, 0xF4, 0, 0, 0, 0}},
        {"a line cut short", {0xFE, 0xF3, 10, 1, 2, 3, 4, 5, 6, 7}},
        {"a line without its length", {0xFE, 0xF3}},
        {"a page header cut short", {0xFE, 0xF2, 0x11}},
        {"a lone lead byte", {0xFE}},
    };
    for (const Damage &d : damages) {
        // One complete page, then a page whose second line is damaged.
        ScanRecords records;
        records.PageHeader().Line(NumberedLine(0)).NextPage().Line(NumberedLine(1)).Raw(d.bytes);
        Built built(records, 2);
        ASSERT_NE(built.Image(), nullptr) << d.name;
        const TiffImage tiff = built.Read();
        EXPECT_FALSE(tiff.Broken) << d.name;
        ASSERT_EQ(tiff.Pages.size(), 1u) << d.name;
        EXPECT_EQ(tiff.Pages[0].Next, 0u) << d.name;
        EXPECT_EQ(built.Row(0, 0), NumberedRow(0)) << d.name;

        // The same damage on the first page leaves no page at all.
        ScanRecords first;
        first.PageHeader().Line(NumberedLine(0)).Raw(d.bytes);
        Built none(first, 1);
        ASSERT_NE(none.Image(), nullptr) << d.name;
        EXPECT_EQ(TiffImage::Read32(none.Image() + 4), 0u) << d.name;
        EXPECT_TRUE(none.Read().Pages.empty()) << d.name;
    }
}

TEST(Tiff, PagesBeyondTheBlockAreLeftOut)
{
    // Three pages announced as one: only the first fits.
    Built one(NumberedPages({1, 1, 1}), 1);
    EXPECT_EQ(one.Capacity(), 2 * kPageData);
    EXPECT_EQ(one.Used(), ImageSize(1));
    TiffImage tiff = one.Read();
    EXPECT_FALSE(tiff.Broken);
    ASSERT_EQ(tiff.Pages.size(), 1u);
    EXPECT_EQ(tiff.Pages[0].Next, 0u);

    // Full pages that overflow into one more page than announced.
    Built over(NumberedPages({2200 + 1}), 1);
    EXPECT_EQ(over.Used(), ImageSize(1));
    EXPECT_EQ(over.Read().Pages.size(), 1u);

    // None announced: no page fits, and the header says so.
    Built zero(NumberedPages({1}), 0);
    ASSERT_NE(zero.Image(), nullptr);
    EXPECT_EQ(zero.Used(), 8);
    EXPECT_EQ(TiffImage::Read32(zero.Image() + 4), 0u);
}

TEST(Tiff, ReadsARecordsFile)
{
    testsupport::TempMachineRoot root("arv-scanner", testsupport::Layout::Now);
    const std::string folder = machine::DriveFolder('c') + "/Scans";
    std::filesystem::create_directories(folder);
    const ScanRecords records = NumberedPages({3, 2});
    ASSERT_TRUE(testsupport::WriteBytes(folder + "/Records.bin", records.Get()));

    Built fromStream(records, 2);
    TTiff fromFile(nullptr, 2);
    TTiffInputs::SetFileName(fromFile, "c:\\SCANS\\records.bin");
    fromFile.Convert();
    ASSERT_NE(fromFile.LastBlock(), nullptr);
    ASSERT_EQ(TTiffInputs::Used(fromFile), fromStream.Used());
    EXPECT_EQ(fromFile.LastBlockCapacity(), fromStream.Capacity());
    EXPECT_EQ(Bytes(fromFile.LastBlock(), fromFile.LastBlock() + fromStream.Used()),
              Bytes(fromStream.Image(), fromStream.Image() + fromStream.Used()));

    ASSERT_TRUE(testsupport::WriteBytes(folder + "/empty.bin", {}));
    for (const char *name : {"C:\\Scans\\missing.bin", "C:\\Scans\\empty.bin", "C:\\Scans"}) {
        TTiff tiff(nullptr, 2);
        TTiffInputs::SetFileName(tiff, name);
        tiff.Convert();
        EXPECT_EQ(tiff.LastBlock(), nullptr) << name;
    }
}

TEST(Tiff, RendersThePagesOfAPrintJob)
{
    using printer_test::JobBytes;
    JobBytes job;
    job.DocumentStart().PageHeader('2');
    job.Row(1, {0xAA, 0xBB}).Row(3, {0xCC}); // an advance of 3 puts 3 white rows first
    job.Row(0, Repeat(0x66, 300));           // longer than a row: its first 216 bytes
    job.PageEnd().PageHeader('1');
    job.Row(2, {0x11}).Row(4, {0x22});       // threshold 2 at resolution '1'
    job.JobEnd("1");
    printer_test::ParsedJob parsed(job.Get());
    ASSERT_EQ(parsed.Result, 0);

    TTiff tiff(nullptr, 0);
    TTiffInputs::SetSource(tiff, parsed.File.get());
    tiff.Convert();
    ASSERT_NE(tiff.LastBlock(), nullptr);
    EXPECT_EQ(tiff.LastBlockCapacity(), 3 * kPageData);
    EXPECT_EQ(TTiffInputs::Used(tiff), ImageSize(2));
    const unsigned char *image = tiff.LastBlock();
    const TiffImage read(image, static_cast<size_t>(TTiffInputs::Used(tiff)));
    ASSERT_FALSE(read.Broken);
    ASSERT_EQ(read.Pages.size(), 2u);

    auto row = [](const Bytes &lead) {
        Bytes r = lead;
        r.resize(kRowBytes, 0);
        return r;
    };
    EXPECT_EQ(RowOf(image, 0, 0), row({0xAA, 0xBB}));
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(RowOf(image, 0, i), kZeroRow) << i;
    EXPECT_EQ(RowOf(image, 0, 4), row({0xCC}));
    EXPECT_EQ(RowOf(image, 0, 5), Repeat(0x66, 216));
    EXPECT_EQ(RowOf(image, 0, 6), kZeroRow);
    EXPECT_EQ(RowOf(image, 1, 0), row({0x11}));
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(RowOf(image, 1, i), kZeroRow) << i;
    EXPECT_EQ(RowOf(image, 1, 5), row({0x22}));
    EXPECT_EQ(RowOf(image, 1, 6), kZeroRow);

    // A job without pages gives no block.
    printer_test::ParsedJob empty(JobBytes().DocumentStart().JobEnd("1").Get());
    ASSERT_EQ(empty.Result, 0);
    TTiff none(nullptr, 0);
    TTiffInputs::SetSource(none, empty.File.get());
    none.Convert();
    EXPECT_EQ(none.LastBlock(), nullptr);
}

} // namespace
} // namespace scanner_test
