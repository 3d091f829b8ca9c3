// Parse and code print jobs of 1, 10 and 100 pages, of text-like and dense
// content, as the print thread does: copy the job into the parser, walk it,
// code every page into its block.
//
// Counters: bytes_per_second of job bytes; memcpy_ratio, the time of parse
// and code over the time of a plain memcpy of the same bytes, measured in
// the same run; peak_rss_MB, the process's peak resident memory so far.
#include <sys/resource.h>

#include <chrono>
#include <cstring>
#include <map>
#include <vector>

#include <benchmark/benchmark.h>

#include "JobWriter.h"
#include "Kv8m.h"
#include "MemoryStream.h"
#include "Pcl_parser.h"
#include "SamplePages.h"

namespace {

enum Content { kText, kDense };

const std::vector<unsigned char> &Job(Content content, int pages)
{
    static std::map<std::pair<int, int>, std::vector<unsigned char>> jobs;
    auto key = std::make_pair(static_cast<int>(content), pages);
    auto found = jobs.find(key);
    if (found != jobs.end())
        return found->second;
    std::vector<jobwriter::PageImage> images;
    for (int i = 0; i < pages; ++i)
        images.push_back(content == kText ? jobwriter::MakeTextPage(static_cast<unsigned>(i))
                                          : jobwriter::MakeDensePage(static_cast<unsigned>(i)));
    return jobs[key] = jobwriter::WriteJob(images, jobwriter::JobOptions());
}

double SecondsOfMemcpy(const std::vector<unsigned char> &job)
{
    std::vector<unsigned char> target(job.size());
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

double PeakRssMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void ParseAndCode(benchmark::State &state, Content content)
{
    const std::vector<unsigned char> &job = Job(content, static_cast<int>(state.range(0)));
    TMemoryStream stream;
    stream.Write(job.data(), static_cast<int>(job.size()));

    std::chrono::duration<double> spent{};
    size_t pages = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        TPCL_file parser(&stream);
        if (parser.Parse() != 0) {
            state.SkipWithError("the job did not parse");
            return;
        }
        TKv8m_Compress coder(&parser);
        coder.Convert();
        pages = coder.GetBlocks()->size();
        benchmark::DoNotOptimize(coder.LastBlock());
        spent += std::chrono::steady_clock::now() - start;
    }
    if (pages != static_cast<size_t>(state.range(0)))
        state.SkipWithError("wrong page count");

    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(job.size()));
    state.counters["job_MB"] = static_cast<double>(job.size()) / 1e6;
    state.counters["memcpy_ratio"] = spent.count() / static_cast<double>(state.iterations()) / SecondsOfMemcpy(job);
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
}

void BM_TextJob(benchmark::State &state)
{
    ParseAndCode(state, kText);
}

void BM_DenseJob(benchmark::State &state)
{
    ParseAndCode(state, kDense);
}

BENCHMARK(BM_TextJob)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DenseJob)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
