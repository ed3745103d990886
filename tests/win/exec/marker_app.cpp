// The application the execution tests start and close.
//   marker_app <title> <start marker> <close marker> [window count] [hang]
// Writes the start marker (its working folder on the first line) when it
// starts, opens its top-level windows titled <title>, and appends a line to
// the close marker for each close command ("syscommand") and each close
// ("close"); it ends when its last window is gone. With "hang" it stops
// answering for 30 s once it gets a close command.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::wstring g_closeMarker;
int g_windows = 0;
bool g_hang = false;

// UTF-8 lines, as the tests read them.
void appendLine(const std::wstring& file, const std::wstring& line) {
  const std::wstring text = line + L"\n";
  std::string bytes(text.size() * 4, '\0');
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                    static_cast<int>(bytes.size()), nullptr, nullptr);
  if (FILE* f = _wfopen(file.c_str(), L"ab")) {
    std::fwrite(bytes.data(), 1, n, f);
    std::fclose(f);
  }
}

LRESULT CALLBACK windowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_CLOSE) {
        appendLine(g_closeMarker, L"syscommand");
        if (g_hang) Sleep(30000);
      }
      break;
    case WM_CLOSE:
      appendLine(g_closeMarker, L"close");
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      if (--g_windows == 0) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 4) return 2;
  const std::wstring title = argv[1];
  g_closeMarker = argv[3];
  const int count = argc > 4 ? _wtoi(argv[4]) : 1;
  g_hang = argc > 5 && std::wstring(argv[5]) == L"hang";
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  appendLine(argv[2], folder);

  WNDCLASSW wc{};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"VexaMarkerApp";
  RegisterClassW(&wc);
  for (int i = 0; i < count; ++i) {
    HWND w = CreateWindowW(wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 40 + 20 * i, 40 + 20 * i, 240, 120,
                           nullptr, nullptr, instance, nullptr);
    if (!w) return 3;
    ++g_windows;
    ShowWindow(w, SW_SHOWNORMAL);
  }
  LocalFree(argv);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
