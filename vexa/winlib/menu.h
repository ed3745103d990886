#pragma once
// A menu, usually a pop-up such as the tray menu.
#include <windows.h>

#include "vexa/winlib/unique_handle.h"

namespace vexa::win {

struct MenuTraits {
  using Type = HMENU;
  static Type None() { return nullptr; }
  static bool Free(Type h) { return DestroyMenu(h) != FALSE; }
};

class CMenu : public CUniqueHandle<MenuTraits> {
 public:
  using CUniqueHandle::CUniqueHandle;

  bool CreatePopup() {
    Attach(CreatePopupMenu());
    return IsValid();
  }
  bool AppendItem(UINT id, const wchar_t* text) {
    return AppendMenuW(Get(), MF_STRING, id, text) != FALSE;
  }
  // The submenu's handle passes to this menu, which destroys it.
  bool AppendSubmenu(CUniqueHandle&& submenu, const wchar_t* text) {
    if (!AppendMenuW(Get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu.Get()), text)) return false;
    submenu.Detach();
    return true;
  }
  bool AppendSeparator() { return AppendMenuW(Get(), MF_SEPARATOR, 0, nullptr) != FALSE; }
  bool SetDefaultItem(UINT id) { return SetMenuDefaultItem(Get(), id, FALSE) != FALSE; }
  // Shows the menu at a screen point and returns the chosen command (0 for none).
  UINT Track(HWND owner, POINT at) const;
};

}  // namespace vexa::win
