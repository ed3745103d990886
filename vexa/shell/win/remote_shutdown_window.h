#pragma once
// "Remote System Shutdown": the last seconds of a shutdown countdown, with
// "Abort" (and Escape) to cancel it.
#include <windows.h>

#include <functional>
#include <string_view>

namespace vexa::shell {

inline constexpr const wchar_t* kShutdownWindowClass = L"VexaShutdownWindow";
inline constexpr const wchar_t* kShutdownAbortHint = L"Hit ESC to abort.";

// Opens the window titled "Vexa -" and the window text; it destroys itself
// after calling `abort`. Null when it could not be created.
HWND openShutdownWindow(HWND owner, std::string_view text, unsigned seconds, std::function<void()> abort);
void updateShutdownWindow(HWND window, unsigned seconds);

}  // namespace vexa::shell
