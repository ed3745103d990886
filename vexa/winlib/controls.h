#pragma once
// Child controls made in code, and the text of any window.
#include <windows.h>

#include <string>

namespace vexa::win {

// A child's place in its parent's client area.
struct ControlPlace {
  int x = 0, y = 0, cx = 0, cy = 0;
};

// A child control of `parent` with the dialog font; WS_CHILD is added to
// `style`. Null when it could not be made.
HWND CreateChildControl(HWND parent, const wchar_t* windowClass, const std::wstring& text, DWORD style, UINT id,
                        ControlPlace place = {}, DWORD exStyle = 0);

// The whole text of a window (a control's contents, a window's title).
std::wstring WindowText(HWND window);

}  // namespace vexa::win
