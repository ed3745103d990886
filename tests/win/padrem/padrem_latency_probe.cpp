// Loads padrem.dll with one learned button (code 5 of remote "Bench") on a COM
// port and starts it; every command record that reaches the window is written
// to standard output as one line at once, so a native program on the other
// end of the line can time the whole road. Usage: padrem_latency_probe DLL PORT
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/module.h"

namespace {

constexpr const char* kKey = "Software\\Marlix\\VexaBench\\padrem.dll";

HANDLE g_out = nullptr;  // this program's only state besides the window

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == vexa::abi::kVexaMessage && wp == vexa::abi::MainCode::kCommand && lp) {
    const auto* record = reinterpret_cast<const vexa::abi::CommandRecord*>(lp);
    const std::string line = std::string(record->command) + " " + std::to_string(record->repeatCount) + "\n";
    DWORD written = 0;
    WriteFile(g_out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    // The record came from the plug-in's own run-time: it stays allocated here.
    return 1;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: padrem_latency_probe PLUGIN_DLL COM_PORT\n");
    return 2;
  }
  g_out = GetStdHandle(STD_OUTPUT_HANDLE);
  vexa::win::CModule plugin;
  if (!plugin.Load(argv[1])) return std::fprintf(stderr, "cannot load %s\n", argv[1]), 1;
  auto readConfig = plugin.GetProc<vexa::abi::ReadConfigFn>(vexa::abi::kReadConfig);
  auto start = plugin.GetProc<vexa::abi::StartMsgLoopFn>(vexa::abi::kStartMsgLoop);
  auto end = plugin.GetProc<vexa::abi::EndMsgLoopFn>(vexa::abi::kEndMsgLoop);
  auto release = plugin.GetProc<vexa::abi::ReleaseFn>(vexa::abi::kRelease);

  HKEY key = nullptr, button = nullptr;
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegSetValueExA(key, "COM Port", 0, REG_SZ, reinterpret_cast<const BYTE*>(argv[2]),
                 static_cast<DWORD>(std::strlen(argv[2]) + 1));
  RegCreateKeyExA(key, "Commands\\Bench", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &button, nullptr);
  const DWORD code = 5;
  RegSetValueExA(button, "Button", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&code), sizeof code);
  RegCloseKey(button);
  readConfig(key);
  RegCloseKey(key);

  WNDCLASSA wc{};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "PadremLatencyProbe";
  RegisterClassA(&wc);
  HWND window = CreateWindowA(wc.lpszClassName, "probe", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (!start(window)) return std::fprintf(stderr, "StartMsgLoop failed on %s\n", argv[2]), 1;
  std::fprintf(stderr, "receiving\n");
  std::fflush(stderr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  end();
  release();
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  return 0;
}
