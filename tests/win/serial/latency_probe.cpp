// Loads a byte-code plug-in (serial.dll, irbox.dll), initialises it on a COM
// port for a model that wakes like an Irman ("Irman" unless given) and runs its
// monitor; every code block that reaches the window is written to standard
// output as one line of hex at once, so a native program on the other end of
// the line can time the whole road. Usage: serial_latency_probe DLL PORT [MODEL]
#include <windows.h>

#include <cstdio>
#include <string>

#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/module.h"

namespace {

HANDLE g_out = nullptr;  // this program's only state besides the window

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == vexa::abi::kVexaMessage && wp == vexa::abi::PageCode::kCodeBlock) {
    const auto* block = reinterpret_cast<const vexa::abi::CodeBlock*>(lp);
    std::string line;
    char hex[4];
    for (uint32_t i = 0; i < block->count; ++i) {
      std::snprintf(hex, sizeof(hex), "%02x", block->bytes[i]);
      line += hex;
    }
    line += '\n';
    DWORD written = 0;
    WriteFile(g_out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return 1;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

struct MonitorArgs {
  vexa::abi::MonitorDeviceFn monitor;
  vexa::abi::DeviceRecord* device;
  HWND window;
};

DWORD WINAPI monitorThread(void* p) {
  auto* args = static_cast<MonitorArgs*>(p);
  const int result = args->monitor(args->device, args->window);
  PostMessageA(args->window, WM_QUIT, 0, 0);
  return static_cast<DWORD>(result);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: serial_latency_probe PLUGIN_DLL COM_PORT [MODEL]\n");
    return 2;
  }
  g_out = GetStdHandle(STD_OUTPUT_HANDLE);
  vexa::win::CModule plugin;
  if (!plugin.Load(argv[1])) return std::fprintf(stderr, "cannot load %s\n", argv[1]), 1;
  auto onInit = plugin.GetProc<vexa::abi::OnInitFn>(vexa::abi::kOnInit);
  auto monitor = plugin.GetProc<vexa::abi::MonitorDeviceFn>(vexa::abi::kMonitorDevice);
  auto release = plugin.GetProc<vexa::abi::OnReleaseFn>(vexa::abi::kOnRelease);
  vexa::abi::DeviceRecord device{};
  vexa::abi::copyField(device.deviceName, argc > 3 ? argv[3] : "Irman");
  const int init = onInit(&device, argv[2], "");
  std::fprintf(stderr, "OnInit: %d\n", init);
  if (init != 0) return 1;

  WNDCLASSA wc{};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SerialLatencyProbe";
  RegisterClassA(&wc);
  HWND window = CreateWindowA(wc.lpszClassName, "probe", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  HANDLE terminate = CreateEventA(nullptr, TRUE, FALSE, vexa::abi::kMonitorTerminateEvent);
  ResetEvent(terminate);
  MonitorArgs args{monitor, &device, window};
  HANDLE thread = CreateThread(nullptr, 0, monitorThread, &args, 0, nullptr);
  std::fprintf(stderr, "monitoring\n");
  std::fflush(stderr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  SetEvent(terminate);
  WaitForSingleObject(thread, 3000);
  release();
  CloseHandle(thread);
  CloseHandle(terminate);
  return 0;
}
