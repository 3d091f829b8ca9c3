// Cost of finding the program of a command line on a fresh machine root: a
// long unquoted line of words that names no program, which is tried word by
// word as Windows tries an unquoted path with blanks.
#include "TempMachineRoot.h"
#include "machine/Programs.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_FindProgramOfManyWords(benchmark::State &state)
{
    testsupport::TempMachineRoot root("arv-search-bench", testsupport::Layout::Now);
    const int words = static_cast<int>(state.range(0));
    std::string line;
    for (int w = 0; w < words; ++w)
        line += (w ? " word" : "missing") + std::to_string(w);
    for (auto _ : state) {
        machine::Program program;
        benchmark::DoNotOptimize(machine::FindProgram(line, &program));
    }
    state.counters["words"] = static_cast<double>(words);
}
BENCHMARK(BM_FindProgramOfManyWords)->Arg(100)->Arg(16000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
