// The printer driver's stand-in: its PBM reader, the job bytes it writes,
// and round trips of real-looking pages through parser, coder and the
// device's zero-run reading.
#include <algorithm>
#include <iterator>
#include <random>
#include <sstream>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "FileContents.h"
#include "JobBytes.h"
#include "JobWriter.h"
#include "SamplePages.h"
#include "TempMachineRoot.h"

using namespace printer_test;
using jobwriter::JobOptions;
using jobwriter::PageImage;

namespace {

// Runs the printer driver's stand-in with `args`.
testsupport::RunResult RunJobWriter(const std::vector<std::string> &args)
{
    std::vector<std::string> command{ARV_JOBWRITER};
    command.insert(command.end(), args.begin(), args.end());
    return testsupport::RunProgram(command);
}

bool RowIsBlank(const PageImage &page, int y)
{
    const unsigned char *row = page.Row(y);
    for (int i = 0; i < jobwriter::kRowBytes; ++i)
        if (row[i])
            return false;
    return true;
}

// The lines the device prints for the page: the page itself, or with the
// driver's advances one more blank line before every row that follows
// blank rows. Blank rows at the page's end are left out.
Bytes PrintedLines(const PageImage &page, bool driverAdvances)
{
    Bytes out;
    int blank = 0;
    for (int y = 0; y < page.Height; ++y) {
        if (RowIsBlank(page, y)) {
            ++blank;
            continue;
        }
        const int lines = blank + (driverAdvances && blank > 0 ? 1 : 0);
        out.insert(out.end(), static_cast<size_t>(lines) * jobwriter::kRowBytes, 0);
        out.insert(out.end(), page.Row(y), page.Row(y) + jobwriter::kRowBytes);
        blank = 0;
    }
    return out;
}

// A decoded page equals the expected lines up to the zero bytes that the
// coding leaves out at the page's end.
void ExpectSamePrint(const Bytes &decoded, const Bytes &expected, const std::string &what)
{
    ASSERT_LE(decoded.size(), expected.size()) << what;
    size_t mismatch = 0;
    while (mismatch < decoded.size() && decoded[mismatch] == expected[mismatch])
        ++mismatch;
    ASSERT_EQ(mismatch, decoded.size()) << what << ": first difference in line " << mismatch / 216 << ", byte "
                                        << mismatch % 216;
    for (size_t i = decoded.size(); i < expected.size(); ++i)
        ASSERT_EQ(expected[i], 0) << what << ": the print ends before line " << i / 216;
}

std::vector<PageImage> SamplePages()
{
    std::vector<PageImage> pages;
    pages.push_back(jobwriter::MakeTextPage(1));
    pages.push_back(jobwriter::MakeDrawingPage(2));
    pages.push_back(jobwriter::MakeDensePage(3, 600));
    pages.push_back(jobwriter::MakeNoisePage(4, 300));
    // Isolated blank rows, black rows, a dot in the last byte, a long
    // blank gap, and blank rows at the end.
    PageImage mixed(3300);
    for (int y = 0; y < 40; y += 2)
        mixed.SetDot(y * 40, y);
    std::fill(mixed.Row(50), mixed.Row(51), 0xFF);
    mixed.SetDot(1727, 51);
    mixed.SetDot(0, 3000);
    mixed.SetDot(863, 3001);
    pages.push_back(mixed);
    pages.push_back(PageImage(100)); // blank
    return pages;
}

struct RoundTrip {
    char Resolution;
    bool Exact;
    int PageEnd;
};

class JobWriterRoundTrip : public testing::TestWithParam<RoundTrip> {};

TEST_P(JobWriterRoundTrip, PrintsThePages)
{
    const RoundTrip c = GetParam();
    const std::vector<PageImage> pages = SamplePages();
    JobOptions options;
    options.Resolution = c.Resolution;
    options.ExactBlankLines = c.Exact;
    options.PageEnd = c.PageEnd;
    options.Copies = 2;

    ParsedJob job(jobwriter::WriteJob(pages, options));
    ASSERT_EQ(job.Result, 0);
    EXPECT_EQ(job.File->GetCopies(), 2);
    ASSERT_EQ(job.File->GetPageCount(), static_cast<int>(pages.size()));
    for (TPCL_page *p = job.File->GetFirstPage(); p; p = p->Next)
        EXPECT_EQ(p->Header[5], c.Resolution);

    TKv8m_Compress coder(job.File.get());
    coder.Convert();
    std::vector<Bytes> coded = CodedPages(coder);
    ASSERT_EQ(coded.size(), pages.size());
    for (size_t i = 0; i < pages.size(); ++i)
        ExpectSamePrint(DecodeZeroRuns(coded[i]), PrintedLines(pages[i], !c.Exact), "page " + std::to_string(i));
    EXPECT_EQ(coded.back().size(), 2592u) << "a blank page codes to the padding alone";
}

INSTANTIATE_TEST_SUITE_P(Options, JobWriterRoundTrip,
                         testing::Values(RoundTrip{'2', true, 4}, RoundTrip{'1', true, 6}, RoundTrip{'2', false, 6},
                                         RoundTrip{'1', false, 4}),
                         [](const testing::TestParamInfo<RoundTrip> &info) {
                             return std::string("Resolution") + info.param.Resolution +
                                    (info.param.Exact ? "Exact" : "Driver") + "PageEnd" +
                                    std::to_string(info.param.PageEnd);
                         });

// Blank runs of every length that matters for the advances, up to runs
// that need more than one row record.
TEST(JobWriter, BlankRunsOfEveryLength)
{
    for (char resolution : {'1', '2'}) {
        for (bool exact : {true, false}) {
            for (int blank : {0, 1, 2, 3, 32766, 32767, 32768, 65534, 65535, 65536, 70000}) {
                // The driver's way writes a run too long for one advance as
                // several records, and each comes out one line longer.
                const int largest = resolution == '1' ? 32767 : 65535;
                if (!exact && 1 + blank > largest)
                    continue;
                PageImage page(blank + 2);
                page.SetDot(5, 0);
                page.SetDot(9, blank + 1);
                JobOptions options;
                options.Resolution = resolution;
                options.ExactBlankLines = exact;
                ParsedJob job(jobwriter::WriteJob({page}, options));
                ASSERT_EQ(job.Result, 0);
                // Decode the page's rows directly: the block holds only
                // 3,300 lines.
                Bytes decoded;
                for (TPCL_row *r = job.File->GetFirstPage()->FirstRow; r; r = r->Next) {
                    const int advance = r->Header[3] | r->Header[4] << 8;
                    const int count = r->Header[8] | r->Header[9] << 8;
                    const int lines = resolution == '1' ? (advance > 2 ? advance / 2 : 0) : (advance > 1 ? advance : 0);
                    decoded.insert(decoded.end(), static_cast<size_t>(lines) * 216, 0);
                    decoded.insert(decoded.end(), r->Data, r->Data + count);
                    decoded.insert(decoded.end(), static_cast<size_t>(216 - count), 0);
                }
                std::string what = std::string("resolution ") + resolution + (exact ? " exact" : " driver") +
                                   ", blank rows " + std::to_string(blank);
                const Bytes expected = PrintedLines(page, !exact);
                ExpectSamePrint(decoded, expected, what);
                ASSERT_EQ(decoded.size(), expected.size()) << what;
            }
        }
    }
}

TEST(JobWriter, WritesTheDocumentedBytes)
{
    PageImage first(3);
    first.SetDot(0, 1);
    first.SetDot(17, 1); // row 1: 80 00 40
    PageImage second(1);
    second.SetDot(7, 0); // row 0: 01
    JobOptions options;
    options.Copies = 3;
    const Bytes expected = JobBytes()
                               .Raw({0x1B, 'B', 'D', 0x1B, 'B', 'P'})
                               .Raw({0x1B, 'O', 'P', 0x1B, 'R', '2', 0x1B, 'P', '4'})
                               .Raw({0x1B, '*', 'M', 2, 0, 0x1B, 'S', 'B', 3, 0, 0x80, 0x00, 0x40})
                               .Raw({0x1B, 'E', 'P', 0x1B, 'B', 'P'})
                               .Raw({0x1B, 'O', 'P', 0x1B, 'R', '2', 0x1B, 'P', '4'})
                               .Raw({0x1B, '*', 'M', 1, 0, 0x1B, 'S', 'B', 1, 0, 0x01})
                               .Raw({0x1B, 'E', 'P', 0x1B, 'E', 'D', 'C', '3'})
                               .Get();
    EXPECT_EQ(jobwriter::WriteJob({first, second}, options), expected);

    options.Resolution = '1';
    options.PageEnd = 6;
    const Bytes standard = jobwriter::WriteJob({first, second}, options);
    const Bytes pageEnd6{0x1B, 'E', 'P', 0x1B, 'B', 'D', 0x1B, 'B', 'P'};
    EXPECT_NE(std::search(standard.begin(), standard.end(), pageEnd6.begin(), pageEnd6.end()), standard.end());
    ParsedJob job(standard);
    ASSERT_EQ(job.Result, 0);
    EXPECT_EQ(job.File->GetFirstPage()->FirstRow->Header[3], 4) << "advances doubled at resolution 1";
    EXPECT_EQ(job.File->GetFirstPage()->Next->FirstRow->Header[3], 2);
}

TEST(JobWriter, JobWithoutPages)
{
    ParsedJob job(jobwriter::WriteJob({}, JobOptions()));
    ASSERT_EQ(job.Result, 0);
    EXPECT_EQ(job.File->GetFirstPage(), nullptr);
    EXPECT_EQ(job.File->GetCopies(), 1);
}

std::string PlainPbm(const PageImage &page, bool withComments)
{
    std::ostringstream out;
    out << "P1\n";
    if (withComments)
        out << "# made by hand\n";
    out << "1728\n" << (withComments ? "# height next\n" : "") << page.Height << "\n";
    for (int y = 0; y < page.Height; ++y) {
        for (int x = 0; x < jobwriter::kPageDots; ++x) {
            out << (page.Dot(x, y) ? '1' : '0');
            if (withComments && x % 70 == 69)
                out << '\n';
        }
        out << '\n';
    }
    return out.str();
}

TEST(Pbm, ReadsBinaryAndPlainAlike)
{
    const PageImage source = jobwriter::MakeTextPage(7, 300);
    for (const std::string &bytes :
         {jobwriter::FormatPbm(source), PlainPbm(source, false), PlainPbm(source, true),
          std::string("P4 # comment\n1728 300\n") + jobwriter::FormatPbm(source).substr(12)}) {
        PageImage read;
        std::string error;
        ASSERT_TRUE(jobwriter::ParsePbm(bytes, read, error)) << error;
        EXPECT_EQ(read.Height, 300);
        EXPECT_EQ(read.Bits, source.Bits);
    }
}

TEST(Pbm, RefusesWhatIsNotAPage)
{
    const std::string good = jobwriter::FormatPbm(PageImage(2));
    const std::string cases[] = {
        "",
        "P5\n1728 2\n",
        "P4\n1727 2\n" + std::string(432, '\0'),
        "P4\n1728 0\n",
        "P4\n1728\n",
        good.substr(0, good.size() - 1),
        "P4\n1728 2",
        "P1\n1728 1\n" + std::string(1727, '0'),
        "P1\n1728 1\n" + std::string(1727, '0') + "2",
        "P4\n1728 99999999999\n",
    };
    for (const std::string &bytes : cases) {
        PageImage read;
        std::string error;
        EXPECT_FALSE(jobwriter::ParsePbm(bytes, read, error)) << bytes.substr(0, 12);
        EXPECT_FALSE(error.empty());
    }
}

class JobWriterTool : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FFolder.Made()); }

    std::string Pbm(const std::string &name, const std::string &bytes)
    {
        std::string path = FFolder.File(name);
        EXPECT_TRUE(testsupport::WriteText(path, bytes)) << path;
        return path;
    }

    testsupport::TempFolder FFolder{"printer_coding"};
};

