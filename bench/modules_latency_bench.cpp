// Latencies through the outside modules on a real main window under Wine:
//   HotKeyToFirstAction   a key typed (as the keyboard gives it) -> tapmod.dll's hook ->
//                         the main window -> the first action of its command
//   CommandToServerLine   a command started -> its run forwards it (0x468) ->
//                         vexanet.dll -> the line read by a TCP client
// The Windows half, modules_latency_probe, times each press on its own
// performance counter; this side turns the figures into benchmark results.
// Runs for each Windows build (VEXA_WIN64_BUILD, VEXA_WIN32_BUILD; default
// build/win64 and build/win32). Without DISPLAY the probe runs under xvfb-run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/wine_probe.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPresses = 200;

using vexa::bench::percentile;
using vexa::bench::windowsBuild;

// A wineserver left from the last probe still speaks to that probe's private X
// display, which is gone: the next probe must start with a server of its own.
void waitForWineToEnd(const fs::path& build) {
  const std::string command = "WINEPREFIX='" + (build / "wineprefix").string() + "' /usr/lib/wine/wineserver -w";
  if (std::system(command.c_str()) != 0) return;
}

void BM_ModuleLatency(benchmark::State& state, const char* arch, const char* mode) {
  const fs::path build = windowsBuild(arch);
  const fs::path exe = build / "tests/win/modules/modules_latency_probe.exe";
  if (!fs::exists(exe)) return state.SkipWithError(("build " + build.string() + " has no modules_latency_probe.exe").c_str());
  waitForWineToEnd(build);
  vexa::bench::CWineProbe probe;
  if (std::string error = probe.Start(arch, build, {exe.string(), mode, std::to_string(kPresses)}, true); !error.empty())
    return state.SkipWithError(error.c_str());
  std::vector<double> micros;
  for (auto _ : state) {
    // The probe prints its figures once all presses are done.
    const std::string line = probe.ReadLine(micros.empty() ? 180000 : 10000);
    if (line.empty()) return state.SkipWithError("the probe stopped before all presses");
    const double us = std::stod(line);
    state.SetIterationTime(us / 1e6);
    micros.push_back(us);
  }
  if (micros.empty()) return;
  state.counters["median_us"] = percentile(micros, 0.5);
  state.counters["p99_us"] = percentile(micros, 0.99);
  state.counters["presses"] = static_cast<double>(micros.size());
}

void BM_HotKeyToFirstAction(benchmark::State& state, const char* arch) { BM_ModuleLatency(state, arch, "hotkey"); }
void BM_CommandToServerLine(benchmark::State& state, const char* arch) { BM_ModuleLatency(state, arch, "server"); }

BENCHMARK_CAPTURE(BM_HotKeyToFirstAction, win64, vexa::bench::kWin64)
    ->UseManualTime()->Iterations(kPresses)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_HotKeyToFirstAction, win32, vexa::bench::kWin32)
    ->UseManualTime()->Iterations(kPresses)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_CommandToServerLine, win64, vexa::bench::kWin64)
    ->UseManualTime()->Iterations(kPresses)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_CommandToServerLine, win32, vexa::bench::kWin32)
    ->UseManualTime()->Iterations(kPresses)->Unit(benchmark::kMicrosecond);

}  // namespace
