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
#include "vexa/exec/actions/shutdown_rules.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/shell/win/remote_shutdown_window.h"

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

// ---- The configuration pages, for screenshots ------------------------------------------

DWORD processOf(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

struct TopLevelSearch {
  DWORD process;
  const std::wstring* title;
  HWND found;
};

BOOL CALLBACK matchTopLevel(HWND window, LPARAM lp) {
  auto& s = *reinterpret_cast<TopLevelSearch*>(lp);
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  if (processOf(window) != s.process || !IsWindowVisible(window) || *s.title != text) return TRUE;
  s.found = window;
  return FALSE;
}

// A visible top-level window of Vexa's process with that title.
HWND topLevel(HWND main, const std::wstring& title) {
  TopLevelSearch search{processOf(main), &title, nullptr};
  EnumWindows(matchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct ControlSearch {
  int id;
  HWND found;
};

BOOL CALLBACK matchControl(HWND window, LPARAM lp) {
  auto& s = *reinterpret_cast<ControlSearch*>(lp);
  if (GetDlgCtrlID(window) != s.id || !IsWindowVisible(window)) return TRUE;
  s.found = window;
  return FALSE;
}

// The first visible control with that id below `root`.
HWND control(HWND root, int id) {
  ControlSearch search{id, nullptr};
  EnumChildWindows(root, matchControl, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A tree item's label, read through memory in Vexa's process.
std::wstring remoteItemText(HWND tree, HANDLE process, HTREEITEM item) {
  struct Block {
    TVITEMW item;
    wchar_t text[256];
  };
  auto* remote = static_cast<Block*>(VirtualAllocEx(process, nullptr, sizeof(Block), MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return L"";
  Block local{};
  local.item.mask = TVIF_TEXT;
  local.item.hItem = item;
  local.item.pszText = remote->text;
  local.item.cchTextMax = 256;
  WriteProcessMemory(process, remote, &local, sizeof local, nullptr);
  DWORD_PTR ok = 0;
  SendMessageTimeoutW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000, &ok);
  ReadProcessMemory(process, remote, &local, sizeof local, nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  local.text[255] = 0;
  return local.text;
}

HTREEITEM findItem(HWND tree, HANDLE process, HTREEITEM first, const std::wstring& path) {
  const size_t cut = path.find(L'/');
  const std::wstring label = path.substr(0, cut);
  for (HTREEITEM i = first; i; i = TreeView_GetNextSibling(tree, i)) {
    if (remoteItemText(tree, process, i) != label) continue;
    if (cut == std::wstring::npos) return i;
    return findItem(tree, process, TreeView_GetChild(tree, i), path.substr(cut + 1));
  }
  return nullptr;
}

// Selects the item at "Remote/Folder/Command" (or a bare label anywhere for
// depth one) of the tree control in `root`.
int selectItem(HWND main, HWND root, int treeId, const std::wstring& path) {
  const HWND tree = control(root, treeId);
  const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processOf(main));
  HTREEITEM item = nullptr;
  if (tree && process) {
    item = findItem(tree, process, TreeView_GetRoot(tree), path);
    // A label under any top item (the action types sit under their groups).
    for (HTREEITEM top = TreeView_GetRoot(tree); !item && top; top = TreeView_GetNextSibling(tree, top))
      item = findItem(tree, process, TreeView_GetChild(tree, top), path);
  }
  if (process) CloseHandle(process);
  if (!item) {
    std::fprintf(stderr, "vwindow: no tree item %ls\n", path.c_str());
    return 1;
  }
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item), SMTO_ABORTIFHUNG, 2000,
                      &ignored);
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
      "       vwindow exit           end Vexa as its tray menu's Exit does\n"
      "       vwindow select PATH [TITLE [TREE]]  select Remote/Folder/Command in the tree (or an action\n"
      "                              type in the dialog TITLE, or the item of its tree control TREE)\n"
      "       vwindow click ID [TITLE]      click the control ID of the main window (or of dialog TITLE)\n"
      "       vwindow type ID TEXT [TITLE]  put TEXT into the field ID, as typing it would\n"
      "       vwindow command BESIDE ID     post command ID to the page holding control BESIDE\n"
      "       vwindow rect-of TITLE  X Y WIDTH HEIGHT of Vexa's window TITLE\n",
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
  // An empty TITLE is the main window itself (to name a control id after it).
  const auto root = [&](int at) { return argc > at && argv[at][0] ? topLevel(window, argv[at]) : window; };
  if (command == L"select" && argc > 2)
    return selectItem(window, root(3),
                      argc > 4   ? _wtoi(argv[4])
                      : argc > 3 ? 2201 /* the action types */
                                 : CMainWindow::kTreeViewId,
                      argv[2]);
  if (command == L"click" && argc > 2) {
    const HWND target = control(root(3), _wtoi(argv[2]));
    // Posted: the click may open a modal dialog, which must not hold this tool.
    return target && PostMessageW(target, BM_CLICK, 0, 0) ? 0 : 1;
  }
  if (command == L"type" && argc > 3) {
    const HWND target = control(root(4), _wtoi(argv[2]));
    DWORD_PTR ignored = 0;
    return target && SendMessageTimeoutW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]), SMTO_ABORTIFHUNG,
                                          2000, &ignored)
               ? 0
               : 1;
  }
  if (command == L"command" && argc > 3) {
    const HWND beside = control(window, _wtoi(argv[2]));
    return beside && PostMessageW(GetParent(beside), WM_COMMAND, MAKEWPARAM(_wtoi(argv[3]), BN_CLICKED), 0) ? 0 : 1;
  }
  if (command == L"rect-of" && argc > 2) return printRect(topLevel(window, argv[2]));
  usage();
  return 2;
}
