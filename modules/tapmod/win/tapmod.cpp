// tapmod.dll: system-wide hooks for the program. Key presses go to the main
// window (code 96), pointer positions to the "Mouse Position Tool" (code 94),
// and button, menu and click messages of a watched thread to the "Message
// Capture" window (WM_COPYDATA). Each receiver is asked for the hook handle
// to pass events on with (codes 97, 95, 90 and 91).
#include <windows.h>

#include <cstdint>

#include "modules/tapmod/key_event.h"

namespace {

constexpr UINT kVexaMessage = 0x7FFF;
constexpr WPARAM kMessageHookHandle = 90, kWndProcHookHandle = 91, kMousePosition = 94, kMouseHookHandle = 95,
                 kKeyEvent = 96, kKeyboardHookHandle = 97;
constexpr ULONG_PTR kCapturedCallWndProc = 92, kCapturedGetMessage = 93;
constexpr UINT kSendTimeoutMs = 250;

// Hook state of this process. Low-level hooks run on the thread that installed
// them, so the keyboard and mouse state is the installer's; the message hooks
// run inside the watched program, which learns their handles from the capture
// window when it first reports to it.
struct HookState {
  HINSTANCE module = nullptr;
  HHOOK keyboard = nullptr;
  HHOOK mouse = nullptr;
  HHOOK messageHook = nullptr;
  HHOOK wndProcHook = nullptr;
  tapmod::Modifiers held;
};
HookState g_state;

LRESULT ask(HWND window, WPARAM code, LPARAM lp = 0) {
  DWORD_PTR result = 0;
  if (!window || !SendMessageTimeoutW(window, kVexaMessage, code, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
    return 0;
  return static_cast<LRESULT>(result);
}

// The program's main window; in this process when there is one.
HWND mainWindow() {
  HWND any = nullptr;
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"VexaMainWindow", L"Vexa"));) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process == GetCurrentProcessId()) return w;
    if (!any) any = w;
  }
  return any;
}

HHOOK answeredHook(HWND window, WPARAM code, HHOOK fallback) {
  const auto handle = reinterpret_cast<HHOOK>(ask(window, code));
  return handle ? handle : fallback;
}

LRESULT CALLBACK keyboardProc(int code, WPARAM wp, LPARAM lp) {
  const HWND main = mainWindow();
  const auto* key = code == HC_ACTION ? reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp) : nullptr;
  // Keys a program synthesised (the program's own keystrokes and the Alt and
  // Tab of "Cycle through windows" among them) are nobody's press: they are
  // not reported and do not change which modifiers the user holds.
  if (key && !(key->flags & LLKHF_INJECTED)) {
    const bool down = wp == WM_KEYDOWN || wp == WM_SYSKEYDOWN;
    if (!tapmod::trackModifier(g_state.held, key->vkCode, down) && down && main &&
        ask(main, kKeyEvent, static_cast<LPARAM>(tapmod::keyEvent(static_cast<uint16_t>(key->vkCode), g_state.held))))
      return 1;  // a hot key: the focused program does not get it as well
  }
  return CallNextHookEx(answeredHook(main, kKeyboardHookHandle, g_state.keyboard), code, wp, lp);
}

LRESULT CALLBACK mouseProc(int code, WPARAM wp, LPARAM lp) {
  const HWND tool = FindWindowW(nullptr, L"Mouse Position Tool");
  if (code == HC_ACTION && wp == WM_MOUSEMOVE && tool) {
    const POINT at = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp)->pt;
    const auto clamp = [](LONG v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 0xFFFF ? 0xFFFF : v); };
    ask(tool, kMousePosition, static_cast<LPARAM>(clamp(at.x) * 65536u + clamp(at.y)));
  }
  return CallNextHookEx(answeredHook(tool, kMouseHookHandle, g_state.mouse), code, wp, lp);
}

bool captured(UINT message) {
  return message == WM_COMMAND || message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK;
}

// Runs inside the watched program for every message it handles: only the
// three listed messages cost a look for the capture window.
void reportCaptured(ULONG_PTR kind, const uint32_t (&values)[4], WPARAM handleCode, HHOOK& handle) {
  const HWND capture = FindWindowW(nullptr, L"Message Capture");
  if (!capture) return;
  COPYDATASTRUCT data{kind, sizeof(values), const_cast<uint32_t*>(values)};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(capture, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                      &ignored);
  handle = answeredHook(capture, handleCode, handle);
}

uint32_t low32(uintptr_t v) { return static_cast<uint32_t>(v); }

LRESULT CALLBACK getMessageProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && wp == PM_REMOVE) {
    const MSG& m = *reinterpret_cast<const MSG*>(lp);
    if (captured(m.message))
      reportCaptured(kCapturedGetMessage,
                     {low32(reinterpret_cast<uintptr_t>(m.hwnd)), m.message, low32(m.wParam), low32(m.lParam)},
                     kMessageHookHandle, g_state.messageHook);
  }
  return CallNextHookEx(g_state.messageHook, code, wp, lp);
}

LRESULT CALLBACK callWndProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) {
    const CWPSTRUCT& m = *reinterpret_cast<const CWPSTRUCT*>(lp);
    if (captured(m.message))
      reportCaptured(kCapturedCallWndProc,
                     {low32(m.lParam), low32(m.wParam), m.message, low32(reinterpret_cast<uintptr_t>(m.hwnd))},
                     kWndProcHookHandle, g_state.wndProcHook);
  }
  return CallNextHookEx(g_state.wndProcHook, code, wp, lp);
}

}  // namespace

// Exported by plain name through the .def file.
extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_state.module = module;
    DisableThreadLibraryCalls(module);
  }
  return TRUE;
}

HHOOK WINAPI InstallHook() {
  if (!g_state.keyboard) {
    g_state.held = {};
    g_state.keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, g_state.module, 0);
  }
  return g_state.keyboard;
}

void WINAPI UnHook() {
  if (g_state.keyboard) UnhookWindowsHookEx(g_state.keyboard);
  g_state.keyboard = nullptr;
}

HHOOK WINAPI InstallMouseHook() {
  if (!g_state.mouse) g_state.mouse = SetWindowsHookExW(WH_MOUSE_LL, mouseProc, g_state.module, 0);
  return g_state.mouse;
}

void WINAPI UnHookMouse() {
  if (g_state.mouse) UnhookWindowsHookEx(g_state.mouse);
  g_state.mouse = nullptr;
}

HHOOK WINAPI InstallMsgHook(DWORD threadId) {
  return SetWindowsHookExW(WH_GETMESSAGE, getMessageProc, g_state.module, threadId);
}

HHOOK WINAPI InstallWndProcHook(DWORD threadId) {
  return SetWindowsHookExW(WH_CALLWNDPROC, callWndProc, g_state.module, threadId);
}

void WINAPI UnHookMsg(HHOOK hook) {
  if (hook) UnhookWindowsHookEx(hook);
}

}  // extern "C"
