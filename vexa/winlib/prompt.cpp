#include "vexa/winlib/prompt.h"

namespace vexa::win {

int CMessageBoxPrompt::Ask(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) {
  return MessageBoxW(owner, text.c_str(), title.c_str(), type);
}

IPrompt& MessageBoxes() {
  // Holds no state: one for the whole process is as good as one per window.
  static CMessageBoxPrompt boxes;
  return boxes;
}

}  // namespace vexa::win
