// Truncated, garbled and random jobs: the parser either fails cleanly or
// builds records that lie inside the job, and the coder codes them inside
// its blocks. Run under AddressSanitizer this also catches stray reads.
#include <random>

#include <gtest/gtest.h>

#include "JobBytes.h"
#include "JobWriter.h"
#include "SamplePages.h"

using namespace printer_test;

namespace {

constexpr int kCasesPerKind = 1000;

class JobGenerator {
public:
    explicit JobGenerator(unsigned seed) : FRandom(seed) {}

    unsigned Below(unsigned n) { return static_cast<unsigned>(FRandom() % n); }
    bool Chance(unsigned percent) { return Below(100) < percent; }

    Bytes RandomBytes(size_t count)
    {
        Bytes out(count);
        for (unsigned char &b : out)
            b = static_cast<unsigned char>(Below(256));
        return out;
    }

    int RandomWord()
    {
        switch (Below(4)) {
        case 0:
            return static_cast<int>(Below(3));
        case 1:
            return static_cast<int>(Below(300));
        case 2:
            return 65535 - static_cast<int>(Below(3));
        default:
            return static_cast<int>(Below(65536));
        }
    }

    // Records in any order with fields of any value, some cut or corrupted.
    Bytes RecordSoup()
    {
        JobBytes job;
        if (!Chance(3))
            job.DocumentStart();
        if (Chance(85))
            job.PageHeader(Chance(50) ? '1' : '2');
        const unsigned records = Below(40);
        for (unsigned i = 0; i < records; ++i) {
            switch (Below(10)) {
            case 0:
            case 1:
                job.PageHeader(static_cast<int>(Below(256)), static_cast<int>(Below(256)));
                break;
            case 2:
            case 3:
            case 4: {
                const int count = Chance(80) ? static_cast<int>(Below(240)) : RandomWord();
                // The data given may be shorter or longer than announced.
                size_t given = static_cast<size_t>(count);
                if (Chance(10))
                    given = Below(static_cast<unsigned>(count) + 20);
                job.RowHeader(RandomWord(), count, static_cast<int>(Below(256)));
                job.Raw(given > 70000 ? RandomBytes(70000) : RandomBytes(given));
                break;
            }
            case 5:
                job.PageEnd();
                break;
            case 6:
                job.PageEndDocumentStart();
                break;
            case 7:
                if (Chance(15))
                    job.Raw(RandomBytes(1 + Below(3)));
                break;
            case 8:
                if (Chance(10))
                    job.DocumentStart();
                break;
            default:
                if (Chance(30))
                    job.JobEnd(std::to_string(static_cast<int>(Below(20000)) - 100));
                break;
            }
        }
        if (Chance(85))
            job.JobEnd(std::to_string(Below(5)));
        if (Chance(20))
            job.Raw(RandomBytes(Below(30)));
        return job.Get();
    }

    // A well-formed job from the driver's stand-in, of small pages.
    Bytes WriterJob()
    {
        std::vector<jobwriter::PageImage> pages;
        const unsigned count = Below(3);
        for (unsigned i = 0; i < count; ++i) {
            const int height = 1 + static_cast<int>(Below(60));
            pages.push_back(Chance(50) ? jobwriter::MakeDensePage(FRandom(), height)
                                       : jobwriter::MakeTextPage(FRandom(), height + 100));
        }
        jobwriter::JobOptions options;
        options.Copies = static_cast<int>(Below(10));
        options.Resolution = Chance(50) ? '1' : '2';
        options.PageEnd = Chance(50) ? 4 : 6;
        options.ExactBlankLines = Chance(50);
        return jobwriter::WriteJob(pages, options);
    }

    Bytes Truncated(Bytes job)
    {
        job.resize(Below(static_cast<unsigned>(job.size()) + 1));
        return job;
    }

    Bytes Garbled(Bytes job)
    {
        if (job.empty())
            return job;
        const unsigned flips = 1 + Below(8);
        for (unsigned i = 0; i < flips; ++i) {
            unsigned char &b = job[Below(static_cast<unsigned>(job.size()))];
            switch (Below(3)) {
            case 0:
                b = static_cast<unsigned char>(Below(256));
                break;
            case 1:
                b ^= static_cast<unsigned char>(1u << Below(8));
                break;
            default:
                b = Chance(50) ? 0x00 : 0x1B;
                break;
            }
        }
        return job;
    }

