#pragma once
// What the preset windows need of the program, and how they talk to the user.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "vexa/presets/preset_actions.h"

namespace vexa::presets::win {

struct PresetUi {
  std::filesystem::path programFolder;
  HINSTANCE resources = nullptr;  // where presets.rc went (the program)
  // The program's parts; `ask` and `warn` may stay empty for message boxes titled "Vexa".
  PresetActions actions;
};

// Fills `ask` and `warn` with message boxes owned by `owner` where they are empty.
PresetActions withMessageBoxes(PresetActions actions, HWND owner);
void tell(HWND owner, std::string_view text, UINT icon = MB_ICONINFORMATION);

}  // namespace vexa::presets::win
