// Cost of registry calls on a machine root in a temporary folder: reads
// served from the cached hive (one stat each), the discovery walk, and
// writes (each a locked rewrite of the hive with fsync and rename); and the
// parse of a hive text whose one key holds many values.
#include "machine/FtdiBus.h"
#include "machine/MachineRoot.h"
#include "registry/HiveText.h"
#include "winreg.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ftw.h>
#include <string>

namespace {

// The ids the devices are plugged in under.
const char kVendor[] = "0403";
const char kProduct[] = "6001";

// A temporary machine root with `devices` plugged bridge devices and
// `filler` further keys of ten values each.
class BenchRoot {
public:
    BenchRoot(int devices, int filler)
    {
        char pattern[] = "/tmp/arv-registry-bench-XXXXXX";
        if (!mkdtemp(pattern))
            abort();
        fRoot = pattern;
        setenv(machine::kRootVariable, fRoot.c_str(), 1);
        for (int i = 0; i < devices; ++i)
            machine::RegisterDevice("SER" + std::to_string(i), "0000", "COM" + std::to_string(3 + i), kVendor,
                                    kProduct);
        for (int k = 0; k < filler; ++k) {
            HKEY key = nullptr;
            std::string path = "SOFTWARE\\Filler\\Key" + std::to_string(k);
            RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key);
            for (int v = 0; v < 10; ++v) {
                std::string name = "value" + std::to_string(v);
                RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>("some text"), 10);
            }
            RegCloseKey(key);
        }
    }
    ~BenchRoot()
    {
        unsetenv(machine::kRootVariable);
        nftw(fRoot.c_str(), [](const char *path, const struct stat *, int, struct FTW *) { return remove(path); },
             16, FTW_DEPTH | FTW_PHYS);
    }

private:
    std::string fRoot;
};

void BM_QueryCached(benchmark::State &state)
{
    BenchRoot root(2, static_cast<int>(state.range(0)));
    std::string path = machine::FtdiParametersKey("SER1", "0000", kVendor, kProduct);
    for (auto _ : state) {
        HKEY key = nullptr;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key);
        char port[32];
        DWORD size = sizeof port;
        benchmark::DoNotOptimize(
            RegQueryValueExA(key, "PortName", nullptr, nullptr, reinterpret_cast<BYTE *>(port), &size));
        RegCloseKey(key);
    }
    state.counters["hive_keys"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_QueryCached)->Arg(10)->Arg(1000);

// The walk that port discovery makes: bus key, devices, instances, port names.
void BM_DiscoveryWalk(benchmark::State &state)
{
    BenchRoot root(static_cast<int>(state.range(0)), 100);
    for (auto _ : state) {
        HKEY bus = nullptr;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, machine::kFtdiBusKey, 0, KEY_READ, &bus);
        char device[256];
        for (DWORD d = 0;; ++d) {
            DWORD length = sizeof device;
            if (RegEnumKeyExA(bus, d, device, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            std::string parameters = std::string(machine::kFtdiBusKey) + "\\" + device + "\\0000\\Device Parameters";
            HKEY key = nullptr;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parameters.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
                char port[32];
                DWORD size = sizeof port;
                benchmark::DoNotOptimize(
                    RegQueryValueExA(key, "PortName", nullptr, nullptr, reinterpret_cast<BYTE *>(port), &size));
                RegCloseKey(key);
            }
        }
        RegCloseKey(bus);
    }
}
BENCHMARK(BM_DiscoveryWalk)->Arg(1)->Arg(8);

// A committed write: lock, rewrite, fsync, rename.
void BM_SetValue(benchmark::State &state)
{
    BenchRoot root(1, static_cast<int>(state.range(0)));
    HKEY key = nullptr;
    RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Bench", &key);
    DWORD counter = 0;
    for (auto _ : state) {
        ++counter;
        benchmark::DoNotOptimize(
            RegSetValueExA(key, "Counter", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&counter), sizeof counter));
    }
    RegCloseKey(key);
    state.counters["hive_keys"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_SetValue)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

// What every process that reads the hive pays: the parse of its text, here
// one key with `range(0)` values.
void BM_ParseKeyOfManyValues(benchmark::State &state)
{
    const int values = static_cast<int>(state.range(0));
    std::string text = "[SOFTWARE\\Many]\n";
    for (int v = 0; v < values; ++v)
        text += "\"value" + std::to_string(v) + "\"=sz:\"some text\"\n";
    for (auto _ : state) {
        registry::Hive hive = registry::ParseHive(text);
        benchmark::DoNotOptimize(hive.refusal);
    }
    state.counters["values"] = static_cast<double>(values);
}
BENCHMARK(BM_ParseKeyOfManyValues)->Arg(1000)->Arg(40000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