TEST_F(JobWriterTool, WritesTheJobToAFileOrStandardOutput)
{
    const std::vector<PageImage> pages{jobwriter::MakeTextPage(11), jobwriter::MakeDrawingPage(12, 1500)};
    const std::string first = Pbm("text.pbm", jobwriter::FormatPbm(pages[0]));
    const std::string second = Pbm("drawing.pbm", PlainPbm(pages[1], true));
    const std::string out = FFolder.File("job.prn");

    testsupport::RunResult run =
        RunJobWriter({"--copies", "4", "--resolution", "1", "--page-end", "6", "-o", out, first, second});
    ASSERT_EQ(run.code, 0);
    JobOptions options;
    options.Copies = 4;
    options.Resolution = '1';
    options.PageEnd = 6;
    const Bytes expected = jobwriter::WriteJob(pages, options);
    EXPECT_EQ(testsupport::ReadBytes(out), expected);
    EXPECT_TRUE(run.out.empty());

    run = RunJobWriter({"--exact-blanks", first, second});
    ASSERT_EQ(run.code, 0);
    const Bytes job(run.out.begin(), run.out.end());
    options = JobOptions();
    options.ExactBlankLines = true;
    EXPECT_EQ(job, jobwriter::WriteJob(pages, options));

    std::vector<Bytes> coded = CodeJob(job);
    ASSERT_EQ(coded.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        ExpectSamePrint(DecodeZeroRuns(coded[i]), PrintedLines(pages[i], false), "page " + std::to_string(i));
}

TEST_F(JobWriterTool, RefusesBadArguments)
{
    const std::string page = Pbm("page.pbm", jobwriter::FormatPbm(PageImage(10)));
    const std::string narrow = Pbm("narrow.pbm", "P4\n1720 1\n" + std::string(215, '\0'));
    struct {
        std::vector<std::string> Args;
        int Exit;
    } cases[] = {
        {{}, 2},
        {{"--resolution", "3", page}, 2},
        {{"--page-end", "5", page}, 2},
        {{"--copies", "many", page}, 2},
        {{"--copies", "-1", page}, 2},
        {{"--unknown", page}, 2},
        {{narrow}, 1},
        {{FFolder.File("missing.pbm")}, 1},
        {{"-o", FFolder.File("no/such/folder/job.prn"), page}, 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RunJobWriter(c.Args).code, c.Exit) << (c.Args.empty() ? "" : c.Args[0]);
}

} // namespace
