// Parse and code print jobs of 1, 10 and 100 pages, of text-like content,
// dense content (a halftone picture) and random dots, as the print thread does: copy the job into the parser, walk it,
// code every page into its block.
//
// Counters: bytes_per_second of job bytes; memcpy_ratio, the time of parse
// and code over the time of a plain memcpy of the same bytes, measured in
// the same run; peak_rss_MB, the process's peak resident memory so far
// (it never goes down, so it shows the largest job run up to then);
// held_MB, what one parse and code holds at its end: the job stream, the
// parser's copy, its page and row records and the page blocks.
//
// warm:0 runs with the allocator as it is: the job copy and the page blocks
// come from fresh pages of the system every time, as in the printer program,
// which handles one job a process. warm:1 has the allocator keep its memory
// (no mmap, no trimming) to show the cost of the code alone; those runs come
// last, because the setting stays for the rest of the process.
#include <chrono>
#include <cstring>
#include <map>
#include <vector>

#include <benchmark/benchmark.h>

#include "AllocatorMemory.h"
#include "JobWriter.h"
#include "Kv8m.h"
#include "MemoryStream.h"
#include "Pcl_parser.h"
#include "SamplePages.h"

namespace {

enum Content { kText, kDense, kNoise };

const std::vector<unsigned char> &Job(Content content, int pages)
{
    static std::map<std::pair<int, int>, std::vector<unsigned char>> jobs;
    auto key = std::make_pair(static_cast<int>(content), pages);
    auto found = jobs.find(key);
    if (found != jobs.end())
        return found->second;
    std::vector<jobwriter::PageImage> images;
    for (int i = 0; i < pages; ++i)
        images.push_back(content == kText    ? jobwriter::MakeTextPage(static_cast<unsigned>(i))
                         : content == kDense ? jobwriter::MakeDensePage(static_cast<unsigned>(i))
                                             : jobwriter::MakeNoisePage(static_cast<unsigned>(i)));
    return jobs[key] = jobwriter::WriteJob(images, jobwriter::JobOptions());
}

double SecondsOfMemcpy(const std::vector<unsigned char> &job)
{
    std::vector<unsigned char> target(job.size());
    std::memcpy(target.data(), job.data(), job.size()); // first touch not timed
    int rounds = 0;
    auto start = std::chrono::steady_clock::now();
    std::chrono::duration<double> spent{};
    do {
        std::memcpy(target.data(), job.data(), job.size());
        benchmark::ClobberMemory();
        ++rounds;
        spent = std::chrono::steady_clock::now() - start;
    } while (spent.count() < 0.05);
    benchmark::DoNotOptimize(target.data());
    return spent.count() / rounds;
}

double HeldMegabytes(size_t jobBytes, const TPCL_file &parser, size_t blocks)
{
    size_t pages = 0, rows = 0;
    for (TPCL_page *p = parser.GetFirstPage(); p; p = p->Next, ++pages)
        for (TPCL_row *r = p->FirstRow; r; r = r->Next)
            ++rows;
    const size_t bytes =
        2 * jobBytes + pages * sizeof(TPCL_page) + rows * sizeof(TPCL_row) + blocks * size_t{712800};
    return static_cast<double>(bytes) / 1e6;
}

void ParseAndCode(benchmark::State &state, Content content)
{
    if (state.range(1) != 0)
        KeepAllocatorMemory();
    const std::vector<unsigned char> &job = Job(content, static_cast<int>(state.range(0)));
    TMemoryStream stream;
    stream.Write(job.data(), static_cast<int>(job.size()));

    std::chrono::duration<double> spent{};
    size_t pages = 0;
    double held = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        {
            TPCL_file parser(&stream);
            if (parser.Parse() != 0) {
                state.SkipWithError("the job did not parse");
                return;
            }
            TKv8m_Compress coder(&parser);
            coder.Convert();
            pages = coder.GetBlocks()->size();
            benchmark::DoNotOptimize(coder.LastBlock());
            if (held == 0) {
                auto paused = std::chrono::steady_clock::now();
                held = HeldMegabytes(job.size(), parser, pages);
                start += std::chrono::steady_clock::now() - paused;
            }
        } // the blocks and records are freed inside the timing, as in the program
        spent += std::chrono::steady_clock::now() - start;
    }
    if (pages != static_cast<size_t>(state.range(0)))
        state.SkipWithError("wrong page count");

    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(job.size()));
    state.counters["job_MB"] = static_cast<double>(job.size()) / 1e6;
    state.counters["memcpy_ratio"] = spent.count() / static_cast<double>(state.iterations()) / SecondsOfMemcpy(job);
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
    state.counters["held_MB"] = held;
}

void BM_TextJob(benchmark::State &state)
{
    ParseAndCode(state, kText);
}

void BM_DenseJob(benchmark::State &state)
{
    ParseAndCode(state, kDense);
}

void BM_NoiseJob(benchmark::State &state)
{
    ParseAndCode(state, kNoise);
}

void Sizes(benchmark::internal::Benchmark *b, int warm)
{
    b->ArgNames({"pages", "warm"});
    for (int pages : {1, 10, 100})
        b->Args({pages, warm});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_TextJob)->Apply([](benchmark::internal::Benchmark *b) { Sizes(b, 0); });
BENCHMARK(BM_DenseJob)->Apply([](benchmark::internal::Benchmark *b) { Sizes(b, 0); });
BENCHMARK(BM_NoiseJob)->Apply([](benchmark::internal::Benchmark *b) { Sizes(b, 0); });
BENCHMARK(BM_TextJob)->Apply([](benchmark::internal::Benchmark *b) { Sizes(b, 1); });
BENCHMARK(BM_DenseJob)->Apply([](benchmark::internal::Benchmark *b) { Sizes(b, 1); });
BENCHMARK(BM_NoiseJob)->Apply([](benchmark::internal::Benchmark *b) { Sizes(b, 1); });

} // namespace

BENCHMARK_MAIN();
