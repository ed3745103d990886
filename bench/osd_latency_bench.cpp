// Latency from a display request reaching the real main window (0x7FFF code
// 98, sent from another thread as execution runs do) to the bar window
// painted, under Wine. The Windows half, osd_latency_probe, times each
// request on its own performance counter; the target is one frame (16 ms).
//
// Runs for each Windows build: VEXA_WIN64_BUILD and VEXA_WIN32_BUILD (default
// build/win64 and build/win32 under the source tree). Without DISPLAY the
// probe runs under xvfb-run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "bench/wine_probe.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRequests = 200;

void BM_DisplayRequestToPainted(benchmark::State& state, const char* arch) {
  vexa::bench::CWineProbe probe;
  const fs::path build = vexa::bench::windowsBuild(arch);
  const fs::path exe = build / "tests/win/osd/osd_latency_probe.exe";
  if (!fs::exists(exe)) return state.SkipWithError(("build " + build.string() + " has no osd_latency_probe.exe").c_str());
  if (std::string error = probe.Start(arch, build, {exe.string(), std::to_string(kRequests)}, true); !error.empty())
    return state.SkipWithError(error.c_str());
  std::vector<double> micros;
  for (auto _ : state) {
    std::istringstream line(probe.ReadLine(micros.empty() ? 120000 : 10000));
    double us = 0;
    if (!(line >> us)) return state.SkipWithError("the probe stopped before all requests");
    state.SetIterationTime(us / 1e6);
    micros.push_back(us);
  }
  if (micros.empty()) return;
  state.counters["median_us"] = vexa::bench::percentile(micros, 0.5);
  state.counters["p99_us"] = vexa::bench::percentile(micros, 0.99);
  state.counters["requests"] = static_cast<double>(micros.size());
}
BENCHMARK_CAPTURE(BM_DisplayRequestToPainted, win64, vexa::bench::kWin64)
    ->UseManualTime()
    ->Iterations(kRequests)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DisplayRequestToPainted, win32, vexa::bench::kWin32)
    ->UseManualTime()
    ->Iterations(kRequests)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
