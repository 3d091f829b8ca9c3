// Broken jobs through the whole program: cut short, garbled at a record, or
// random bytes. Each must end with the unknown-format error box, neither
// crashing nor hanging. Inputs are made from fixed seeds.
#include <gtest/gtest.h>

#include <random>

#include "ExpectedTexts.h"
#include "MemoryStream.h"
#include "Pcl_parser.h"
#include "PrinterRun.h"

namespace printer_test {
namespace {

bool Parses(const Bytes &job)
{
    TMemoryStream stream;
    if (!job.empty())
        stream.Write(job.data(), static_cast<int>(job.size()));
    TPCL_file parser(&stream);
    return parser.Parse() == 0;
}

// Offsets of the records of a well-formed job, and of the rows among them.
struct RecordMap {
    std::vector<size_t> records; // every record after the document start
    std::vector<size_t> rows;
    size_t jobEnd = 0;
};

RecordMap MapRecords(const Bytes &job)
{
    RecordMap map;
    TMemoryStream stream;
    stream.Write(job.data(), static_cast<int>(job.size()));
    TPCL_file parser(&stream);
    if (parser.Parse() != 0)
        return map;
    const unsigned char *base = parser.GetData();
    for (TPCL_page *page = parser.GetFirstPage(); page; page = page->Next) {
        map.records.push_back(static_cast<size_t>(page->Header - base));
        for (TPCL_row *row = page->FirstRow; row; row = row->Next) {
            map.records.push_back(static_cast<size_t>(row->Header - base));
            map.rows.push_back(static_cast<size_t>(row->Header - base));
        }
        if (page->End)
            map.records.push_back(static_cast<size_t>(page->End - base));
    }
    // The job end: the last record, 8 bytes with its one-digit copy count.
    map.jobEnd = job.size() - 8;
    map.records.push_back(map.jobEnd);
    return map;
}

class BadJobTest : public PrinterRunTest {
protected:
    void SetUp() override
    {
        PrinterRunTest::SetUp();
        FGood = JobOf(SamplePages(2, 30, 9));
        FMap = MapRecords(FGood);
        ASSERT_FALSE(FMap.rows.empty());
    }

    // Runs the program on each input and expects the error box every time.
    void ExpectUnknownFormat(const std::vector<Bytes> &jobs, const std::string &kind)
    {
        const std::string expected = ErrorBytes(5, kEnglish);
        for (size_t i = 0; i < jobs.size(); ++i) {
            ASSERT_FALSE(Parses(jobs[i])) << kind << " " << i << " parses: the generator is wrong";
            size_t before = Pilot().Shown().size();
            Pilot().Answer("OK");
            EXPECT_EQ(RunPrinter(jobs[i]), 0) << kind << " " << i;
            ASSERT_EQ(Pilot().Shown().size(), before + 1) << kind << " " << i;
            EXPECT_EQ(Pilot().Shown().back().Bytes, expected) << kind << " " << i;
            EXPECT_EQ(Pilot().Shown().back().Title, "Error") << kind << " " << i;
        }
        ExpectPilotClean(Pilot());
    }

    Bytes FGood;
    RecordMap FMap;
    std::mt19937 FRandom{20240611};
};

TEST_F(BadJobTest, TruncatedJobs)
{
    // Edges: shorter than the document start, the document start alone,
    // one byte into the first page, the job end without its last byte; and
    // cuts at random places before the job end is complete.
    std::vector<size_t> cuts = {1, 5, 6, 7, FMap.rows[0] + 4, FMap.jobEnd + 5};
    std::uniform_int_distribution<size_t> anywhere(1, FMap.jobEnd + 5);
    while (cuts.size() < 12)
        cuts.push_back(anywhere(FRandom));
    std::vector<Bytes> jobs;
    for (size_t cut : cuts)
        jobs.emplace_back(FGood.begin(), FGood.begin() + static_cast<long>(cut));
    ExpectUnknownFormat(jobs, "cut");
}

TEST_F(BadJobTest, GarbledJobs)
{
    std::vector<Bytes> jobs;
    std::uniform_int_distribution<size_t> record(0, FMap.records.size() - 1);
    std::uniform_int_distribution<size_t> row(0, FMap.rows.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    auto notEscape = [&] {
        int b = byte(FRandom);
        return static_cast<unsigned char>(b == 0x1B ? 0x1C : b);
    };

    // The document start spoiled.
    Bytes spoiled = FGood;
    spoiled[1] = 'X';
    jobs.push_back(spoiled);
    for (int i = 0; i < 4; ++i) {
        // A record's leading ESC replaced: no record starts there.
        Bytes job = FGood;
        job[FMap.records[record(FRandom)]] = notEscape();
        jobs.push_back(job);
    }
    for (int i = 0; i < 4; ++i) {
        // A stray byte between two records.
        Bytes job = FGood;
        job.insert(job.begin() + static_cast<long>(FMap.records[record(FRandom)]), notEscape());
        jobs.push_back(job);
    }
    for (int i = 0; i < 3; ++i) {
        // A row whose data count runs past the end of the job.
        Bytes job = FGood;
        size_t at = FMap.rows[row(FRandom)];
        size_t count = std::min<size_t>(job.size() - at - 10 + 1 + static_cast<size_t>(i) * 977, 0xFFFF);
        job[at + 8] = static_cast<unsigned char>(count & 0xFF);
        job[at + 9] = static_cast<unsigned char>(count >> 8);
        jobs.push_back(job);
    }
    ExpectUnknownFormat(jobs, "garbled");
}

TEST_F(BadJobTest, RandomJobs)
{
    std::vector<Bytes> jobs;
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<size_t> length(1, 6000);
    while (jobs.size() < 12) {
        Bytes job;
        // Every second one starts as a job should, so the walk gets going.
        if (jobs.size() % 2 == 1)
            job = {0x1B, 0x42, 0x44, 0x1B, 0x42, 0x50};
        for (size_t n = length(FRandom); n > 0; --n)
            job.push_back(static_cast<unsigned char>(byte(FRandom)));
        if (!Parses(job))
            jobs.push_back(job);
    }
    ExpectUnknownFormat(jobs, "random");
}

} // namespace
} // namespace printer_test
