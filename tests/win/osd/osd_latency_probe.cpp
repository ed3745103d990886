// The Windows half of the OSD latency benchmark: display requests reach the
// real main window from another thread, as execution runs send them
// (0x7FFF code 98), and each is timed until the bar window has painted it.
//   osd_latency_probe [requests]
// Prints per request the latency in microseconds on stdout.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "support/win/pump.h"
#include "vexa/base/program_messages.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/exec/display_request.h"
#include "vexa/osd/win/osd.h"
#include "vexa/osd/win/osd_bar_window.h"
#include "vexa/shell/win/main_window.h"

namespace {

// Counts the bar window's paints, to see that a request was painted and not only accepted.
LRESULT CALLBACK countPaints(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR paints) {
  if (msg == WM_PAINT) ++*reinterpret_cast<std::atomic<long>*>(paints);
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  const int requests = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  constexpr int kWarmUp = 10;
  vexa::shell::CMainWindow window;
  const HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  if (!window.Create(icon, icon)) return 1;
  const HWND main = window.Handle();
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::atomic<bool> done{false};
  std::atomic<long> paints{0};
  // The first request creates the bar window; its paints are counted from then on.
  vexa::DisplayRequest first;
  first.code = vexa::DisplayRequest::kVolumeBar;
  SendMessageW(main, vexa::abi::kVexaMessage, vexa::ProgramMessage::kDisplayRequest, reinterpret_cast<LPARAM>(&first));
  const HWND bar = FindWindowW(vexa::osd::win::kBarWindowClass, nullptr);
  if (!bar || !SetWindowSubclass(bar, countPaints, 1, reinterpret_cast<DWORD_PTR>(&paints))) return 1;
  std::thread run([&] {
    for (int i = 0; i < kWarmUp + requests; ++i) {
      vexa::DisplayRequest request;
      request.code = vexa::DisplayRequest::kVolumeBar;
      request.text = "Master";
      request.value = (i % 64) * 1000;
      const long paintsBefore = paints.load();
      LARGE_INTEGER start, end;
      QueryPerformanceCounter(&start);
      SendMessageW(main, vexa::abi::kVexaMessage, vexa::ProgramMessage::kDisplayRequest,
                   reinterpret_cast<LPARAM>(&request));
      QueryPerformanceCounter(&end);
      if (i < kWarmUp) continue;
      if (paints.load() == paintsBefore) {
        std::fprintf(stderr, "request %d was not painted\n", i);
        break;
      }
      std::printf("%.1f\n", static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 / frequency.QuadPart);
      std::fflush(stdout);
    }
    done = true;
    PostMessageW(main, WM_NULL, 0, 0);
  });
  vexa::test::pumpUntil([&] { return done.load(); }, 600000);
  run.join();
  return 0;
}
