// Window messages to another program's window, a window's title on the
// display, and switching the command's layout.
#include <windows.h>

#include "vexa/base/strings.h"
#include "vexa/exec/actions/post_message_text.h"
#include "vexa/exec/actions/status_text.h"
#include "vexa/exec/win/actions/action_table.h"
#include "vexa/exec/win/actions/activation.h"
#include "vexa/exec/win/actions/post_message.h"
#include "vexa/model/app_folder.h"
#include "vexa/winlib/unicode.h"

namespace vexa::exec {

namespace {

constexpr size_t kTitleCharacters = 500;
constexpr UINT kAnswerMs = 2000;  // a hung program must not hold the run

LRESULT ask(HWND window, UINT msg, WPARAM wp, LPARAM lp, LRESULT failed) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, msg, wp, lp, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerMs, &result)) return failed;
  return static_cast<LRESULT>(result);
}

void post(HWND window, UINT msg, WPARAM wp, LPARAM lp) { PostMessageW(window, msg, wp, lp); }

bool postMessage(ActionContext& c, std::string& message) {
  const std::string& name = c.action().fileName;
  const std::string& text = c.action().param;
  if (name.empty() || text.empty()) return false;
  const HWND window = c.host.findWindow(name, c.refreshLists());
  if (!window) {
    message = statusText("PostMessage: Window %s not found", name);
    return false;
  }
  return postMessageText(window, text, message);
}

// Sized from the control: a combo box's item or a window's text of any length.
std::string controlText(HWND window) {
  wchar_t cls[64] = {};
  GetClassNameW(window, cls, 64);
  const std::string kind = toLower(win::toUtf8(cls));
  if (kind == "combobox" && (GetWindowLongW(window, GWL_STYLE) & 0x3) == CBS_DROPDOWNLIST) {
    const LRESULT item = ask(window, CB_GETCURSEL, 0, 0, CB_ERR);
    if (item == CB_ERR) return {};
    const LRESULT length = ask(window, CB_GETLBTEXTLEN, item, 0, CB_ERR);
    if (length == CB_ERR || length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = ask(window, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data()), CB_ERR);
    text.resize(got == CB_ERR ? 0 : std::min<size_t>(static_cast<size_t>(got), static_cast<size_t>(length)));
    return win::toUtf8(text);
  }
  if (kind == "edit" || kind == "static" || kind == "combobox") {
    std::wstring text(kTitleCharacters + 1, L'\0');
    const LRESULT got = ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), 0);
    text.resize(std::min<size_t>(static_cast<size_t>(got < 0 ? 0 : got), kTitleCharacters));
    return win::toUtf8(text);
  }
  return windowTitleOf(window, kTitleCharacters);
}

bool displayWindowTitle(ActionContext& c, std::string& message) {
  const std::string& name = c.action().fileName;
  const HWND window = name.empty() ? GetForegroundWindow() : c.host.findWindow(name, c.refreshLists());
  if (!window) {
    message = "Display Window Title: Window not found";
    return false;
  }
  const std::string text = controlText(window);
  if (text.empty()) {
    message = "Display Window Title: Window has empty title";
    return false;
  }
  if (c.osdEnabled()) {
    DisplayRequest request;
    request.code = DisplayRequest::kWindowTitle;
    request.text = text;
    request.object = window;
    request.repeat = c.call.repeat;
    c.host.display(request);
  }
  message = statusText("Window Title: %s", text);
  return true;
}

bool switchLayout(ActionContext& c, std::string& message) {
  const std::string& name = c.action().fileName;
  if (name.empty()) return false;
  SwitchLayoutRequest request;
  request.command = c.call.command.identity;
  request.layoutName = name;
  request.wholeFolder = c.call.command.inFolder && (c.call.command.folder.flags & APPFOLDER::kSwitchLayoutsTogether);
  const bool ok = c.host.mainWindow() &&
                  SendMessageW(c.host.mainWindow(), ProgramMessage::kSwitchLayout, 0,
                               reinterpret_cast<LPARAM>(&request)) != 0;
  message = ok ? statusText("Switched to layout %s", request.activeLayout) : statusText("Switch to layout %s failed", name);
  return ok;
}

}  // namespace

bool postMessageText(HWND window, std::string_view text, std::string& message) {
  const auto parsed = parsePostMessageText(text);
  if (!parsed) {
    message = statusText("PostMessage %s failed", text);
    return false;
  }
  const WPARAM wp = parsed->wParam;
  const LPARAM lp = static_cast<LPARAM>(parsed->lParam);
  const UINT msg = parsed->message;
  if (msg == WindowMessage::kCommand) {
    // A control's command goes to its dialog, naming the control.
    if (const HWND parent = GetParent(window)) {
      post(parent, msg, wp, reinterpret_cast<LPARAM>(window));
    } else {
      const HWND child = lp ? GetDlgItem(window, LOWORD(wp)) : nullptr;
      post(window, msg, wp, reinterpret_cast<LPARAM>(child));
    }
  } else if (msg == WindowMessage::kLButtonDown) {
    post(window, WM_LBUTTONDOWN, wp, lp);
    post(window, WM_LBUTTONUP, 0, lp);
  } else if (msg == WindowMessage::kLButtonDblClk) {
    post(window, WM_LBUTTONDOWN, wp, lp);
    post(window, WM_LBUTTONUP, 0, lp);
    post(window, WM_LBUTTONDBLCLK, wp, lp);
    post(window, WM_LBUTTONUP, 0, lp);
  } else if (msg >= WindowMessage::kUser && msg <= WindowMessage::kLastPostable) {
    post(window, msg, wp, lp);
  } else {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x", msg);
    message = statusText("PostMessage: unsupported message: %s", hex);
    return false;
  }
  message = statusText("PostMessage: %s", text);
  return true;
}

void registerMessageActions(CActionTable& table) {
  table.add(ActionKind::PostMessage, postMessage);
  table.add(ActionKind::DisplayWindowTitle, displayWindowTitle);
  table.add(ActionKind::SwitchLayout, switchLayout);
}

}  // namespace vexa::exec
