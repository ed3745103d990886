#include "vexa/presets/win/preset_ui.h"

#include "vexa/winlib/unicode.h"

namespace vexa::presets::win {

namespace {
constexpr const wchar_t* kTitle = L"Vexa";
}

void tell(HWND owner, std::string_view text, UINT icon) {
  MessageBoxW(owner, vexa::win::toWide(text).c_str(), kTitle, MB_OK | icon);
}

PresetActions withMessageBoxes(PresetActions actions, HWND owner) {
  if (!actions.ask)
    actions.ask = [owner](std::string_view question) {
      return MessageBoxW(owner, vexa::win::toWide(question).c_str(), kTitle, MB_YESNO | MB_ICONQUESTION) == IDYES;
    };
  if (!actions.warn) actions.warn = [owner](std::string_view text) { tell(owner, text, MB_ICONEXCLAMATION); };
  return actions;
}

}  // namespace vexa::presets::win
