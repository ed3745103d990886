// The Windows half of the modules' latency benchmarks, on a real main window:
//   modules_latency_probe hotkey [presses]  a key typed (as the keyboard gives it) to the
//       first action of the command with that hot key (the tray flash the run
//       posts right before the action)
//   modules_latency_probe server [presses]  a command started to its line
//       arriving at a TCP client of the server module
// Prints one figure per press (microseconds) on stdout, the summary on stderr.
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "module_test_support.h"
#include "support/win/flash_probe_window.h"
#include "support/win/typed_keys.h"
#include "tcp_client.h"
#include "vexa/exec/win/exec_engine.h"

namespace {

double microsBetween(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1e6 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// As the keyboard types it: the hook module passes keys a program injects by.
void typeKey(WORD key) { vexa::test::typeKeys({{key}, {key, true}}); }

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5)];
}

struct Probe {
  vexa::CCmdTree tree;
  // Boxes would hold the probe up: each is answered at once.
  vexa::win::CPromptFunction quiet{[](const std::wstring&, const std::wstring&, UINT type) {
    return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDNO;
  }};
  vexa::test::CFlashProbeWindow window;
  std::unique_ptr<vexa::shell::CProgramModules> modules;

  bool Create(vexa::shell::ModuleLibraries libraries, vexa::ProgramSettings settings) {
    const HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    if (!window.Create(icon, icon)) return false;
    window.SetProgramSettings(settings);
    window.SetCommandTree(&tree);
    modules = std::make_unique<vexa::shell::CProgramModules>(window, std::move(libraries));
    window.SetPrompt(&quiet);
    modules->Start();
    return true;
  }
  ~Probe() {
    modules.reset();
    window.SetCommandTree(nullptr);
    window.Exit();
  }
  void WaitIdle() {
    vexa::test::pumpUntil([&] { return !window.Dispatch()->Engine().Busy(); }, 5000);
  }
};

// Two hot keys in turn, so that no press could be taken for the last one again.
int hotKeys(int presses, std::vector<double>& micros) {
  Probe probe;
  if (!probe.Create({L"tapmod.dll", L"no-such-vexanet.dll"}, vexa::test::settingsWithoutExitQuestion())) return 1;
  vexa::CCmdItem& keys = probe.tree.insertRemote("Keys");
  const WORD hotKeys[] = {VK_F9, VK_F10};
  probe.tree.insertCommand(keys, vexa::test::quietCommand("Nine", VK_F9));
  probe.tree.insertCommand(keys, vexa::test::quietCommand("Ten", VK_F10));
  if (!probe.modules->Hook().KeyboardHook()) return 2;
  for (int i = 0; i < presses; ++i) {
    probe.window.seen = false;
    LARGE_INTEGER sent;
    QueryPerformanceCounter(&sent);
    typeKey(hotKeys[i % 2]);
    if (!vexa::test::pumpUntil([&] { return probe.window.seen; }, 5000)) return 3;
    probe.WaitIdle();
    micros.push_back(microsBetween(sent, probe.window.flashed));
  }
  return 0;
}

// The client reads on a thread of its own and notes when each line arrived.
int serverLines(int presses, std::vector<double>& micros) {
  vexa::test::CWinsock winsock;
  vexa::ProgramSettings settings = vexa::test::settingsWithoutExitQuestion();
  settings.serverPort = static_cast<uint32_t>(vexa::test::freePort());
  Probe probe;
  if (!probe.Create({L"no-such-tapmod.dll", L"vexanet.dll"}, settings)) return 1;
  if (!probe.modules->Server().Running()) return 2;
  vexa::CCmdItem& tv = probe.tree.insertRemote("TV");
  const char* buttons[] = {"Play", "Stop"};
  for (const char* b : buttons) probe.tree.insertCommand(tv, vexa::test::quietCommand(b));
  vexa::test::CTcpClient client;
  if (!client.Connect(static_cast<int>(settings.serverPort))) return 3;
  Sleep(100);
  std::atomic<int> lines{0};
  std::atomic<bool> stop{false};
  LARGE_INTEGER arrived{};
  std::thread reader([&] {
    while (!stop) {
      if (client.ReadLine(100).empty()) continue;
      QueryPerformanceCounter(&arrived);
      ++lines;
    }
  });
  int result = 0;
  for (int i = 0; i < presses && result == 0; ++i) {
    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    probe.window.StartCommand("TV", buttons[i % 2], 0);
    if (!vexa::test::pumpUntil([&] { return lines.load() == i + 1; }, 5000)) result = 4;
    else micros.push_back(microsBetween(started, arrived));
    probe.WaitIdle();
  }
  stop = true;
  reader.join();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const int presses = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
  constexpr int kWarmUp = 10;
  std::vector<double> micros;
  int result = 0;
  if (mode == "hotkey")
    result = hotKeys(presses + kWarmUp, micros);
  else if (mode == "server")
    result = serverLines(presses + kWarmUp, micros);
  else
    result = 9;
  if (result != 0) {
    std::fprintf(stderr, "%s probe failed (%d) after %zu presses\n", mode.c_str(), result, micros.size());
    return result;
  }
  micros.erase(micros.begin(), micros.begin() + std::min<size_t>(kWarmUp, micros.size()));
  for (double us : micros) std::printf("%.1f\n", us);
  std::fflush(stdout);
  std::fprintf(stderr, "%s: %zu presses, median %.1f us, p99 %.1f us\n", mode.c_str(), micros.size(),
               percentile(micros, 0.5), percentile(micros, 0.99));
  return 0;
}
