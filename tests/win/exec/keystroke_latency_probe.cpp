// The Windows half of the keystroke latency benchmark: the real main window
// gets CommandRecords as a plug-in sends them once it has read a code
// (0x7FFF code 0); the command types one key into the input recorder, a
// window of another process, which notes the performance counter when the
// key arrives. Both processes read the same counter.
//   keystroke_latency_probe [presses]
// Prints per press the latency in microseconds on stdout, the summary on stderr.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "support/quiet_settings.h"
#include "support/win/input_recorder.h"
#include "support/win/probe_commands.h"
#include "support/win/pump.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/shell/win/main_window.h"

namespace {

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5)];
}

// The counter values the recorder noted, in order.
std::vector<long long> keyTimes(const std::filesystem::path& record) {
  std::vector<long long> times;
  for (const auto& line : vexa::test::fileLines(record))
    if (line.rfind("t ", 0) == 0) times.push_back(std::atoll(line.c_str() + 2));
  return times;
}

}  // namespace

int main(int argc, char** argv) {
  const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  constexpr int kWarmUp = 5;
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::filesystem::path record =
      std::filesystem::path(temp) / ("vexa-keys-" + std::to_string(GetCurrentProcessId()) + ".txt");
  const std::string title = "Vexa keystroke probe " + std::to_string(GetCurrentProcessId());
  const HWND recorder = vexa::test::startInputRecorder(title, record, vexa::test::RecorderMode::Timed);
  if (!recorder) {
    std::fprintf(stderr, "no recorder window\n");
    return 1;
  }
  vexa::CCmdTree tree;
  vexa::CCmdItem& remote = tree.insertRemote("TV");
  const char* buttons[] = {"Play", "Stop"};
  for (const char* b : buttons)
    tree.insertCommand(remote, vexa::test::oneActionCommand(b, "Keystroke to window", title, "k"));

  vexa::shell::CMainWindow window;
  const HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  if (!window.Create(icon, icon)) {
    std::fprintf(stderr, "no main window\n");
    return 1;
  }
  // Exit must not wait for an answer nobody gives.
  window.SetProgramSettings(vexa::test::settingsWithoutExitQuestion());
  window.SetCommandTree(&tree);
  auto& engine = window.Dispatch()->Engine();
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> micros;
  for (int i = 0; i < presses + kWarmUp; ++i) {
    const size_t before = keyTimes(record).size();
    LARGE_INTEGER sent;
    QueryPerformanceCounter(&sent);
    SendMessageW(window.Handle(), vexa::abi::kVexaMessage, vexa::abi::MainCode::kCommand,
                 vexa::test::newCommandRecord("TV", buttons[i % 2]));
    std::vector<long long> times;
    if (!vexa::test::pumpUntil([&] { return (times = keyTimes(record)).size() > before; }, 5000)) {
      std::fprintf(stderr, "press %d typed nothing\n", i);
      break;
    }
    vexa::test::pumpUntil([&] { return !engine.Busy(); }, 5000);
    if (i < kWarmUp) continue;
    const double us = 1e6 * static_cast<double>(times[before] - sent.QuadPart) / static_cast<double>(frequency.QuadPart);
    micros.push_back(us);
    std::printf("%.1f\n", us);
    std::fflush(stdout);
  }
  if (!micros.empty())
    std::fprintf(stderr, "presses %zu  to first keystroke: median %.1f us  p99 %.1f us\n", micros.size(),
                 percentile(micros, 0.5), percentile(micros, 0.99));
  window.SetCommandTree(nullptr);
  window.Exit();
  vexa::test::endInputRecorder(recorder);
  DeleteFileW(record.c_str());
  return micros.size() == static_cast<size_t>(presses) ? 0 : 2;
}
