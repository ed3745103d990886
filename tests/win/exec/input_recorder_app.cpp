// A window of another process that records what it receives, one line per
// event, in a UTF-8 file the tests read:
//   input_recorder_app <title> <record file> [timed|fields]
// Lines: "key <vk hex> <C|-><A|-><S|->" per key down (with the modifier
// state then), "char <code>", "msg <hex> <wParam> <lParam>" for WM_USER and
// up, "command <wParam> <lParam>", "lbuttondown|lbuttonup|lbuttondblclk|
// rbuttondown|mbuttondown <x> <y>", "wheel <delta>", "syscommand close".
// Children: a static text and a drop-down list whose selected item is 600
// characters long; with "fields" also two fields, "first" (which has the
// focus) and "second", that record "<field> char <code>".
#include <windows.h>
#include <shellapi.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

std::wstring g_record;
bool g_timed = false;

void record(const char* format, ...) {
  char line[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (FILE* f = _wfopen(g_record.c_str(), L"ab")) {
    std::fprintf(f, "%s\n", line);
    std::fclose(f);
  }
}

char held(int key, char letter) { return (GetKeyState(key) & 0x8000) ? letter : '-'; }

LRESULT CALLBACK windowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  const int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (g_timed) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        record("t %lld", static_cast<long long>(now.QuadPart));
      }
      record("key %02x %c%c%c", static_cast<unsigned>(wp), held(VK_CONTROL, 'C'), held(VK_MENU, 'A'),
             held(VK_SHIFT, 'S'));
      break;
    case WM_CHAR: record("char %u", static_cast<unsigned>(wp)); return 0;
    case WM_COMMAND: record("command %u %llu", static_cast<unsigned>(wp), static_cast<unsigned long long>(lp)); break;
    case WM_LBUTTONDOWN: record("lbuttondown %d %d", x, y); return 0;
    case WM_LBUTTONUP: record("lbuttonup %d %d", x, y); return 0;
    case WM_LBUTTONDBLCLK: record("lbuttondblclk %d %d", x, y); return 0;
    case WM_RBUTTONDOWN: record("rbuttondown %d %d", x, y); return 0;
    case WM_MBUTTONDOWN: record("mbuttondown %d %d", x, y); return 0;
    case WM_MOUSEWHEEL: record("wheel %d", static_cast<short>(HIWORD(wp))); return 0;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_CLOSE) record("syscommand close");
      break;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default:
      if (msg >= WM_USER && msg <= 0xBFFF) {
        record("msg %x %llu %llu", msg, static_cast<unsigned long long>(wp), static_cast<unsigned long long>(lp));
        return 0;
      }
  }
  return DefWindowProcW(window, msg, wp, lp);
}

LRESULT CALLBACK fieldProc(HWND field, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CHAR) {
    char title[32] = "";
    GetWindowTextA(field, title, sizeof title);
    record("%s char %u", title, static_cast<unsigned>(wp));
    return 0;
  }
  return DefWindowProcW(field, msg, wp, lp);
}

void addFields(HWND parent, HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = fieldProc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"VexaRecorderField";
  RegisterClassW(&wc);
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER;
  HWND first = CreateWindowW(wc.lpszClassName, L"first", style, 10, 10, 180, 24, parent, nullptr, instance, nullptr);
  CreateWindowW(wc.lpszClassName, L"second", style, 10, 40, 180, 24, parent, nullptr, instance, nullptr);
  SetFocus(first);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 2;
  g_record = argv[2];
  const std::wstring mode = argc > 3 ? argv[3] : L"";
  g_timed = mode == L"timed";
  WNDCLASSW wc{};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.style = CS_DBLCLKS;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"VexaInputRecorder";
  RegisterClassW(&wc);
  HWND w = CreateWindowW(wc.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW, 60, 60, 420, 260, nullptr, nullptr, instance,
                         nullptr);
  if (!w) return 3;
  CreateWindowW(L"STATIC", L"Recorder status", WS_CHILD | WS_VISIBLE, 10, 150, 200, 20, w, nullptr, instance,
                nullptr);
  HWND list = CreateWindowW(L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 180, 200, 120, w,
                            reinterpret_cast<HMENU>(77), instance, nullptr);
  SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"first"));
  const std::wstring long_item(600, L'x');
  SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(long_item.c_str()));
  SendMessageW(list, CB_SETCURSEL, 1, 0);
  ShowWindow(w, SW_SHOWNORMAL);
  SetForegroundWindow(w);
  if (mode == L"fields") addFields(w, instance);
  record("ready");
  LocalFree(argv);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
