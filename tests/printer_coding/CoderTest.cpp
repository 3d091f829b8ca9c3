// The page coder: the zero-run bytes it writes for rows, blank lines, the
// row closing and the page padding, and the bounds of a page block.
#include <gtest/gtest.h>

#include <random>

#include "JobBytes.h"

using namespace printer_test;

namespace {

constexpr int kBlockCapacity = 712800;
constexpr int kLeastPage = 2500;

Bytes Repeat(unsigned char value, size_t count)
{
    return Bytes(count, value);
}

// The coded page with the zero-length runs of the padding cut off, and
// checks that the padding is what it must be.
Bytes WithoutPadding(const Bytes &page, size_t coded)
{
    EXPECT_GE(page.size(), static_cast<size_t>(kLeastPage));
    EXPECT_LE(coded, page.size());
    if (coded < kLeastPage) {
        const size_t pieces = (kLeastPage - coded + 215) / 216;
        EXPECT_EQ(page.size(), coded + pieces * 216) << "padding comes in pieces of 216 zero bytes";
    } else {
        EXPECT_EQ(page.size(), coded);
    }
    for (size_t i = coded; i < page.size(); ++i)
        if (page[i] != 0) {
            ADD_FAILURE() << "padding byte " << i << " is not 0";
            break;
        }
    return Bytes(page.begin(), page.begin() + static_cast<std::ptrdiff_t>(coded));
}

Bytes CodeOnePage(const Bytes &job)
{
    std::vector<Bytes> pages = CodeJob(job);
    EXPECT_EQ(pages.size(), 1u);
    return pages.empty() ? Bytes() : pages[0];
}

TEST(Coder, ExampleOfTwoRows)
{
    Bytes page = CodeOnePage(
        JobBytes().DocumentStart().PageHeader().Row(1, {0x80, 0x00, 0x00}).Row(1, {0x40}).JobEnd().Get());
    const Bytes expected{0x80, 0x00, 0xD5, 0x00, 0x02, 0x40, 0x00, 0xD7};
    EXPECT_EQ(WithoutPadding(page, expected.size()), expected);
    EXPECT_EQ(page.size(), 8u + 12 * 216);
}

TEST(Coder, PageWithoutRowsIsAllPadding)
{
    Bytes page = CodeOnePage(JobBytes().DocumentStart().PageHeader().JobEnd().Get());
    EXPECT_EQ(page, Repeat(0x00, 2592));
}

struct CodingCase {
    const char *Name;
    Bytes Job;
    Bytes Coded; // before the padding
};

class CoderWrites : public testing::TestWithParam<CodingCase> {};

TEST_P(CoderWrites, TheseBytes)
{
    Bytes page = CodeOnePage(GetParam().Job);
    EXPECT_EQ(WithoutPadding(page, GetParam().Coded.size()), GetParam().Coded);
}

// A page of one resolution mode with the given rows.
Bytes Page(int resolution, std::initializer_list<std::pair<int, Bytes>> rows)
{
    JobBytes job;
    job.DocumentStart().PageHeader(resolution);
    for (const auto &row : rows)
        job.Row(row.first, row.second);
    return job.JobEnd().Get();
}

Bytes ZerosThen(size_t zeros, unsigned char b)
{
    Bytes row(zeros, 0x00);
    row.push_back(b);
    return row;
}

Bytes Close(int count)
{
    return Bytes{0x00, static_cast<unsigned char>((216 - count) & 0xFF)};
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CoderWrites,
    testing::Values(
        // Zero bytes of one row and the next join into one run.
        CodingCase{"ZeroRowAddsItsBytesToTheRun", Page('2', {{1, Repeat(0, 10)}, {1, {0x05}}}),
                   Close(10) + ZeroRun(10) + Bytes{0x05} + Close(1)},
        CodingCase{"Run255", Page('2', {{1, Repeat(0, 200)}, {1, ZerosThen(55, 0x01)}}),
                   Close(200) + Bytes{0x00, 0xFF, 0x01} + Close(56)},
        CodingCase{"Run256", Page('2', {{1, Repeat(0, 200)}, {1, ZerosThen(56, 0x01)}}),
                   Close(200) + Bytes{0x00, 0xFF, 0x00, 0x01, 0x01} + Close(57)},
        CodingCase{"Run510", Page('2', {{2, ZerosThen(78, 0x01)}}), Bytes{0x00, 0xFF, 0x00, 0xFF, 0x01} + Close(79)},
        CodingCase{"FullRowClosesWithEmptyRun", Page('2', {{1, Repeat(0x11, 216)}}), Repeat(0x11, 216) + Bytes{0, 0}},
        CodingCase{"LongerRowClosesWithLowBits", Page('2', {{1, Repeat(0x22, 300)}}),
                   Repeat(0x22, 300) + Bytes{0x00, 0xAC}},
        CodingCase{"LongestRow", Page('2', {{1, Repeat(0x33, 65535)}}), Repeat(0x33, 65535) + Bytes{0x00, 0xD9}},
        CodingCase{"ZerosAtThePageEndAreLeftOut", Page('2', {{1, {0x01, 0x00, 0x00}}, {5, Repeat(0, 30)}}),
                   Bytes{0x01} + Close(3) + Close(30)},
        CodingCase{"BlankLinesOfAWholeBlock", Page('2', {{3299, {0x01}}}),
                   ZeroRun(3299ul * 216) + Bytes{0x01} + Close(1)}),
    [](const testing::TestParamInfo<CodingCase> &info) { return std::string(info.param.Name); });

struct AdvanceCase {
    int Resolution;
    int Advance;
    unsigned long BlankBytes;
};

class CoderAdvance : public testing::TestWithParam<AdvanceCase> {};

TEST_P(CoderAdvance, AddsBlankLines)
{
    const AdvanceCase c = GetParam();
    Bytes page = CodeOnePage(Page(c.Resolution, {{c.Advance, {0x01}}}));
    Bytes expected = (c.BlankBytes ? ZeroRun(c.BlankBytes) : Bytes()) + Bytes{0x01} + Close(1);
    EXPECT_EQ(WithoutPadding(page, expected.size()), expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, CoderAdvance,
                         testing::Values(AdvanceCase{'2', 0, 0}, AdvanceCase{'2', 1, 0}, AdvanceCase{'2', 2, 432},
                                         AdvanceCase{'2', 3, 648}, AdvanceCase{'1', 0, 0}, AdvanceCase{'1', 1, 0},
                                         AdvanceCase{'1', 2, 0}, AdvanceCase{'1', 3, 216}, AdvanceCase{'1', 4, 432},
                                         AdvanceCase{'1', 5, 432}, AdvanceCase{0x00, 2, 432},
                                         AdvanceCase{'3', 2, 432}, AdvanceCase{0x01, 2, 432},
                                         AdvanceCase{'2', 3000, 3000ul * 216},
                                         AdvanceCase{'1', 65535, 32767ul * 216}));

// The rule read byte by byte, as a reference for rows of any mix of zero
// and non-zero bytes (the coder looks at them a word at a time).
Bytes CodeByTheRule(int resolution, const std::vector<std::pair<int, Bytes>> &rows)
{
    Bytes out;
    unsigned long pending = 0;
    const bool halving = resolution == '1';
    for (const auto &row : rows) {
        if (row.first > (halving ? 2 : 1))
            pending += 216ul * static_cast<unsigned long>(halving ? row.first / 2 : row.first);
        for (unsigned char b : row.second) {
            if (b == 0) {
                ++pending;
                continue;
            }
            if (pending > 0) {
                out = out + ZeroRun(pending);
                pending = 0;
            }
            out.push_back(b);
        }
        out = out + Close(static_cast<int>(row.second.size()));
    }
    return out;
}

TEST(Coder, MixedRowsFollowTheByteByByteRule)
{
    std::mt19937 random(4711);
    std::uniform_int_distribution<int> length(0, 300), advance(0, 5), byte(1, 255), percent(0, 99);
    for (int resolution : {'1', '2'}) {
        std::vector<std::pair<int, Bytes>> rows;
        JobBytes job;
        job.DocumentStart().PageHeader(resolution);
        for (int r = 0; r < 400; ++r) {
            // Zero bytes from none to nearly all, in runs of every length.
            const int zeros = (r * 7) % 100;
            Bytes data(static_cast<size_t>(length(random)));
            for (unsigned char &b : data)
                b = percent(random) < zeros ? 0 : static_cast<unsigned char>(byte(random));
            rows.emplace_back(advance(random), data);
            job.Row(rows.back().first, data);
        }
        Bytes expected = CodeByTheRule(resolution, rows);
        Bytes page = CodeOnePage(job.JobEnd().Get());
        EXPECT_EQ(WithoutPadding(page, expected.size()), expected) << "resolution " << static_cast<char>(resolution);
    }
}

TEST(Coder, PadsShortPagesOnly)
{
    const Bytes full = Repeat(0x44, 216); // codes to 218 bytes
    struct {
        Bytes LastRow;
        size_t Coded;
        size_t Size;
    } cases[] = {
        {{}, 2400, 2616},             // 11 × 218 + 2
        {Repeat(0x44, 99), 2499, 2715}, // one short of the least size
        {Repeat(0x44, 100), 2500, 2500},
        {Repeat(0x44, 101), 2501, 2501},
    };
    for (const auto &c : cases) {
        JobBytes job;
        job.DocumentStart().PageHeader();
        for (int i = 0; i < 11; ++i)
            job.Row(1, full);
        job.Row(1, c.LastRow).JobEnd();
        Bytes page = CodeOnePage(job.Get());
        EXPECT_EQ(page.size(), c.Size) << "coded " << c.Coded;
        WithoutPadding(page, c.Coded);
    }
}

// More coded bytes than a block holds: the block keeps its capacity less
// one byte, the rest is dropped, and a later page gets a block of its own.
TEST(Coder, DropsWhatDoesNotFitTheBlock)
{
    JobBytes job;
    job.DocumentStart().PageHeader();
    Bytes expected;
    for (int i = 0; i < 11; ++i) {
        job.Row(1, Repeat(0x5A, 65535));
        expected = expected + Repeat(0x5A, 65535) + Close(65535);
    }
    // Runs of blank lines far beyond the block's end must not cost a pair
    // each once the block is full.
    for (int i = 0; i < 200; ++i)
        job.Row(65535, {0x01});
    job.PageEnd().PageHeader().Row(1, {0x09}).JobEnd();

    std::vector<Bytes> pages = CodeJob(job.Get());
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_EQ(pages[0].size(), static_cast<size_t>(kBlockCapacity - 1));
    EXPECT_TRUE(std::equal(pages[0].begin(), pages[0].end(), expected.begin()));
    EXPECT_EQ(WithoutPadding(pages[1], 3), (Bytes{0x09} + Close(1)));
}

TEST(Coder, BlockFilledByRunsEndsOnTheLastFreeByte)
{
    JobBytes job;
    job.DocumentStart().PageHeader();
    Bytes expected;
    for (int i = 0; i < 20; ++i) {
        job.Row(65535, {0x01});
        expected = expected + ZeroRun(65535ul * 216) + Bytes{0x01} + Close(1);
    }
    job.JobEnd();
    Bytes page = CodeOnePage(job.Get());
    ASSERT_EQ(page.size(), static_cast<size_t>(kBlockCapacity - 1));
    ASSERT_GT(expected.size(), page.size());
    EXPECT_TRUE(std::equal(page.begin(), page.end(), expected.begin()));
}

TEST(Coder, OneBlockPerPageWithItsOwnResolution)
{
    Bytes job = JobBytes()
                    .DocumentStart()
                    .PageHeader('1')
                    .Row(4, {0x01, 0x00, 0x00})
                    .PageEndDocumentStart()
                    .PageHeader('2')
                    .Row(4, {0x02})
                    .PageEnd()
                    .PageHeader('2')
                    .JobEnd()
                    .Get();
    ParsedJob parsed(job);
    TKv8m_Compress coder(parsed.File.get());
    coder.Convert();
    ASSERT_EQ(coder.GetBlocks()->size(), 3u);
    ASSERT_EQ(coder.GetSizes()->size(), 3u);
    std::vector<Bytes> pages = CodedPages(coder);
    // The zero bytes left pending at the end of the first page do not
    // join the second page's first run.
    const Bytes first = ZeroRun(432) + Bytes{0x01} + Close(3);
    const Bytes second = ZeroRun(864) + Bytes{0x02} + Close(1);
    EXPECT_EQ(WithoutPadding(pages[0], first.size()), first);
    EXPECT_EQ(WithoutPadding(pages[1], second.size()), second);
    EXPECT_EQ(pages[2], Repeat(0, 2592));
}

TEST(Coder, ConvertsOnce)
{
    ParsedJob parsed(Page('2', {{1, {0x80, 0x00, 0x00}}, {1, {0x40}}}));
    TKv8m_Compress coder(parsed.File.get());
    coder.Convert();
    const TBlockList blocks = *coder.GetBlocks();
    const TSizeList sizes = *coder.GetSizes();
    const std::vector<Bytes> before = CodedPages(coder);
    coder.Convert();
    EXPECT_EQ(*coder.GetBlocks(), blocks);
    EXPECT_EQ(*coder.GetSizes(), sizes);
    EXPECT_EQ(CodedPages(coder), before);
}

TEST(Coder, JobWithoutPagesGivesNoBlock)
{
    ParsedJob parsed(JobBytes().DocumentStart().JobEnd("2").Get());
    TKv8m_Compress coder(parsed.File.get());
    coder.Convert();
    EXPECT_TRUE(coder.GetBlocks()->empty());
    EXPECT_EQ(coder.LastBlock(), nullptr);

    TKv8m_Compress noSource(nullptr);
    noSource.Convert();
    EXPECT_TRUE(noSource.GetBlocks()->empty());
}

} // namespace
