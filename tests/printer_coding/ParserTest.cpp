// The job parser: which jobs parse, the page and row chains it builds, and
// the copy count.
#include <climits>
#include <cstring>

#include <gtest/gtest.h>

#include "JobBytes.h"

using namespace printer_test;

namespace {

struct FailingJob {
    const char *Name;
    Bytes Job;
};

std::string NameOf(const testing::TestParamInfo<FailingJob> &info)
{
    return info.param.Name;
}

class ParserRejects : public testing::TestWithParam<FailingJob> {};

TEST_P(ParserRejects, FailsAndKeepsNothing)
{
    ParsedJob job(GetParam().Job);
    EXPECT_EQ(job.Result, -1);
    EXPECT_EQ(job.File->GetData(), nullptr);
    EXPECT_EQ(job.File->GetFirstPage(), nullptr);
    // A failed parser stays failed: nothing of the document start is kept.
    EXPECT_EQ(job.File->Parse(), -1);
    EXPECT_EQ(job.File->GetFirstPage(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, ParserRejects,
    testing::Values(
        FailingJob{"Empty", {}},
        FailingJob{"ShorterThanDocumentStart", JobBytes().Raw({0x1B, 0x42, 0x44, 0x1B, 0x42}).Get()},
        FailingJob{"WrongStart", JobBytes().Raw({0x1B, 0x42, 0x44, 0x1B, 0x42, 0x51}).JobEnd("1").Get()},
        FailingJob{"StartNotAtOffsetZero", JobBytes().Raw({0x00}).DocumentStart().JobEnd("1").Get()},
        FailingJob{"OnlyDocumentStart", JobBytes().DocumentStart().Get()},
        FailingJob{"NoJobEnd", JobBytes().DocumentStart().PageHeader().Row(1, {0x80}).PageEnd().Get()},
        FailingJob{"UnknownRecord",
                   JobBytes().DocumentStart().PageHeader().Raw({0x1B, 0x58}).JobEnd("1").Get()},
        FailingJob{"RowPastTheEnd", JobBytes().DocumentStart().PageHeader().RowHeader(1, 20).Raw({1, 2, 3}).Get()},
        FailingJob{"RowCountHidesJobEnd",
                   JobBytes().DocumentStart().PageHeader().RowHeader(1, 16).JobEnd("1").Get()},
        FailingJob{"RowHeaderCutShort",
                   JobBytes().DocumentStart().PageHeader().Raw({0x1B, 0x2A, 0x4D, 1, 0, 0x1B, 0x53, 0x42, 0}).Get()},
        FailingJob{"JobEndCutShort", JobBytes().DocumentStart().Raw({0x1B, 0x45, 0x50, 0x1B, 0x45}).Get()},
        FailingJob{"RowBeforeFirstPage", JobBytes().DocumentStart().Row(1, {0x80}).PageHeader().JobEnd("1").Get()},
        FailingJob{"PageEndBeforeFirstPage", JobBytes().DocumentStart().PageEnd().PageHeader().JobEnd("1").Get()},
        FailingJob{"PageEndWithDocumentStartBeforeFirstPage",
                   JobBytes().DocumentStart().PageEndDocumentStart().PageHeader().JobEnd("1").Get()},
        FailingJob{"DocumentStartInsideJob",
                   JobBytes().DocumentStart().PageHeader().DocumentStart().JobEnd("1").Get()},
        FailingJob{"DocumentStartAfterPageEnd",
                   JobBytes().DocumentStart().PageHeader().PageEnd().DocumentStart().PageHeader().JobEnd("1").Get()}),
    NameOf);

TEST(Parser, DocumentStartThenJobEndHasNoPage)
{
    ParsedJob job(JobBytes().DocumentStart().JobEnd("2").Get());
    ASSERT_EQ(job.Result, 0);
    EXPECT_EQ(job.File->GetFirstPage(), nullptr);
    EXPECT_EQ(job.File->GetPageCount(), 0);
    EXPECT_EQ(job.File->GetCopies(), 2);
}

struct CopiesCase {
    const char *Name;
    Bytes Tail; // the bytes after the job end pattern
    int Copies;
};

class ParserCopies : public testing::TestWithParam<CopiesCase> {};

TEST_P(ParserCopies, ReadsTheCountAfterTheJobEnd)
{
    Bytes job = JobBytes().DocumentStart().PageHeader().Row(1, {0x10}).JobEndPatternOnly().Get() + GetParam().Tail;
    ParsedJob parsed(job);
    ASSERT_EQ(parsed.Result, 0);
    EXPECT_EQ(parsed.File->GetCopies(), GetParam().Copies);
}

Bytes Tail(const std::string &text)
{
    return Bytes(text.begin(), text.end());
}

INSTANTIATE_TEST_SUITE_P(
    Counts, ParserCopies,
    testing::Values(CopiesCase{"Three", Tail(" 3"), 3},
                    CopiesCase{"Zero", Tail(" 0"), 1},
                    CopiesCase{"NotANumber", Tail(" x5"), 1},
                    CopiesCase{"PatternLastInJob", {}, 1},
                    CopiesCase{"OneByteAfterPattern", Tail("7"), 1},
                    CopiesCase{"ByteAfterPatternNotRead", Tail("94"), 4},
                    CopiesCase{"DigitsUpToTheEnd", Tail(" 1234"), 1234},
                    CopiesCase{"StopsAtOtherByte", Tail(" 12abc"), 12},
                    CopiesCase{"LeadingSpaceAndSign", Tail(" \t\r\n +25"), 25},
                    CopiesCase{"SpaceUpToTheEnd", Tail("    "), 1},
                    CopiesCase{"Negative", Tail(" -3"), -3},
                    CopiesCase{"SignOnly", Tail(" -"), 1},
                    CopiesCase{"TooLargeSaturates", Tail(" 99999999999999999999"), INT_MAX},
                    CopiesCase{"TooSmallSaturates", Tail(" -99999999999999999999"), INT_MIN},
                    CopiesCase{"ZeroByteEndsTheNumber", Bytes{' ', '4', 0x00, '9'}, 4}),
    [](const testing::TestParamInfo<CopiesCase> &info) { return std::string(info.param.Name); });

// Two pages closed by both kinds of page end, a third closed by the job end.
TEST(Parser, BuildsPageAndRowChains)
{
    JobBytes bytes;
    bytes.DocumentStart();
    const long page0 = static_cast<long>(bytes.Size());
    bytes.PageHeader('2').Row(1, {0x80, 0x00, 0x01});
    const long row01 = static_cast<long>(bytes.Size());
    bytes.Row(3, {0xFF});
    const long end0 = static_cast<long>(bytes.Size());
    bytes.PageEnd();
    const long page1 = static_cast<long>(bytes.Size());
    bytes.PageHeader('1');
    const long end1 = static_cast<long>(bytes.Size());
    bytes.PageEndDocumentStart();
    const long page2 = static_cast<long>(bytes.Size());
    bytes.PageHeader('2').Row(1, {0x01}).Row(1, {0x02}).Row(1, {0x03});
    bytes.JobEnd("1");

    ParsedJob job(bytes.Get());
    ASSERT_EQ(job.Result, 0);
    EXPECT_EQ(job.File->GetPageCount(), 3);
    EXPECT_EQ(job.File->GetSize(), static_cast<int>(bytes.Size()));

    TPCL_page *p = job.File->GetFirstPage();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Index, 0);
    EXPECT_EQ(job.Offset(p->Header), page0);
    EXPECT_EQ(p->Header[5], '2');
    EXPECT_EQ(p->RowCount, 2);
    EXPECT_EQ(job.Offset(p->End), end0);
    ASSERT_NE(p->FirstRow, nullptr);
    TPCL_row *r = p->FirstRow;
    EXPECT_EQ(r->Index, 0);
    EXPECT_EQ(job.Offset(r->Header), page0 + 9);
    EXPECT_EQ(r->Data, r->Header + 10);
    EXPECT_EQ(r->Data[0], 0x80);
    ASSERT_NE(r->Next, nullptr);
    EXPECT_EQ(r->Next->Index, 1);
    EXPECT_EQ(job.Offset(r->Next->Header), row01);
    EXPECT_EQ(r->Next->Data[0], 0xFF);
    EXPECT_EQ(r->Next->Next, nullptr);

    p = p->Next;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Index, 1);
    EXPECT_EQ(job.Offset(p->Header), page1);
    EXPECT_EQ(p->Header[5], '1');
    EXPECT_EQ(p->FirstRow, nullptr);
    EXPECT_EQ(p->RowCount, 0);
    EXPECT_EQ(job.Offset(p->End), end1);

    p = p->Next;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Index, 2);
    EXPECT_EQ(job.Offset(p->Header), page2);
    EXPECT_EQ(p->End, nullptr) << "the page the job end closes has no end record";
    EXPECT_EQ(p->RowCount, 3);
    int index = 0;
    for (r = p->FirstRow; r; r = r->Next, ++index) {
        EXPECT_EQ(r->Index, index);
        EXPECT_EQ(r->Data[0], index + 1);
    }
    EXPECT_EQ(index, 3);
    EXPECT_EQ(p->Next, nullptr);
}

