#include "vexa/winlib/controls.h"

namespace vexa::win {

HWND CreateChildControl(HWND parent, const wchar_t* windowClass, const std::wstring& text, DWORD style, UINT id,
                        ControlPlace place, DWORD exStyle) {
  const HWND control = CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | style, place.x, place.y, place.cx,
                                       place.cy, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                       GetModuleHandleW(nullptr), nullptr);
  if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return control;
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace vexa::win
