// Loads a carrio.dll (the scripted-line build) on a COM port and monitors it;
// every timing sample that reaches the window is written to standard output as
// one line at once, so that a native program writing edges on the other end of
// the line can time the road from an edge to the host.
// Usage: carrio_latency_probe DLL PORT
#include <windows.h>

#include <cstdio>
#include <string>

#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/module.h"

namespace {

HANDLE g_out = nullptr;  // this program's only state besides the window

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == vexa::abi::kVexaMessage && wp == vexa::abi::PageCode::kTimingSample) {
    const std::string line = std::to_string(static_cast<uint32_t>(lp)) + "\n";
    DWORD written = 0;
    WriteFile(g_out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return 1;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

struct Monitor {
  vexa::abi::MonitorDeviceFn monitor;
  vexa::abi::DeviceRecord* device;
  HWND window;
};

DWORD WINAPI monitorThread(void* param) {
  const auto* m = static_cast<const Monitor*>(param);
  return static_cast<DWORD>(m->monitor(m->device, m->window));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: carrio_latency_probe PLUGIN_DLL COM_PORT\n");
    return 2;
  }
  g_out = GetStdHandle(STD_OUTPUT_HANDLE);
  vexa::win::CModule plugin;
  if (!plugin.Load(argv[1])) return std::fprintf(stderr, "cannot load %s\n", argv[1]), 1;
  auto onInit = plugin.GetProc<vexa::abi::OnInitFn>(vexa::abi::kOnInit);
  auto monitor = plugin.GetProc<vexa::abi::MonitorDeviceFn>(vexa::abi::kMonitorDevice);
  auto onRelease = plugin.GetProc<vexa::abi::OnReleaseFn>(vexa::abi::kOnRelease);
  if (!onInit || !monitor || !onRelease) return std::fprintf(stderr, "not a second-generation plug-in\n"), 1;
  static vexa::abi::DeviceRecord device{};
  if (const int result = onInit(&device, argv[2], ""); result != 0)
    return std::fprintf(stderr, "OnInit on %s: %d\n", argv[2], result), 1;

  WNDCLASSA wc{};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "CarrioLatencyProbe";
  RegisterClassA(&wc);
  HWND window = CreateWindowA(wc.lpszClassName, "probe", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  Monitor m{monitor, &device, window};
  HANDLE thread = CreateThread(nullptr, 0, monitorThread, &m, 0, nullptr);
  std::fprintf(stderr, "receiving\n");
  std::fflush(stderr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  CloseHandle(thread);
  onRelease();
  return 0;
}
