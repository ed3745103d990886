#include "vexa/winlib/window.h"

#include <utility>

#include "vexa/winlib/controls.h"
#include "vexa/winlib/failure_sink.h"

namespace vexa::win {

CWindow::~CWindow() {
  if (m_hwnd == nullptr) return;
  // The derived part is already gone: detach first so that the destruction
  // messages go to DefWindowProc instead of a dead object.
  SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
  DestroyWindow(std::exchange(m_hwnd, nullptr));
}

std::wstring CWindow::Text() const { return WindowText(m_hwnd); }

bool CWindow::RegisterWindowClass(const std::wstring& className, HICON icon, HICON smallIcon) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (GetClassInfoExW(instance, className.c_str(), &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &CWindow::WindowProc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hIconSm = smallIcon;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className.c_str();
  return RegisterClassExW(&wc) != 0;
}

bool CWindow::Create(const std::wstring& className, const std::wstring& title, DWORD style,
                     DWORD exStyle, WindowPlacement placement, HWND parent, HMENU menu) {
  if (m_hwnd != nullptr || !RegisterWindowClass(className)) return false;
  // m_hwnd is set by WindowProc at WM_NCCREATE so that the creation messages reach us too.
  const HWND hwnd = CreateWindowExW(exStyle, className.c_str(), title.c_str(), style, placement.x,
                                    placement.y, placement.cx, placement.cy, parent, menu,
                                    GetModuleHandleW(nullptr), this);
  return hwnd != nullptr && m_hwnd == hwnd;
}

LRESULT CWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcW(m_hwnd, msg, wp, lp);
}

LRESULT CALLBACK CWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<CWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->m_hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<CWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  LRESULT result = 0;
  try {
    result = self->OnMessage(msg, wp, lp);
  } catch (...) {
    if (!CFailureScope::Report(__FILE__, __LINE__, __DATE__)) throw;
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->m_hwnd = nullptr;
    self->OnFinalDestroy();
  }
  return result;
}

}  // namespace vexa::win
