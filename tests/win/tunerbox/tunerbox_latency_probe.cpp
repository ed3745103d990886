// Times a GPIO change of the simulated card to its command record at a window,
// through the real tunerbox.dll and the stand-in driver under Wine, and prints
// the median and the 99th percentile. Usage: tunerbox_latency_probe [PRESSES]
// (run from its build folder: tunerbox.dll, hwport.dll and hwport.sys lie there).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "tests/win/hwport/hwport_test_support.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/module.h"

namespace {

constexpr const char* kKey = "Software\\Marlix\\VexaBench\\tunerbox.dll";

LARGE_INTEGER g_recordAt{};  // when the last record arrived; the probe's only state besides the window

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == vexa::abi::kVexaMessage && wp == vexa::abi::MainCode::kCommand && lp) {
    QueryPerformanceCounter(&g_recordAt);
    delete reinterpret_cast<vexa::abi::CommandRecord*>(lp);
    return 1;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void setDword(HKEY key, const char* name, DWORD value) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5)];
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vexa;
  const int presses = argc > 1 ? std::atoi(argv[1]) : 200;
  test::CServiceRemoval removal;
  test::CHwportLibrary library(test::ProgramFolder());
  test::CSimulatedCard card;
  if (!library.Loaded() || !card.Open()) return std::fprintf(stderr, "the stand-in driver did not start\n"), 1;
  card.Configure(hwsim::CardVariant::gpioReceiver, 0x40, {});

  win::CModule plugin;
  if (!plugin.Load(test::ProgramFolder() + L"\\tunerbox.dll")) return std::fprintf(stderr, "no tunerbox.dll\n"), 1;
  auto readConfig = plugin.GetProc<abi::ReadConfigFn>(abi::kReadConfig);
  auto start = plugin.GetProc<abi::StartMsgLoopFn>(abi::kStartMsgLoop);
  auto end = plugin.GetProc<abi::EndMsgLoopFn>(abi::kEndMsgLoop);
  auto release = plugin.GetProc<abi::ReleaseFn>(abi::kRelease);

  HKEY key = nullptr, remote = nullptr;
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  for (const char* name : {"out_en", "btnup_mask", "btndwn_mask", "flags"}) setDword(key, name, 0);
  setDword(key, "mask", 0xFF00);
  RegCreateKeyExA(key, "Commands\\Bench", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &remote, nullptr);
  setDword(remote, "Press", 0x1200);
  RegCloseKey(remote);
  readConfig(key);

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "TunerboxLatencyProbe";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA("TunerboxLatencyProbe", "probe", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
  if (!start(window)) return std::fprintf(stderr, "the plug-in did not start\n"), 1;

  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::mt19937 random(7);
  std::vector<double> latencies;
  for (int i = 0; i < presses; ++i) {
    // A press at a random phase of the 50 ms poll.
    const DWORD idleMs = 100 + random() % 50;
    g_recordAt.QuadPart = 0;
    LARGE_INTEGER requested;
    card.Configure(hwsim::CardVariant::gpioReceiver, 0x40, {{0x40, idleMs}, {0x1240, 150}});
    QueryPerformanceCounter(&requested);
    const DWORD deadline = GetTickCount() + 1000;
    MSG msg;
    while (!g_recordAt.QuadPart && GetTickCount() < deadline) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    if (!g_recordAt.QuadPart) return std::fprintf(stderr, "press %d was not reported\n", i), 1;
    const double ms = 1000.0 * static_cast<double>(g_recordAt.QuadPart - requested.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
    latencies.push_back(ms - idleMs);
    Sleep(250);  // released, and seen released
  }
  end();
  release();
  RegCloseKey(key);
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  std::printf("GPIO change to command record over %d presses: median %.1f ms, p99 %.1f ms\n", presses,
              percentile(latencies, 0.5), percentile(latencies, 0.99));
  return 0;
}
