#include "vexa/exec/win/actions/activation.h"

#include <thread>

#include "vexa/base/strings.h"
#include "vexa/winlib/unicode.h"

namespace vexa::exec {

namespace {

constexpr DWORD kDetachAfterMs = 1200;
constexpr DWORD kKeyPauseMs = 10;
constexpr unsigned kVkShift = 0x10, kVkControl = 0x11, kVkAlt = 0x12;

bool isTopChildOf(HWND window, HWND active) { return active && GetTopWindow(active) == window; }

// Attaches `from`'s input to `to` and undoes it later on a short thread:
// detaching at once would take the focus change back.
void attachForAWhile(DWORD from, DWORD to) {
  if (from == to || !from || !to || !AttachThreadInput(from, to, TRUE)) return;
  std::thread([from, to] {
    Sleep(kDetachAfterMs);
    AttachThreadInput(from, to, FALSE);
  }).detach();
}

// The keyboard focus to `window` unless it or one of its children has it
// already. Only the window's own thread, or one sharing its input, may move
// its focus: this thread joins it for the call.
void giveFocus(HWND window) {
  const DWORD target = GetWindowThreadProcessId(window, nullptr);
  GUITHREADINFO input{};
  input.cbSize = sizeof(input);
  if (GetGUIThreadInfo(target, &input) && input.hwndFocus &&
      (input.hwndFocus == window || IsChild(window, input.hwndFocus)))
    return;
  const DWORD self = GetCurrentThreadId();
  const bool joined = target != self && AttachThreadInput(self, target, TRUE);
  SetFocus(window);
  if (joined) AttachThreadInput(self, target, FALSE);
}

bool isHeld(unsigned key) { return (GetAsyncKeyState(static_cast<int>(key)) & 0x8000) != 0; }

// The modifier keys down or up as `key` needs; the previous states for putting back.
void setModifier(IActionHost& host, unsigned vk, bool wanted, bool held) {
  if (wanted != held) host.sendKey(vk, !wanted);
}

}  // namespace

bool activateWindow(IActionHost& host, HWND window, bool temporary) {
  if (!window || !IsWindow(window)) return false;
  HWND active = GetForegroundWindow();
  if (temporary) {
    ActionUiRequest r;
    r.kind = ActionUiRequest::kTemporaryActivation;
    r.window = reinterpret_cast<uintptr_t>(window);
    r.previous = reinterpret_cast<uintptr_t>(active);
    r.wasMinimised = IsIconic(window) != FALSE;
    r.wasHidden = IsWindowVisible(window) == FALSE;
    host.request(r);
  }
  // A child control comes forward with its top-level window, then takes the focus.
  HWND top = GetAncestor(window, GA_ROOT);
  if (!top) top = window;
  if (top != active && !isTopChildOf(top, active)) {
    if (IsIconic(top)) ShowWindow(top, SW_RESTORE);
    if (!IsWindowVisible(top)) ShowWindow(top, SW_SHOW);
    // Joining input queues is the way past the foreground lock; where the
    // plain call is allowed it only disturbs the focus when undone (the
    // change itself may show a moment later, so its answer decides).
    if (!SetForegroundWindow(top)) {
      const DWORD targetThread = GetWindowThreadProcessId(top, nullptr);
      const DWORD frontThread = active ? GetWindowThreadProcessId(active, nullptr) : 0;
      attachForAWhile(targetThread, frontThread);
      SetForegroundWindow(top);
    }
  }
  giveFocus(window);
  const HWND now = GetForegroundWindow();
  return !now || now == window || now == GetWindow(window, GW_OWNER) || GetAncestor(window, GA_ROOT) == now;
}

HWND userForegroundWindow() {
  const HWND front = GetForegroundWindow();
  if (!front) return nullptr;
  wchar_t cls[64] = {};
  GetClassNameW(front, cls, 64);
  if (lstrcmpiW(cls, L"Shell_TrayWnd") == 0 || lstrcmpiW(cls, L"Progman") == 0) return nullptr;
  return front;
}

std::string windowTitleOf(HWND window, size_t maxCharacters) {
  if (!window) return {};
  std::wstring text(maxCharacters + 1, L'\0');
  // InternalGetWindowText sends no message: a hung window cannot stop the run.
  const int n = InternalGetWindowText(window, text.data(), static_cast<int>(text.size()));
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return win::toUtf8(text);
}

std::optional<KeyPress> layoutKey(char32_t character) {
  if (character > 0xFFFF) return std::nullopt;
  const SHORT scan = VkKeyScanW(static_cast<wchar_t>(character));
  if (scan == -1 || LOBYTE(scan) == 0xFF) return std::nullopt;
  const BYTE shift = HIBYTE(scan);
  return KeyPress{LOBYTE(scan), (shift & 1) != 0, (shift & 2) != 0, (shift & 4) != 0};
}

bool sendKeystrokes(IActionHost& host, std::string_view text) {
  const KeystrokeText parsed = parseKeystrokeText(text, layoutKey);
  ActionUiRequest hotKeys;
  hotKeys.kind = ActionUiRequest::kHotKeys;
  hotKeys.on = false;
  host.request(hotKeys);
  bool first = true;
  for (const KeyPress& key : parsed.keys) {
    if (!first) Sleep(kKeyPauseMs);
    first = false;
    const bool control = isHeld(kVkControl), alt = isHeld(kVkAlt), shift = isHeld(kVkShift);
    setModifier(host, kVkControl, key.control, control);
    setModifier(host, kVkAlt, key.alt, alt);
    setModifier(host, kVkShift, key.shift, shift);
    host.sendKey(key.virtualKey, false);
    host.sendKey(key.virtualKey, true);
    setModifier(host, kVkShift, shift, key.shift);
    setModifier(host, kVkAlt, alt, key.alt);
    setModifier(host, kVkControl, control, key.control);
  }
  hotKeys.on = true;
  host.request(hotKeys);
  return parsed.complete;
}

}  // namespace vexa::exec
