// The Windows half of the network client's latency benchmark: lirc.dll
// connected to the lircd whose port is given, reporting on standard output
// "ready" once connected and each command record's button name the moment
// the record reaches this window.
// Usage: lirc_latency_probe LIRC.DLL PORT
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "vexa/device/plugin_abi.h"
#include "vexa/device/win/plugin_exports.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/reg_key.h"

namespace {

LRESULT CALLBACK hostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != vexa::abi::kVexaMessage) return DefWindowProcA(hwnd, msg, wp, lp);
  if (wp == vexa::abi::MainCode::kCommand) {
    std::unique_ptr<vexa::abi::CommandRecord> record(reinterpret_cast<vexa::abi::CommandRecord*>(lp));
    std::printf("%s\n", record->command);
    std::fflush(stdout);
    return 1;
  }
  if (wp > vexa::abi::MainCode::kRestoreStatus) {
    std::unique_ptr<char[]> text(reinterpret_cast<char*>(lp));
    if (wp == vexa::abi::MainCode::kDeviceReady) {
      std::printf("ready\n");
      std::fflush(stdout);
    }
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  vexa::win::CModule module(LoadLibraryA(argv[1]));
  if (!module) return 3;
  const auto exports = vexa::device::resolveFirstGenerationExports(module);
  WNDCLASSA wc{};
  wc.lpfnWndProc = hostProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "VexaLircLatencyProbe";
  RegisterClassA(&wc);
  HWND host = CreateWindowA(wc.lpszClassName, "Vexa latency probe", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            wc.hInstance, nullptr);
  if (!host) return 6;
  vexa::win::CRegKey key;
  if (!key.Create(HKEY_CURRENT_USER, L"Software\\Marlix\\VexaBench\\lirc.dll")) return 4;
  key.SetDword(L"PORT", static_cast<DWORD>(std::atoi(argv[2])));
  key.SetDword(L"Reconnect", 0);
  exports.readConfig(key.Get());
  if (!exports.startMsgLoop(host)) return 5;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
