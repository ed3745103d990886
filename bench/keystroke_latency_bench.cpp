// Latency from a CommandRecord reaching the real main window (what a plug-in
// sends once it has read a code from the serial line) to the first keystroke
// of "Keystroke to window" arriving in a window of another process, under
// Wine. The Windows half, keystroke_latency_probe, times each press on the
// performance counter both processes share and prints it.
//
// Runs for each Windows build: VEXA_WIN64_BUILD and VEXA_WIN32_BUILD (default
// build/win64 and build/win32) with keystroke_latency_probe.exe. Without
// DISPLAY the probe runs under xvfb-run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "bench/wine_probe.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPresses = 200;

void BM_PressToFirstKeystroke(benchmark::State& state, const char* arch) {
  vexa::bench::CWineProbe probe;
  const fs::path build = vexa::bench::windowsBuild(arch);
  const fs::path exe = build / "tests/win/exec/keystroke_latency_probe.exe";
  if (!fs::exists(exe)) return state.SkipWithError(("build " + build.string() + " has no probe").c_str());
  if (std::string error = probe.Start(arch, build, {exe.string(), std::to_string(kPresses)}, true); !error.empty())
    return state.SkipWithError(error.c_str());
  std::vector<double> micros;
  for (auto _ : state) {
    std::istringstream line(probe.ReadLine(micros.empty() ? 120000 : 10000));
    double us = 0;
    if (!(line >> us)) return state.SkipWithError("the probe stopped before all presses");
    state.SetIterationTime(us / 1e6);
    micros.push_back(us);
  }
  if (micros.empty()) return;
  state.counters["median_us"] = vexa::bench::percentile(micros, 0.5);
  state.counters["p99_us"] = vexa::bench::percentile(micros, 0.99);
  state.counters["presses"] = static_cast<double>(micros.size());
}
BENCHMARK_CAPTURE(BM_PressToFirstKeystroke, win64, vexa::bench::kWin64)
    ->UseManualTime()
    ->Iterations(kPresses)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PressToFirstKeystroke, win32, vexa::bench::kWin32)
    ->UseManualTime()
    ->Iterations(kPresses)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