    Bytes Random()
    {
        Bytes job = Chance(70) ? JobBytes().DocumentStart().Get() : Bytes();
        Bytes tail = RandomBytes(Below(400));
        return job + tail;
    }

private:
    std::mt19937 FRandom;
};

// Everything a parsed job points at lies inside its bytes, and the chains
// are numbered as they should be.
void CheckParsedJob(const ParsedJob &job)
{
    const unsigned char *begin = job.File->GetData();
    ASSERT_NE(begin, nullptr);
    const unsigned char *end = begin + job.File->GetSize();
    int pages = 0;
    for (TPCL_page *p = job.File->GetFirstPage(); p; p = p->Next, ++pages) {
        ASSERT_EQ(p->Index, pages);
        ASSERT_TRUE(p->Header >= begin && p->Header + 9 <= end);
        ASSERT_TRUE(p->End == nullptr || (p->End > p->Header && p->End + 6 <= end));
        int rows = 0;
        for (TPCL_row *r = p->FirstRow; r; r = r->Next, ++rows) {
            ASSERT_EQ(r->Index, rows);
            ASSERT_TRUE(r->Header > p->Header && r->Header + 10 <= end);
            ASSERT_EQ(r->Data, r->Header + 10);
            ASSERT_LE(r->Data + (r->Header[8] | r->Header[9] << 8), end);
        }
        // The current page at the end of the walk counts all its rows; an
        // earlier one those it had at its page end (none without one).
        if (p->Next == nullptr)
            ASSERT_EQ(p->RowCount, rows);
        else if (p->End == nullptr)
            ASSERT_EQ(p->RowCount, 0);
        else
            ASSERT_LE(p->RowCount, rows);
    }
    ASSERT_EQ(job.File->GetPageCount(), pages);
    ASSERT_NE(job.File->GetCopies(), 0);
}

void CheckJob(const Bytes &bytes, int &parsed)
{
    ParsedJob job(bytes);
    ASSERT_TRUE(job.Result == 0 || job.Result == -1) << job.Result;
    if (job.Result == -1) {
        ASSERT_EQ(job.File->GetData(), nullptr);
        ASSERT_EQ(job.File->GetFirstPage(), nullptr);
        return;
    }
    ++parsed;
    CheckParsedJob(job);

    TKv8m_Compress coder(job.File.get());
    coder.Convert();
    ASSERT_EQ(coder.GetBlocks()->size(), static_cast<size_t>(job.File->GetPageCount()));
    for (int size : *coder.GetSizes()) {
        ASSERT_GE(size, 2500);
        ASSERT_LE(size, 712799);
    }
}

struct Kind {
    const char *Name;
    Bytes (*Make)(JobGenerator &);
};

void PrintTo(const Kind &kind, std::ostream *out)
{
    *out << kind.Name;
}

class BadInput : public testing::TestWithParam<Kind> {};

TEST_P(BadInput, FailsCleanlyOrParsesSoundly)
{
    JobGenerator generator(20240611u + static_cast<unsigned>(std::string(GetParam().Name).size()));
    int parsed = 0;
    for (int i = 0; i < kCasesPerKind; ++i) {
        Bytes job = GetParam().Make(generator);
        SCOPED_TRACE(testing::Message() << GetParam().Name << " case " << i << ", " << job.size() << " bytes");
        CheckJob(job, parsed);
        if (HasFatalFailure())
            return;
    }
    RecordProperty("parsed", parsed);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, BadInput,
    testing::Values(Kind{"TruncatedWriterJobs", [](JobGenerator &g) { return g.Truncated(g.WriterJob()); }},
                    Kind{"GarbledWriterJobs", [](JobGenerator &g) { return g.Garbled(g.WriterJob()); }},
                    Kind{"RecordSoup", [](JobGenerator &g) { return g.RecordSoup(); }},
                    Kind{"GarbledRecordSoup", [](JobGenerator &g) { return g.Garbled(g.RecordSoup()); }},
                    Kind{"RandomBytes", [](JobGenerator &g) { return g.Random(); }}),
    [](const testing::TestParamInfo<Kind> &info) { return std::string(info.param.Name); });

} // namespace