TEST(Parser, RowWithoutDataPointsAtTheNextRecord)
{
    ParsedJob job(JobBytes().DocumentStart().PageHeader().RowHeader(10, 0).Row(1, {0x42}).JobEnd("1").Get());
    ASSERT_EQ(job.Result, 0);
    TPCL_row *row = job.File->GetFirstPage()->FirstRow;
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->Header[3], 10);
    ASSERT_NE(row->Next, nullptr);
    EXPECT_EQ(row->Data, row->Next->Header);
    EXPECT_EQ(job.File->GetFirstPage()->RowCount, 2);
}

TEST(Parser, PageWithoutPageEndKeepsItsRows)
{
    ParsedJob job(
        JobBytes().DocumentStart().PageHeader().Row(1, {1}).Row(1, {2}).PageHeader().Row(1, {3}).JobEnd("1").Get());
    ASSERT_EQ(job.Result, 0);
    TPCL_page *first = job.File->GetFirstPage();
    EXPECT_EQ(first->RowCount, 0);
    EXPECT_EQ(first->End, nullptr);
    ASSERT_NE(first->FirstRow, nullptr);
    ASSERT_NE(first->FirstRow->Next, nullptr);
    EXPECT_EQ(first->FirstRow->Next->Data[0], 2);
    EXPECT_EQ(first->FirstRow->Next->Next, nullptr);
    ASSERT_NE(first->Next, nullptr);
    EXPECT_EQ(first->Next->RowCount, 1);
    EXPECT_EQ(first->Next->FirstRow->Index, 0) << "row numbers start again on a new page";
}

