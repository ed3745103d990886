// Latency of a button through the real tunerbox.dll under Wine: from a GPIO
// change of the stand-in driver's simulated card to the command record at a
// window. The Windows probe times each press on its own clock (the card's
// script starts as the request arrives) and reports the median and p99; the
// target is one 50 ms poll plus 2 ms.
//
// Runs for each Windows build: VEXA_WIN64_BUILD and VEXA_WIN32_BUILD (default
// build/win64 and build/win32 under the source tree) with
// tests/win/tunerbox/tunerbox_latency_probe.exe and the files beside it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/wine_probe.h"

namespace {

namespace fs = std::filesystem;
constexpr int kPresses = 200;

void BM_GpioChangeToCommandRecord(benchmark::State& state, const char* arch) {
  const fs::path build = vexa::bench::windowsBuild(arch);
  const fs::path exe = build / "tests/win/tunerbox/tunerbox_latency_probe.exe";
  if (!fs::exists(exe)) return state.SkipWithError(("build " + build.string() + " has no tunerbox_latency_probe.exe").c_str());
  for (auto _ : state) {
    vexa::bench::CWineProbe probe;
    if (std::string error = probe.Start(arch, build, {exe.string(), std::to_string(kPresses)}, true); !error.empty())
      return state.SkipWithError(error.c_str());
    const std::string line = probe.ReadLine(600000);
    double median = 0, p99 = 0;
    int presses = 0;
    if (std::sscanf(line.c_str(), "GPIO change to command record over %d presses: median %lf ms, p99 %lf ms", &presses,
                    &median, &p99) != 3)
      return state.SkipWithError(("the probe said: " + line).c_str());
    state.SetIterationTime(median / 1e3);
    state.counters["median_ms"] = median;
    state.counters["p99_ms"] = p99;
    state.counters["presses"] = presses;
  }
}
BENCHMARK_CAPTURE(BM_GpioChangeToCommandRecord, win64, vexa::bench::kWin64)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GpioChangeToCommandRecord, win32, vexa::bench::kWin32)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
