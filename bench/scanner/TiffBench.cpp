// Build the TIFF of a scanned document of 1 and 9 pages from its record
// stream, as the scan thread does after a scan: a TTiff over the stream and
// the announced page count, Convert, and the block freed with it.
//
// The pages are text-like (mostly white, the usual scan) or a halftone
// picture (nearly every byte inked; its lines are clipped to the 255 bytes
// a line record holds, as the device does).
//
// Counters: memset_ratio, the time of a build over the time of a plain
// memset of a block of the same size ((pages + 1) x 475,200 bytes) that is
// already in memory, measured in the same run; fresh_memset_ratio, the same
// over a block that is allocated, filled by memset and freed each time, as
// a converter's block is; stream_MB, the record stream; block_MB, the
// block; peak_rss_MB, the process's peak resident memory so far (it never
// goes down, so it shows the largest build run up to then).
//
// warm:0 runs with the allocator as it is: the block comes from fresh pages
// of the system every time, as in the scanner program. warm:1 has the
// allocator keep its memory (no mmap, no trimming) to show the cost of the
// code alone; those runs come last, because the setting stays for the rest
// of the process.
#include <chrono>
#include <cstring>
#include <map>
#include <vector>

#include <benchmark/benchmark.h>

#include "AllocatorMemory.h"
#include "MemoryStream.h"
#include "SamplePages.h"
#include "Tiff.h"
#include "ZeroRun.h"

namespace {

enum Content { kText, kDense };

constexpr size_t kPageBlock = 475200;

// The records the device link stores for a document of `pages` pages.
const std::vector<unsigned char> &Records(Content content, int pages)
{
    static std::map<std::pair<int, int>, std::vector<unsigned char>> streams;
    auto key = std::make_pair(static_cast<int>(content), pages);
    auto found = streams.find(key);
    if (found != streams.end())
        return found->second;
    std::vector<unsigned char> records;
    auto record = [&](unsigned char kind, std::vector<unsigned char> payload) {
        records.push_back(0xFE);
        records.push_back(kind);
        records.insert(records.end(), payload.begin(), payload.end());
    };
    record(0xF2, {0, 1, 0, 0}); // fine resolution: one record a line
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            record(0xF8, {0, 0, 0, 0});
        const jobwriter::PageImage image = content == kText ? jobwriter::MakeTextPage(static_cast<unsigned>(page))
                                                            : jobwriter::MakeDensePage(static_cast<unsigned>(page));
        for (int row = 0; row < image.Height; ++row) {
            std::vector<unsigned char> code;
            standin::EncodeRecordLine(image.Row(row), standin::kLineBytes, standin::kMaxRecordBytes, &code);
            records.push_back(0xFE);
            records.push_back(0xF3);
            records.push_back(static_cast<unsigned char>(code.size()));
            records.insert(records.end(), code.begin(), code.end());
        }
    }
    record(0xF6, {0, 0, 0, 0});
    return streams[key] = records;
}

double SecondsOfMemset(size_t size)
{
    std::vector<unsigned char> block(size);
    std::memset(block.data(), 1, size); // first touch not timed
    int rounds = 0;
    auto start = std::chrono::steady_clock::now();
    std::chrono::duration<double> spent{};
    do {
        std::memset(block.data(), rounds & 0xFF, size);
        benchmark::ClobberMemory();
        ++rounds;
        spent = std::chrono::steady_clock::now() - start;
    } while (spent.count() < 0.05);
    benchmark::DoNotOptimize(block.data());
    return spent.count() / rounds;
}

// A block allocated, filled and freed, as the converter's is.
double SecondsOfFreshMemset(size_t size)
{
    int rounds = 0;
    auto start = std::chrono::steady_clock::now();
    std::chrono::duration<double> spent{};
    do {
        unsigned char *block = new unsigned char[size];
        std::memset(block, rounds & 0xFF, size);
        benchmark::DoNotOptimize(block);
        benchmark::ClobberMemory();
        delete[] block;
        ++rounds;
        spent = std::chrono::steady_clock::now() - start;
    } while (spent.count() < 0.05);
    return spent.count() / rounds;
}

void BuildTiff(benchmark::State &state, Content content)
{
    if (state.range(1) != 0)
        KeepAllocatorMemory();
    const int pages = static_cast<int>(state.range(0));
    const std::vector<unsigned char> &records = Records(content, pages);
    TMemoryStream stream;
    stream.Write(records.data(), static_cast<int>(records.size()));

    std::chrono::duration<double> spent{};
    int built = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        {
            TTiff tiff(&stream, pages);
            tiff.Convert();
            built = tiff.GetBlocks() ? static_cast<int>(tiff.GetBlocks()->size()) : 0;
            benchmark::DoNotOptimize(tiff.LastBlock());
        } // the block is freed inside the timing, as in the scan thread
        spent += std::chrono::steady_clock::now() - start;
    }
    if (built != 1)
        state.SkipWithError("no block built");

    const size_t block = static_cast<size_t>(pages + 1) * kPageBlock;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(block));
    state.counters["stream_MB"] = static_cast<double>(records.size()) / 1e6;
    state.counters["block_MB"] = static_cast<double>(block) / 1e6;
    const double perBuild = spent.count() / static_cast<double>(state.iterations());
    state.counters["memset_ratio"] = perBuild / SecondsOfMemset(block);
    state.counters["fresh_memset_ratio"] = perBuild / SecondsOfFreshMemset(block);
    state.counters["peak_rss_MB"] = PeakRssMegabytes();
}

void BM_TextScan(benchmark::State &state) { BuildTiff(state, kText); }
void BM_DenseScan(benchmark::State &state) { BuildTiff(state, kDense); }

void Sizes(benchmark::internal::Benchmark *b, int warm)
{
    b->ArgNames({"pages", "warm"});
    for (int pages : {1, 9})
        b->Args({pages, warm});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_TextScan)->Apply([](benchmark::internal::Benchmark *b) { Sizes(b, 0); });
BENCHMARK(BM_DenseScan)->Apply([](benchmark::internal::Benchmark *b) { Sizes(b, 0); });
BENCHMARK(BM_TextScan)->Apply([](benchmark::internal::Benchmark *b) { Sizes(b, 1); });
BENCHMARK(BM_DenseScan)->Apply([](benchmark::internal::Benchmark *b) { Sizes(b, 1); });

} // namespace

BENCHMARK_MAIN();
