#include "vexa/shell/win/remote_shutdown_window.h"

#include <commctrl.h>

#include <string>

#include "vexa/winlib/unicode.h"

namespace vexa::shell {

namespace {

enum : UINT { kCountdownId = 600, kTextId, kHintId };
constexpr int kWidth = 300, kHeight = 230;

// Escape reaches the focused button, not the window: without a dialog
// manager the button passes it on as "Abort".
LRESULT CALLBACK abortButtonProc(HWND button, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == WM_KEYDOWN && wp == VK_ESCAPE) {
    PostMessageW(GetParent(button), WM_COMMAND, IDCANCEL, 0);
    return 0;
  }
  if (msg == WM_GETDLGCODE) return DLGC_WANTALLKEYS | DefSubclassProc(button, msg, wp, lp);
  return DefSubclassProc(button, msg, wp, lp);
}

}  // namespace

CRemoteShutdownWindow::~CRemoteShutdownWindow() {
  // The window goes before its font.
  Destroy();
  if (m_font) DeleteObject(m_font);
}

bool CRemoteShutdownWindow::Open(HWND owner, std::string_view text, unsigned seconds) {
  if (!RegisterWindowClass(kShutdownWindowClass)) return false;
  const std::wstring title = L"Vexa -" + win::toWide(text);
  if (!Create(kShutdownWindowClass, title, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOPMOST | WS_EX_DLGMODALFRAME,
              {CW_USEDEFAULT, CW_USEDEFAULT, kWidth, kHeight}, owner))
    return false;
  m_font = CreateFontW(-80, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
  m_countdown = Control(L"STATIC", L"", SS_CENTER, kCountdownId, 10, 5, kWidth - 30, 95);
  SendMessageW(m_countdown, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
  Control(L"STATIC", win::toWide(text).c_str(), SS_CENTER, kTextId, 10, 105, kWidth - 30, 20);
  Control(L"STATIC", kShutdownAbortHint, SS_CENTER, kHintId, 10, 128, kWidth - 30, 20);
  m_button = Control(L"BUTTON", L"Abort", BS_DEFPUSHBUTTON | WS_TABSTOP, IDCANCEL, (kWidth - 100) / 2 - 5, 155, 100, 28);
  SetWindowSubclass(m_button, abortButtonProc, 1, 0);
  Update(seconds);
  Show(SW_SHOW);
  SetForegroundWindow(Handle());
  SetFocus(m_button);
  PointAtAbort();
  return true;
}

void CRemoteShutdownWindow::Update(unsigned seconds) {
  if (m_countdown) SetWindowTextW(m_countdown, std::to_wstring(seconds).c_str());
}

LRESULT CRemoteShutdownWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == IDCANCEL) {
        RequestAbort();
        return 0;
      }
      break;
    case WM_CLOSE:
      RequestAbort();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lp) == m_countdown) {
        const HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, RGB(255, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
  }
  return CWindow::OnMessage(msg, wp, lp);
}

void CRemoteShutdownWindow::RequestAbort() {
  // A copy of our own: the owner may delete this window, and the callback with it.
  const std::function<void()> abort = m_abort;
  if (abort)
    abort();
  else
    Destroy();
}

HWND CRemoteShutdownWindow::Control(const wchar_t* cls, const wchar_t* text, DWORD style, UINT id, int x, int y, int w,
                                    int h) {
  return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, Handle(),
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

// The pointer onto "Abort", in the absolute mouse range.
void CRemoteShutdownWindow::PointAtAbort() {
  RECT r{};
  GetWindowRect(m_button, &r);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  if (width <= 0 || height <= 0) return;
  const LONG x = (r.left + 40) * 65535 / width, y = (r.top + 20) * 65535 / height;
  mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, static_cast<DWORD>(x), static_cast<DWORD>(y), 0, 0);
}

}  // namespace vexa::shell
