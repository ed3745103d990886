// vwindow: reads and drives a running Vexa's main window from another process,
// for the scripts that run Vexa under Wine (make run, make screenshots).
// Only messages that cross processes without shared memory are used: WM_GETTEXT
// (a status bar answers it with its first part), TCM_SETCURFOCUS and posted
// commands.
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "vexa/base/program_messages.h"
#include "vexa/exec/actions/shutdown_rules.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/shell/win/shutdown_window.h"

namespace {

using vexa::shell::CMainWindow;

HWND mainWindow() { return FindWindowW(vexa::shell::kMainWindowClass, vexa::shell::kMainWindowTitle); }

// Empty when the window is gone or does not answer within a second.
bool readText(HWND window, std::wstring& text) {
  wchar_t buffer[1024];
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, sizeof buffer / sizeof buffer[0], reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 1000, &length))
    return false;
  text.assign(buffer, length);
  return true;
}

void printUtf8(const std::wstring& text) {
  std::string utf8(static_cast<size_t>(text.size()) * 4 + 1, '\0');
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(),
                                    static_cast<int>(utf8.size()), nullptr, nullptr);
  utf8.resize(n > 0 ? static_cast<size_t>(n) : 0);
  std::printf("%s\n", utf8.c_str());
  std::fflush(stdout);
}

int waitForWindow(int seconds) {
  for (int i = 0; i < seconds * 20; ++i) {
    if (const HWND window = mainWindow(); window && GetDlgItem(window, CMainWindow::kStatusBarId)) return 0;
    Sleep(50);
  }
  std::fprintf(stderr, "vwindow: no Vexa window after %d seconds\n", seconds);
  return 1;
}

// Every new status text on a line of its own, until the window goes.
int watchStatus() {
  std::wstring shown;
  bool first = true;
  while (const HWND window = mainWindow()) {
    std::wstring text;
    if (readText(GetDlgItem(window, CMainWindow::kStatusBarId), text) && (first || text != shown)) {
      if (!text.empty()) printUtf8(text);
      shown = text;
      first = false;
    }
    Sleep(10);  // a press's first text can last only a few milliseconds
  }
  return 0;
}

int showPage(HWND window, int page) {
  const HWND tabs = GetDlgItem(window, CMainWindow::kTabsId);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(page), 0, SMTO_ABORTIFHUNG, 2000, &ignored);
  DWORD_PTR selected = static_cast<DWORD_PTR>(-1);
  SendMessageTimeoutW(tabs, TCM_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &selected);
  if (static_cast<int>(selected) == page) return 0;
  std::fprintf(stderr, "vwindow: page %d was not selected\n", page);
  return 1;
}

int printRect(HWND window) {
  RECT r{};
  if (!window || !GetWindowRect(window, &r)) {
    std::fprintf(stderr, "vwindow: no such window\n");
    return 1;
  }
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return 0;
}

void usage() {
  std::fputs(
      "usage: vwindow wait SECONDS   wait for Vexa's main window\n"
      "       vwindow status         print the status text\n"
      "       vwindow watch          print each new status text until the window is gone\n"
      "       vwindow page N         show page N (0 Commands, 1 Hardware Setup, 2 Device Selection)\n"
      "       vwindow rect [menu|shutdown]  X Y WIDTH HEIGHT of the main window, the open menu or\n"
      "                              the shutdown window\n"
      "       vwindow shutdown SECONDS   request a shutdown countdown, as an action without OSD does\n"
      "       vwindow abort-shutdown     press \"Abort\" in the shutdown window\n"
      "       vwindow tray-menu      open the tray icon's menu\n"
      "       vwindow exit           end Vexa as its tray menu's Exit does\n",
      stderr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Scripts read the output on Linux: no carriage returns.
  _setmode(_fileno(stdout), _O_BINARY);
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"wait" && argc > 2) return waitForWindow(_wtoi(argv[2]));
  const HWND window = mainWindow();
  if (!window && !command.empty()) {
    std::fprintf(stderr, "vwindow: Vexa is not running\n");
    return 1;
  }
  if (command == L"status") {
    std::wstring text;
    if (!readText(GetDlgItem(window, CMainWindow::kStatusBarId), text)) return 1;
    printUtf8(text);
    return 0;
  }
  if (command == L"watch") return watchStatus();
  if (command == L"page" && argc > 2) return showPage(window, _wtoi(argv[2]));
  if (command == L"rect" && argc > 2 && std::wstring(argv[2]) == L"shutdown")
    return printRect(FindWindowW(vexa::shell::kShutdownWindowClass, nullptr));
  if (command == L"rect") return printRect(argc > 2 ? FindWindowW(L"#32768", nullptr) : window);
  if (command == L"shutdown" && argc > 2) {
    // As a "Shutdown Windows" action of a command without the OSD requests it.
    const LPARAM flags = static_cast<LPARAM>(vexa::ShutdownType::kShutdown | vexa::kShutdownNoOsd);
    return PostMessageW(window, vexa::ProgramMessage::kShutdown, _wtoi(argv[2]), flags) ? 0 : 1;
  }
  if (command == L"abort-shutdown") {
    const HWND shutdown = FindWindowW(vexa::shell::kShutdownWindowClass, nullptr);
    return shutdown && PostMessageW(shutdown, WM_COMMAND, IDCANCEL, 0) ? 0 : 1;
  }
  if (command == L"tray-menu") {
    // As the shell reports a right click on the icon; the menu opens at the cursor.
    return PostMessageW(window, vexa::ProgramMessage::kTrayNotify, CMainWindow::kTrayIconId, WM_CONTEXTMENU) ? 0 : 1;
  }
  if (command == L"exit") return PostMessageW(window, WM_COMMAND, CMainWindow::kCmdExit, 0) ? 0 : 1;
  usage();
  return 2;
}
