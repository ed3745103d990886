#pragma once
// "Locate %s": asks for the path of an application a layout refers to.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vexa::shell {

inline constexpr const wchar_t* kLocatePrompt = L"Please enter the full path and file name for the application:";
inline constexpr const wchar_t* kLocateNote =
    L"Some commands require a valid path and filename for an application. If you do not have this application "
    L"installed, empty the box and click OK. The affected commands will do nothing then.";

struct LocateDialogHooks {
  // The path to accept for what was typed, or nothing to ask again.
  std::function<std::optional<std::string>(std::string_view typed)> accept;
  // Runs after the window exists, before the modal loop (tests type and press here).
  std::function<void(HWND dialog)> shown;
};

// Modal. The accepted path, or nothing when cancelled (the caller tells the user).
std::optional<std::string> runLocateDialog(HWND owner, std::string_view fileName, const LocateDialogHooks& hooks);

}  // namespace vexa::shell
