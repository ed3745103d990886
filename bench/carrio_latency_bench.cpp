// Latency of one edge through the scripted-line carrio.dll under Wine: from an
// edge written on the pseudo-terminal that its scripted line reads, to the
// timing sample reaching a window's message handler (which reports it on a
// pipe at once). The road is the shipped one from the line's edge on: the
// timing thread, the ring and the delivery loop.
//
// Runs for each Windows build: VEXA_WIN64_BUILD and VEXA_WIN32_BUILD (default
// build/win64 and build/win32 under the source tree) with the scripted
// carrio.dll, carrio_latency_probe.exe and a Wine prefix.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/wine_probe.h"
#include "tools/vremote/pty_line.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using vexa::bench::percentile;
using vexa::bench::windowsBuild;
using vexa::vremote::CPtyLine;

constexpr int kComPort = 8;
// The line falls at once, ending the rest since the last press (a space), and
// rises 560 us later (a pulse), leaving it at rest again.
const std::string kEdges = "0 0\n560 1\n";
const std::string kPulse = std::to_string(0x80000000u | 560u);

void BM_CarrioEdgeToWindow(benchmark::State& state, const char* arch) {
  const fs::path build = windowsBuild(arch);
  const fs::path exe = build / "tests/win/carrio/carrio_latency_probe.exe";
  const fs::path dll = build / "plugins/carrio/win/scripted/carrio.dll";
  if (!fs::exists(exe) || !fs::exists(dll)) return state.SkipWithError("no carrio_latency_probe or scripted carrio.dll built");
  CPtyLine line;
  if (std::string error = line.Open(build / "wineprefix", kComPort); !error.empty())
    return state.SkipWithError(error.c_str());
  vexa::bench::CWineProbe probe;
  if (std::string error = probe.Start(arch, build, {exe.string(), dll.string(), "COM" + std::to_string(kComPort)}, false);
      !error.empty())
    return state.SkipWithError(error.c_str());
  bool ready = false;
  for (int attempt = 0; attempt < 60 && !ready; ++attempt) {
    line.Write(kEdges);
    ready = !probe.ReadLine(1000).empty();
  }
  if (!ready) return state.SkipWithError("the plug-in never delivered a sample");
  while (!probe.ReadLine(300).empty()) {
  }  // the rest of the tries above

  std::vector<double> micros;
  for (auto _ : state) {
    line.Write(kEdges);
    const auto written = Clock::now();
    const std::string space = probe.ReadLine(2000);
    const auto handled = Clock::now();
    if (space.empty() || probe.ReadLine(2000) != kPulse) return state.SkipWithError("an edge was not delivered");
    const double elapsed = std::chrono::duration<double>(handled - written).count();
    state.SetIterationTime(elapsed);
    micros.push_back(elapsed * 1e6);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  if (micros.empty()) return;
  state.counters["median_us"] = percentile(micros, 0.5);
  state.counters["p99_us"] = percentile(micros, 0.99);
  state.counters["max_us"] = *std::max_element(micros.begin(), micros.end());
}

BENCHMARK_CAPTURE(BM_CarrioEdgeToWindow, win64, vexa::bench::kWin64)
    ->UseManualTime()
    ->Iterations(200)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_CarrioEdgeToWindow, win32, vexa::bench::kWin32)
    ->UseManualTime()
    ->Iterations(200)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
