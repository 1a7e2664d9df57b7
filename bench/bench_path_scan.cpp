// The search-path scan against the fake host: its cost per entry must stay flat as PATH grows.
#include <benchmark/benchmark.h>

#include <string>

#include "checks/checks.h"
#include "fake_host.h"

namespace {

// COUNT entries of the length a real PATH has ("C:\Program Files\Vendor1234\bin").
std::string MakePath(long count) {
  std::string path;
  for (long i = 0; i < count; ++i) {
    if (i > 0) path += ';';
    path += "C:\\Program Files\\Vendor" + std::to_string(i) + "\\bin";
  }
  return path;
}

void RunScan(benchmark::State& state, const std::string& path, long entries) {
  ResetFakeHost({"PATH=" + path});
  CaptureEnvironment();
  SetFakeRecording(false);
  for (auto _ : state) {
    benchmark::DoNotOptimize(CheckNoShInPath());
  }
  state.SetItemsProcessed(state.iterations() * entries);
  // Seconds per entry ("12n" is 12 ns): the figure that must not grow with the count.
  state.counters["per_entry"] = benchmark::Counter(static_cast<double>(state.iterations() * entries),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetComplexityN(entries);
}

void BM_ScanEntries(benchmark::State& state) { RunScan(state, MakePath(state.range(0)), state.range(0)); }
BENCHMARK(BM_ScanEntries)->Arg(10)->Arg(100)->Arg(1000)->Arg(8000)->Complexity(benchmark::oN);

// The longest value Windows allows in one variable: 32,767 bytes.
void BM_Scan32767Bytes(benchmark::State& state) {
  std::string path = MakePath(2000);
  path.resize(32767);
  long entries = 1;
  for (const char c : path) entries += c == ';';
  RunScan(state, path, entries);
}
BENCHMARK(BM_Scan32767Bytes);

}  // namespace

BENCHMARK_MAIN();