// Rows after a page end with no new page header still join that page.
TEST(Parser, RowsAfterAPageEndStayOnThePage)
{
    ParsedJob job(JobBytes().DocumentStart().PageHeader().Row(1, {1}).PageEnd().Row(1, {2}).JobEnd("1").Get());
    ASSERT_EQ(job.Result, 0);
    TPCL_page *page = job.File->GetFirstPage();
    EXPECT_EQ(job.File->GetPageCount(), 1);
    EXPECT_NE(page->End, nullptr);
    EXPECT_EQ(page->RowCount, 2);
    ASSERT_NE(page->FirstRow->Next, nullptr);
    EXPECT_EQ(page->FirstRow->Next->Index, 1);
}

TEST(Parser, IgnoresBytesAfterTheJobEnd)
{
    Bytes tail = JobBytes().Raw({0xFF, 0x00, 0x1B}).DocumentStart().PageHeader().Row(1, {1, 2}).Raw({0x1B}).Get();
    ParsedJob job(JobBytes().DocumentStart().PageHeader().Row(1, {9}).JobEnd("2").Raw({'\n'}).Raw(tail).Get());
    ASSERT_EQ(job.Result, 0);
    EXPECT_EQ(job.File->GetCopies(), 2);
    EXPECT_EQ(job.File->GetPageCount(), 1);
    EXPECT_EQ(job.File->GetFirstPage()->RowCount, 1);
    EXPECT_EQ(job.File->GetFirstPage()->Next, nullptr);
}

TEST(Parser, WildcardBytesAcceptZero)
{
    ParsedJob job(JobBytes()
                      .DocumentStart()
                      .PageHeader(0x00, 0x00)
                      .RowHeader(0, 1, 0x00)
                      .Raw({0x55})
                      .JobEnd("1")
                      .Get());
    ASSERT_EQ(job.Result, 0);
    TPCL_page *page = job.File->GetFirstPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Header[5], 0x00);
    ASSERT_NE(page->FirstRow, nullptr);
    EXPECT_EQ(page->FirstRow->Header[3], 0x00);
    EXPECT_EQ(page->FirstRow->Header[4], 0x00);
    EXPECT_EQ(page->FirstRow->Data[0], 0x55);
}

TEST(Parser, KeepsItsOwnCopyOfTheJob)
{
    Bytes bytes = JobBytes().DocumentStart().PageHeader().Row(1, {0x77}).JobEnd("1").Get();
    TMemoryStream stream;
    stream.Write(bytes.data(), static_cast<int>(bytes.size()));
    TPCL_file file(&stream);
    std::memset(stream.Memory(), 0, bytes.size());
    stream.Clear();
    ASSERT_EQ(file.Parse(), 0);
    EXPECT_EQ(file.GetFirstPage()->FirstRow->Data[0], 0x77);
}

TEST(Parser, ParsesOnceThenClears)
{
    ParsedJob job(JobBytes().DocumentStart().PageHeader().Row(1, {1}).PageEnd().PageHeader().JobEnd("3").Get());
    ASSERT_EQ(job.Result, 0);
    TPCL_page *first = job.File->GetFirstPage();
    EXPECT_EQ(job.File->Parse(), 0);
    EXPECT_EQ(job.File->GetFirstPage(), first) << "a second Parse builds nothing new";
    EXPECT_EQ(job.File->GetPageCount(), 2);

    const int size = job.File->GetSize();
    job.File->Clear();
    EXPECT_EQ(job.File->GetData(), nullptr);
    EXPECT_EQ(job.File->GetFirstPage(), nullptr);
    EXPECT_EQ(job.File->GetSize(), size);
    EXPECT_EQ(job.File->GetPageCount(), 2);
    EXPECT_EQ(job.File->GetCopies(), 3);
    // Nothing left to parse.
    EXPECT_EQ(job.File->Parse(), -1);
    EXPECT_EQ(job.File->GetFirstPage(), nullptr);
}

TEST(Parser, NullStreamHoldsNothing)
{
    TPCL_file file(nullptr);
    EXPECT_EQ(file.GetSize(), 0);
    EXPECT_EQ(file.Parse(), -1);
}

} // namespace
