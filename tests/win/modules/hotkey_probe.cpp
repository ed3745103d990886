// The Windows half of the hot-key test from outside: a real main window with
// the hook module, and one command with the hot key F9. Prints "ready" once
// the hook is in, "front TITLE" when another program's window comes to the front,
// then for the first start "started REMOTE/COMMAND" and the title of the
// window that had the focus; that window is asked to close.
//   hotkey_probe [timeout-ms]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "module_test_support.h"
#include "vexa/winlib/unicode.h"

int main(int argc, char** argv) {
  const unsigned timeoutMs = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 20000;
  vexa::test::CModulesFixture fixture({L"tapmod.dll", L"no-such-vexanet.dll"});
  vexa::CCmdItem& keys = fixture.tree.insertRemote("Keys");
  fixture.tree.insertCommand(keys, vexa::test::quietCommand("Lights", VK_F9));
  std::string started;
  HWND focused = nullptr;
  fixture.window.SetCommandStarter([&](const vexa::shell::CommandStart& s) {
    if (!started.empty()) return;
    started = s.remote + "/" + s.command;
    focused = GetForegroundWindow();
  });
  fixture.modules->Start();
  if (!fixture.modules->Hook().KeyboardHook()) {
    std::printf("no keyboard hook\n");
    return 2;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  // Says which other program's window comes to the front: the key may be typed then.
  HWND toldFront = nullptr;
  const auto tellFront = [&] {
    const HWND front = GetForegroundWindow();
    DWORD process = 0;
    GetWindowThreadProcessId(front, &process);
    if (front == toldFront || !front || process == GetCurrentProcessId()) return;
    wchar_t title[256] = L"";
    GetWindowTextW(front, title, 256);
    std::printf("front %s\n", vexa::win::toUtf8(title).c_str());
    std::fflush(stdout);
    toldFront = front;
  };
  if (!vexa::test::pumpUntil([&] { tellFront(); return !started.empty(); }, timeoutMs)) {
    std::printf("no command started\n");
    return 1;
  }
  wchar_t title[256] = L"";
  GetWindowTextW(focused, title, 256);
  DWORD process = 0;
  GetWindowThreadProcessId(focused, &process);
  std::printf("started %s\nfocus %s%s\n", started.c_str(), vexa::win::toUtf8(title).c_str(),
              process == GetCurrentProcessId() ? " (this program)" : "");
  std::fflush(stdout);
  if (focused && process != GetCurrentProcessId()) PostMessageW(focused, WM_CLOSE, 0, 0);
  return 0;
}
