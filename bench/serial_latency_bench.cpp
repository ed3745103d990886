// Latency of one button press through the real serial.dll, and its twin through
// irbox.dll, under Wine: from the last code byte written on the receiver's
// pseudo-terminal to the code block reaching a window's message handler (which
// reports it on a pipe at once).
//
// Runs for each Windows build: VEXA_WIN64_BUILD and VEXA_WIN32_BUILD (default
// build/win64 and build/win32 under the source tree) with the plug-ins,
// serial_latency_probe.exe and a Wine prefix.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/wine_probe.h"
#include "tools/vremote/pty_line.h"
#include "tools/vremote/remote_keys.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;
using namespace vexa::vremote;

constexpr int kComPort = 7;

using vexa::bench::percentile;
using vexa::bench::windowsBuild;

// A plug-in under test: where the build puts it and the model it is started as.
struct Plugin {
  const char* dll;
  const char* model;
};
constexpr Plugin kSerial{"plugins/serial/win/serial.dll", "Irman"};
constexpr Plugin kIrbox{"plugins/irbox/win/irbox.dll", "IRBOX"};

// The Windows half: serial_latency_probe running under Wine, its output on a pipe.
std::string startProbe(vexa::bench::CWineProbe& probe, const std::string& arch, const fs::path& build,
                       const Plugin& plugin) {
  const fs::path exe = build / "tests/win/serial/serial_latency_probe.exe";
  const fs::path dll = build / plugin.dll;
  if (!fs::exists(exe) || !fs::exists(dll)) return "build " + build.string() + " has no probe or " + plugin.dll;
  return probe.Start(arch, build, {exe.string(), dll.string(), "COM" + std::to_string(kComPort), plugin.model},
                     false);
}

// Answers the init string like an Irman until the plug-in is initialised.
bool answerInit(CPtyLine& line, std::chrono::seconds limit) {
  CIrmanResponder irman;
  const auto end = Clock::now() + limit;
  while (Clock::now() < end) {
    if (auto answer = irman.Feed(line.Read(std::chrono::milliseconds(100)))) return line.Write(*answer);
  }
  return false;
}


void pressToWindow(benchmark::State& state, const char* arch, const Plugin& plugin) {
  const fs::path build = windowsBuild(arch);
  CPtyLine line;
  if (std::string error = line.Open(build / "wineprefix", kComPort); !error.empty())
    return state.SkipWithError(error.c_str());
  vexa::bench::CWineProbe probe;
  if (std::string error = startProbe(probe, arch, build, plugin); !error.empty())
    return state.SkipWithError(error.c_str());
  if (!answerInit(line, std::chrono::seconds(60))) return state.SkipWithError("the plug-in never sent its init string");
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the monitor starts waiting

  const auto& keys = remoteKeys();
  std::vector<double> micros;
  size_t press = 0;
  for (auto _ : state) {
    const RemoteKey& key = keys[press++ % keys.size()];
    const std::string code(reinterpret_cast<const char*>(key.code.data()), key.code.size());
    line.Write(code);
    const auto written = Clock::now();
    const std::string reported = probe.ReadLine(2000);
    const auto handled = Clock::now();
    if (reported.size() != 2 * code.size()) return state.SkipWithError("a press was not delivered whole");
    const double elapsed = std::chrono::duration<double>(handled - written).count();
    state.SetIterationTime(elapsed);
    micros.push_back(elapsed * 1e6);
    // Presses of a person, not a flood: the plug-in drops what follows a code.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  if (micros.empty()) return;
  state.counters["median_us"] = percentile(micros, 0.5);
  state.counters["p99_us"] = percentile(micros, 0.99);
  state.counters["max_us"] = *std::max_element(micros.begin(), micros.end());
  state.counters["presses"] = static_cast<double>(micros.size());
}
void BM_SerialPressToWindow(benchmark::State& state, const char* arch) { pressToWindow(state, arch, kSerial); }
void BM_IrboxPressToWindow(benchmark::State& state, const char* arch) { pressToWindow(state, arch, kIrbox); }

BENCHMARK_CAPTURE(BM_SerialPressToWindow, win64, vexa::bench::kWin64)
    ->UseManualTime()
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_SerialPressToWindow, win32, vexa::bench::kWin32)
    ->UseManualTime()
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_IrboxPressToWindow, win64, vexa::bench::kWin64)
    ->UseManualTime()
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_IrboxPressToWindow, win32, vexa::bench::kWin32)
    ->UseManualTime()
    ->Iterations(300)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
