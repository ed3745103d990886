#pragma once
// The "PostMessage" action's posting, shared with "Message Capture"'s
// "Test": a click is posted as button down and up, a control's command to
// its dialog.
#include <windows.h>

#include <string>
#include <string_view>

namespace vexa::exec {

// Posts `text` ("name:wParam:lParam") to `window`; false with the failure's
// status text when the text is malformed or names an unsupported message.
bool postMessageText(HWND window, std::string_view text, std::string& message);

}  // namespace vexa::exec
