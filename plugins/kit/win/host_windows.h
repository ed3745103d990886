#pragma once
// The host's windows as a plug-in finds them: the main window by its title,
// the device page among its children.
#include <windows.h>

#include <string>

#include "vexa/device/plugin_abi.h"

namespace vexa::kit {

inline HWND findMainWindow() { return FindWindowA(nullptr, abi::kMainWindowTitle); }

inline HWND findConfigWindow() {
  HWND main = findMainWindow();
  return main ? FindWindowExA(main, nullptr, nullptr, abi::kConfigWindowTitle) : nullptr;
}

inline LRESULT askConfigWindow(HWND config, unsigned code) {
  return SendMessageA(config, abi::kVexaMessage, code, 0);
}

// The COM port chosen on the device page, at most maxChars characters; empty
// when there is no page.
inline std::string selectedPortName(int maxChars) {
  HWND config = findConfigWindow();
  if (!config) return {};
  HWND list = reinterpret_cast<HWND>(askConfigWindow(config, abi::PageCode::kSelector1List));
  if (!list) return {};
  std::string text(static_cast<size_t>(maxChars) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(list, text.data(), maxChars + 1)));
  return text;
}

inline void postToMainWindow(unsigned code) {
  if (HWND main = findMainWindow()) PostMessageA(main, abi::kVexaMessage, code, 0);
}

}  // namespace vexa::kit
