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
#include <string_view>

#include "vexa/base/program_messages.h"
#include "vexa/shell/win/main_window.h"

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
  // The status line reads "Status: <text>"; callers want the text.
  constexpr std::wstring_view prefix = L"Status: ";
  if (text.compare(0, prefix.size(), prefix) == 0) text.erase(0, prefix.size());
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
  // As the "View" menu does; the page numbers are the main window's page ids.
  DWORD_PTR ignored = 0;
  if (SendMessageTimeoutW(window, WM_COMMAND, CMainWindow::kCmdShowPage + static_cast<UINT>(page), 0,
                          SMTO_ABORTIFHUNG, 2000, &ignored))
    return 0;
  std::fprintf(stderr, "vwindow: page %d was not shown\n", page);
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
      "       vwindow rect [menu]    X Y WIDTH HEIGHT of the main window or of the open menu\n"
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
  if (command == L"rect") return printRect(argc > 2 ? FindWindowW(L"#32768", nullptr) : window);
  if (command == L"tray-menu") {
    // As the shell reports a right click on the icon; the menu opens at the cursor.
    return PostMessageW(window, vexa::ProgramMessage::kTrayNotify, CMainWindow::kTrayIconId, WM_CONTEXTMENU) ? 0 : 1;
  }
  if (command == L"exit") return PostMessageW(window, WM_COMMAND, CMainWindow::kCmdExit, 0) ? 0 : 1;
  usage();
  return 2;
}
