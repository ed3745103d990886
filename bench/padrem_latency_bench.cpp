// Latency of one press through the real padrem.dll under Wine: from a whole
// packet (0xA0, the button, 0xAA) written on the pad's pseudo-terminal to the
// command record reaching a window's message handler (which reports it on a pipe at once).
//
// Runs for each Windows build: VEXA_WIN64_BUILD and VEXA_WIN32_BUILD (default
// build/win64 and build/win32 under the source tree) with padrem.dll,
// padrem_latency_probe.exe and a Wine prefix.
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

constexpr int kComPort = 7;

void BM_PadremPressToWindow(benchmark::State& state, const char* arch) {
  const fs::path build = windowsBuild(arch);
  const fs::path exe = build / "tests/win/padrem/padrem_latency_probe.exe";
  const fs::path dll = build / "plugins/padrem/win/padrem.dll";
  if (!fs::exists(exe) || !fs::exists(dll)) return state.SkipWithError("no padrem_latency_probe or padrem.dll built");
  CPtyLine line;
  if (std::string error = line.Open(build / "wineprefix", kComPort); !error.empty())
    return state.SkipWithError(error.c_str());
  vexa::bench::CWineProbe probe;
  if (std::string error = probe.Start(arch, build, {exe.string(), dll.string(), "COM" + std::to_string(kComPort)}, false);
      !error.empty())
    return state.SkipWithError(error.c_str());
  // The receiver's power cycle and the worker's start, then one press to be sure.
  bool ready = false;
  for (int attempt = 0; attempt < 60 && !ready; ++attempt) {
    line.Write(std::string("\xA0\x05\xAA"));
    ready = !probe.ReadLine(1000).empty();
  }
  if (!ready) return state.SkipWithError("the plug-in never delivered a press");
  while (!probe.ReadLine(300).empty()) {
  }  // late answers to the tries above

  std::vector<double> micros;
  for (auto _ : state) {
    line.Write(std::string("\xA0\x05\xAA", 3));  // one whole packet in one write
    const auto written = Clock::now();
    const std::string reported = probe.ReadLine(2000);
    const auto handled = Clock::now();
    if (reported.rfind("Button 0", 0) != 0) return state.SkipWithError("a press was not delivered");
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

BENCHMARK_CAPTURE(BM_PadremPressToWindow, win64, vexa::bench::kWin64)
    ->UseManualTime()
    ->Iterations(200)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PadremPressToWindow, win32, vexa::bench::kWin32)
    ->UseManualTime()
    ->Iterations(200)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
