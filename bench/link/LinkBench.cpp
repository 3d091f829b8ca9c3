// Time to send one page to the device stand-in, against the floor that the
// protocol itself sets, and the processor time the host spends meanwhile.
//
// Paced at 19200 baud (10 bits a byte) every exchange costs at least its
// write delay or the wire time of its bytes both ways, whichever is longer:
// the device can answer only once the request has come over the wire, and
// the host reads only after sleeping its write delay. A page of n data
// frames is n frame exchanges (221 bytes out, 3 back), the end of page
// (5 out, 6 back) and one status query (5 out, 9 back).
//
// Counters:
//   floor_ms      that floor for the page
//   sum_floor_ms  wire time of every byte both ways plus the write delay
//                 after every write, added up as if nothing overlapped
//   overhead_pct  (measured - floor) / floor
//   cpu_ms        processor time of the sending thread during Send
//   cpu_pct       cpu_ms / measured
//
// The default run sends a 2,592-byte page (a few seconds). Set
// ARV_BENCH_LONG=1 to add the 20 KB and 100 KB pages (about 12 s and 56 s
// each); the unpaced runs show the host's own cost per frame.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ftw.h>
#include <memory>
#include <string>
#include <time.h>
#include <vector>

#include "DeviceHarness.h"
#include "Usb_kv8m.h"
#include "machine/MachineRoot.h"

namespace {

const double kByteMs = 10.0 * 1000.0 / 19200.0;

double NowMs(clockid_t clock) {
  timespec now;
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

int RemoveEntry(const char *path, const struct stat *, int, struct FTW *) {
  remove(path);
  return 0;
}

// One machine root and one stand-in of each kind for the whole run.
struct Bench {
  std::string root;
  std::unique_ptr<standin::DeviceProcess> paced, unpaced;

  Bench() {
    char pattern[] = "/tmp/link-bench-XXXXXX";
    if (mkdtemp(pattern) != nullptr)
      root = pattern;
    setenv(machine::kRootVariable, root.c_str(), 1);
    standin::DeviceOptions options;
    options.port = "COM3";
    options.paced = true;
    paced.reset(new standin::DeviceProcess(options));
    options.port = "COM4";
    options.serial = "ARV0002";
    options.paced = false;
    unpaced.reset(new standin::DeviceProcess(options));
  }
  ~Bench() {
    paced.reset();
    unpaced.reset();
    if (!root.empty())
      nftw(root.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  }
};

Bench &TheBench() {
  static Bench bench;
  return bench;
}

// A page whose bytes the zero-run decoding keeps as they are.
std::vector<unsigned char> Page(size_t bytes) {
  std::vector<unsigned char> page(bytes);
  for (size_t i = 0; i < bytes; ++i)
    page[i] = static_cast<unsigned char>(1 + i % 255);
  return page;
}

void SendPage(benchmark::State &state, bool paced) {
  Bench &bench = TheBench();
  standin::DeviceProcess &device = paced ? *bench.paced : *bench.unpaced;
  if (!device.Started()) {
    state.SkipWithError(("stand-in did not start: " + device.Error()).c_str());
    return;
  }
  const int writeDelay = paced ? TUSB_kv8m::kWriteDelay : 0;
  const size_t bytes = static_cast<size_t>(state.range(0));
  std::vector<unsigned char> page = Page(bytes);
  TBlockList blocks = {page.data()};
  TSizeList sizes = {static_cast<int>(bytes)};

  TUSB_kv8m link;
  if (link.Open(device.PortName().c_str(), TUSB_kv8m::kBaud, writeDelay) != 0) {
    state.SkipWithError("the link did not open");
    return;
  }
  link.SetData(&blocks, &sizes);
  double wallTotal = 0, cpuTotal = 0;
  for (auto _ : state) {
    link.SetStartPage(0);
    if (link.StartJob(1, 50, 1) != 1) {
      state.SkipWithError("job start refused");
      break;
    }
    const double wall0 = NowMs(CLOCK_MONOTONIC), cpu0 = NowMs(CLOCK_THREAD_CPUTIME_ID);
    const int result = link.Send();
    const double cpu = NowMs(CLOCK_THREAD_CPUTIME_ID) - cpu0, wall = NowMs(CLOCK_MONOTONIC) - wall0;
    if (result != 1) {
      state.SkipWithError("page not sent");
      break;
    }
    state.SetIterationTime(wall / 1000.0);
    wallTotal += wall;
    cpuTotal += cpu;
  }
  const double iterations = static_cast<double>(state.iterations());
  if (iterations == 0)
    return;
  const double frames = static_cast<double>((bytes + 215) / 216);
  const double delay = writeDelay;
  auto exchange = [&](double out, double in) {
    return std::max(delay, (out + in) * kByteMs);
  };
  const double floor = paced ? frames * exchange(221, 3) + exchange(5, 6) + exchange(5, 9) : 0;
  const double sumFloor =
      paced ? (frames * 224 + 11 + 14) * kByteMs + (frames + 2) * delay : 0;
  const double measured = wallTotal / iterations;
  state.counters["frames"] = frames;
  state.counters["cpu_ms"] = cpuTotal / iterations;
  state.counters["cpu_pct"] = 100.0 * cpuTotal / wallTotal;
  if (paced) {
    state.counters["floor_ms"] = floor;
    state.counters["sum_floor_ms"] = sumFloor;
    state.counters["overhead_pct"] = 100.0 * (measured - floor) / floor;
  } else {
    state.counters["us_per_frame"] = 1000.0 * measured / (frames + 2);
  }
}

void BM_SendPagePaced(benchmark::State &state) { SendPage(state, true); }
void BM_SendPageUnpaced(benchmark::State &state) { SendPage(state, false); }

} // namespace

int main(int argc, char **argv) {
  const char *longRun = std::getenv("ARV_BENCH_LONG");
  auto *paced = benchmark::RegisterBenchmark("BM_SendPagePaced", BM_SendPagePaced);
  paced->Arg(2592)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
  if (longRun != nullptr && *longRun == '1')
    paced->Arg(20 * 1024)->Arg(100 * 1024);
  benchmark::RegisterBenchmark("BM_SendPageUnpaced", BM_SendPageUnpaced)
      ->Arg(2592)
      ->Arg(20 * 1024)
      ->Arg(100 * 1024)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
