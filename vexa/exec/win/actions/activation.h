#pragma once
// Bringing a window to the foreground from an execution thread, and
// synthesising keystroke text into whatever then has the focus.
#include <windows.h>

#include <string_view>

#include "vexa/exec/actions/keystroke_text.h"
#include "vexa/exec/win/actions/action_context.h"

namespace vexa::exec {

// Activates `window`; with `temporary` the main window gives the focus back
// 3 s after the last temporary activation (unless "Leave window focus after
// keystroke" is on). True when the window (or its owner) is now active.
bool activateWindow(IActionHost& host, HWND window, bool temporary);

// The foreground window, unless it is the taskbar or the desktop.
HWND userForegroundWindow();
std::string windowTitleOf(HWND window, size_t maxCharacters = 255);

// The key and shift state of a character in the current keyboard layout.
std::optional<KeyPress> layoutKey(char32_t character);
// Types the text key by key (10 ms apart) through the main window; the
// hot keys are off meanwhile. False when a token gave no key.
bool sendKeystrokes(IActionHost& host, std::string_view text);

}  // namespace vexa::exec
