// Latency from a CommandRecord reaching the real main window (0x7FFF code 0)
// to its command's first action, under Wine. The Windows half,
// dispatch_latency_probe, times each press on its own performance counter and
// prints it; this side turns the figures into benchmark results.
//
// Runs for each Windows build: VEXA_WIN64_BUILD and VEXA_WIN32_BUILD (default
// build/win64 and build/win32 under the source tree) with
// dispatch_latency_probe.exe. Without DISPLAY the probe runs under xvfb-run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "bench/wine_probe.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPresses = 300;

using vexa::bench::percentile;
using vexa::bench::windowsBuild;

// The probe times each press itself and prints it.
// `holds`: another command of the remote has a held-button setting, which the
// measured presses (of commands without one) must not be slowed by.
std::string startProbe(vexa::bench::CWineProbe& probe, const std::string& arch, int presses, bool holds) {
  const fs::path build = windowsBuild(arch);
  const fs::path exe = build / "tests/win/exec/dispatch_latency_probe.exe";
  if (!fs::exists(exe)) return "build " + build.string() + " has no dispatch_latency_probe.exe";
  std::vector<std::string> arguments = {exe.string(), std::to_string(presses)};
  if (holds) arguments.push_back("holds");
  return probe.Start(arch, build, arguments, true);
}

void BM_CommandRecordToFirstAction(benchmark::State& state, const char* arch, bool holds) {
  vexa::bench::CWineProbe probe;
  if (std::string error = startProbe(probe, arch, kPresses, holds); !error.empty())
    return state.SkipWithError(error.c_str());
  std::vector<double> micros, handOver;
  for (auto _ : state) {
    // The first line waits for Wine to start the probe.
    std::istringstream line(probe.ReadLine(micros.empty() ? 120000 : 10000));
    double toAction = 0, returned = 0;
    if (!(line >> toAction >> returned)) return state.SkipWithError("the probe stopped before all presses");
    state.SetIterationTime(toAction / 1e6);
    micros.push_back(toAction);
    handOver.push_back(returned);
  }
  if (micros.empty()) return;
  state.counters["median_us"] = percentile(micros, 0.5);
  state.counters["p99_us"] = percentile(micros, 0.99);
  state.counters["max_us"] = *std::max_element(micros.begin(), micros.end());
  state.counters["window_median_us"] = percentile(handOver, 0.5);
  state.counters["presses"] = static_cast<double>(micros.size());
}
BENCHMARK_CAPTURE(BM_CommandRecordToFirstAction, win64, vexa::bench::kWin64, false)
    ->UseManualTime()
    ->Iterations(kPresses)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_CommandRecordToFirstAction, win64_other_command_held, vexa::bench::kWin64, true)
    ->UseManualTime()
    ->Iterations(kPresses)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_CommandRecordToFirstAction, win32, vexa::bench::kWin32, false)
    ->UseManualTime()
    ->Iterations(kPresses)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_CommandRecordToFirstAction, win32_other_command_held, vexa::bench::kWin32, true)
    ->UseManualTime()
    ->Iterations(kPresses)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
