// The Windows half of the dispatch latency benchmark: a real main window
// gets CommandRecords as a plug-in sends them (0x7FFF code 0) and the time
// until the run announces its first action (the tray flash it posts right
// before the action) is measured on this machine's performance counter.
//   dispatch_latency_probe [presses] [holds]
// With "holds", another command of the remote runs a third one when held, so
// the presses measured (of commands without the setting) pay for its test.
// Prints per press the latency and the time the main window kept the record
// (microseconds) on stdout, the summary on stderr.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "vexa/device/plugin_abi.h"
#include "vexa/exec/exec_messages.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/catalogue.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/base/program_messages.h"
#include "support/quiet_settings.h"
#include "support/win/probe_commands.h"
#include "support/win/flash_probe_window.h"
#include "support/win/pump.h"

namespace {

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5)];
}

}  // namespace

int main(int argc, char** argv) {
  const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  constexpr int kWarmUp = 10;
  vexa::CCmdTree tree;
  vexa::CCmdItem& remote = tree.insertRemote("TV");
  // Two buttons in turn: each press is a new press, never a repeat of the last.
  const char* buttons[] = {"Play", "Stop"};
  // An action that starts at once and does nothing the machine notices.
  for (const char* b : buttons)
    tree.insertCommand(remote, vexa::test::oneActionCommand(b, std::string(vexa::kExecuteApplication), "n/a"));
  if (argc > 2 && std::string(argv[2]) == "holds") {
    vexa::CCmdItem& power =
        tree.insertCommand(remote, vexa::test::oneActionCommand("Power", std::string(vexa::kExecuteApplication), "n/a"));
    vexa::CCmdItem& standby = tree.insertCommand(
        remote, vexa::test::oneActionCommand("Standby", std::string(vexa::kExecuteApplication), "n/a"));
    tree.holds().set(tree, power, 1000, standby.command());
  }

  vexa::test::CFlashProbeWindow window;
  const HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  const bool created = window.Create(icon, icon);
  window.SetProgramSettings(vexa::test::settingsWithoutExitQuestion());
  if (!created) {
    std::fprintf(stderr, "no main window\n");
    return 1;
  }
  window.SetCommandTree(&tree);
  auto& engine = window.Dispatch()->Engine();

  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::vector<double> micros;
  std::vector<double> handOver;  // until the main window returned from the record
  for (int i = 0; i < presses + kWarmUp; ++i) {
    window.seen = false;
    LARGE_INTEGER sent;
    QueryPerformanceCounter(&sent);
    SendMessageW(window.Handle(), vexa::abi::kVexaMessage, vexa::abi::MainCode::kCommand,
                 vexa::test::newCommandRecord("TV", buttons[i % 2]));
    LARGE_INTEGER returned;
    QueryPerformanceCounter(&returned);
    if (!vexa::test::pumpUntil([&] { return window.seen; }, 5000)) {
      std::fprintf(stderr, "press %d never reached its action\n", i);
      return 2;
    }
    // The run has ended before the next press, so no press is skipped as a double.
    vexa::test::pumpUntil([&] { return !engine.Busy(); }, 5000);
    if (i < kWarmUp) continue;
    const double us = 1e6 * static_cast<double>(window.flashed.QuadPart - sent.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    const double handedOver = 1e6 * static_cast<double>(returned.QuadPart - sent.QuadPart) /
                              static_cast<double>(frequency.QuadPart);
    micros.push_back(us);
    handOver.push_back(handedOver);
    std::printf("%.1f %.1f\n", us, handedOver);
    std::fflush(stdout);
  }
  std::fprintf(stderr, "presses %zu  to first action: median %.1f us  p99 %.1f us  max %.1f us\n", micros.size(),
               percentile(micros, 0.5), percentile(micros, 0.99), *std::max_element(micros.begin(), micros.end()));
  std::fprintf(stderr, "main window returned after: median %.1f us  p99 %.1f us\n", percentile(handOver, 0.5),
               percentile(handOver, 0.99));
  window.SetCommandTree(nullptr);
  window.Exit();
  return 0;
}
