// Start-up with a large configuration under Wine: from reading "current.vcp"
// to a main window that shows the command tree and answers, for 10,000
// commands. The Windows half, startup_probe, times each start itself (Wine's
// own start is not counted) and prints it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "bench/wine_probe.h"

namespace {

namespace fs = std::filesystem;

constexpr int kCommands = 10000;
constexpr int kRuns = 5;

void BM_StartupToResponsiveWindow(benchmark::State& state, const char* arch) {
  const fs::path build = vexa::bench::windowsBuild(arch);
  const fs::path exe = build / "tests/win/startup_probe.exe";
  if (!fs::exists(exe)) return state.SkipWithError(("build " + build.string() + " has no startup_probe.exe").c_str());
  vexa::bench::CWineProbe probe;
  if (std::string error =
          probe.Start(arch, build, {exe.string(), std::to_string(kCommands), std::to_string(kRuns)}, true);
      !error.empty())
    return state.SkipWithError(error.c_str());
  std::vector<double> millis;
  for (auto _ : state) {
    std::istringstream line(probe.ReadLine(millis.empty() ? 300000 : 120000));
    double ms = 0;
    if (!(line >> ms) || ms < 0) return state.SkipWithError("the probe stopped before all runs");
    state.SetIterationTime(ms / 1e3);
    millis.push_back(ms);
  }
  state.counters["median_ms"] = vexa::bench::percentile(millis, 0.5);
  state.counters["commands"] = kCommands;
}
BENCHMARK_CAPTURE(BM_StartupToResponsiveWindow, win64, vexa::bench::kWin64)
    ->UseManualTime()
    ->Iterations(kRuns)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartupToResponsiveWindow, win32, vexa::bench::kWin32)
    ->UseManualTime()
    ->Iterations(kRuns)
    ->Unit(benchmark::kMillisecond);

}  // namespace
