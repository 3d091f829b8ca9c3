// The class library's readers on inputs that used to cost far more than
// their size:
//
// FormOfLabels/N reads a form resource of N sibling labels into a fresh
// form and frees it (offscreen; the form is not shown).
//
// ForgedJpeg decodes a 126-byte progressive JPEG that announces 9450 x 9450
// pixels and ends after its first scan header; it is refused. Counter
// peak_heap_MB: how far the heap grew over the runs, with the allocator
// made to keep what it gets (no mmap, no trimming), so the largest block
// the decoder held at once shows however the runs reuse memory.
#include <cstdlib>

#include <malloc.h>

#include <QByteArray>

#include <benchmark/benchmark.h>

#include "AllocatorMemory.h"
#include "Exceptions.h"
#include "ForgedInput.h"
#include "Form.h"
#include "FormReader.h"
#include "JpegImage.h"
#include "TempMachineRoot.h"

namespace {

void FormOfLabels(benchmark::State &state)
{
    testsupport::TempMachineRoot root("readers-bench");
    testsupport::WriteUiLanguage("1033");
    const std::string text = testsupport::LabelsFormText("Labels", "TForm", static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto *form = new TForm(nullptr);
        ReadFormText(form, &TForm::staticMetaObject, text, "Labels.dfm");
        benchmark::DoNotOptimize(form->ComponentCount());
        form->Free();
    }
}
BENCHMARK(FormOfLabels)->Arg(4000)->Arg(8000)->Unit(benchmark::kMillisecond)->Iterations(1);

void ForgedJpeg(benchmark::State &state)
{
    KeepAllocatorMemory();
    const std::string bytes = testsupport::ProgressiveJpegHeader(9450, 9450);
    const QByteArray data(bytes.data(), static_cast<int>(bytes.size()));
    // Google Benchmark calls this more than once; the heap at the first call
    // is the base.
    static const size_t before = mallinfo2().arena;
    bool refused = true;
    for (auto _ : state) {
        TJPEGImage image;
        try {
            image.LoadFromData(data);
            refused = false;
        } catch (const EJPEG &) {
        }
    }
    if (!refused)
        state.SkipWithError("the forged JPEG was decoded");
    state.counters["peak_heap_MB"] = static_cast<double>(mallinfo2().arena - before) / (1024.0 * 1024.0);
}
BENCHMARK(ForgedJpeg)->Unit(benchmark::kMillisecond);

// Qt offscreen, set before main and so before any form makes the
// application.
const bool kOffscreen = setenv("QT_QPA_PLATFORM", "offscreen", 0) == 0;

} // namespace

BENCHMARK_MAIN();
