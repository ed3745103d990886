#include "vexa/exec/win/window_operation.h"

#include <string>

#include "vexa/base/strings.h"
#include "vexa/exec/win/actions/activation.h"
#include "vexa/winlib/unicode.h"

namespace vexa::exec {

namespace {

HWND topLevelOwner(HWND window) {
  HWND top = window;
  while (HWND owner = GetWindow(top, GW_OWNER)) top = owner;
  return top;
}

std::string windowTitle(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return win::toUtf8(text);
}

std::string windowClass(HWND window) {
  wchar_t text[256] = {};
  GetClassNameW(window, text, 256);
  return toLower(win::toUtf8(text));
}

bool isSystemHelperWindow(HWND window) {
  if (iequals(windowTitle(window), "socket notification sink")) return true;
  const std::string cls = windowClass(window);
  for (const char* helper : {"olemainthreadwndclass", "oleddewndclass", "clipbrdwndclass"})
    if (cls.find(helper) != std::string::npos) return true;
  return false;
}

bool createdByExecutable(HWND window, const void* exeBase) {
  const auto instance = static_cast<uintptr_t>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  // The classic fixed bases, and the real one: 64-bit and relocated
  // executables load elsewhere.
  return instance == 0 || instance == 0x400000 || instance == 0x1000000 ||
         instance == reinterpret_cast<uintptr_t>(exeBase);
}

bool activate(HWND window) {
  if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
  if (!IsWindowVisible(window)) ShowWindowAsync(window, SW_SHOW);
  SetForegroundWindow(window);
  const HWND front = GetForegroundWindow();
  return front == window || front == GetWindow(window, GW_OWNER);
}

}  // namespace

WindowOperation closeOperation() {
  // The 32-bit pattern 0xFFFF0000, sign-extended as the 32-bit program passes it.
  return {WM_SYSCOMMAND, SC_CLOSE, static_cast<LPARAM>(static_cast<int32_t>(0xFFFF0000u))};
}

bool appliesToFirstWindowOnly(UINT code) { return code != WindowOp::kActivate && code != WindowOp::kTestForeground; }

void applyWindowOperation(HWND window, WindowOperation& op) {
  UINT code = op.code;
  if (code == WindowOp::kCycle)
    code = IsIconic(window) ? WindowOp::kRestore : IsZoomed(window) ? WindowOp::kMinimiseToggle : WindowOp::kMaximiseToggle;
  switch (code) {
    case WindowOp::kActivate:
      // A module's window counts as reached, though not as activated.
      op.done = (op.temporaryHost ? activateWindow(*op.temporaryHost, window, true) : activate(window)) || op.module ||
                op.done;
      return;
    case WindowOp::kTestForeground: op.done = GetForegroundWindow() == window || op.done; return;
    case WindowOp::kMinimiseToggle: ShowWindowAsync(window, IsIconic(window) ? SW_SHOWNORMAL : SW_MINIMIZE); break;
    case WindowOp::kMaximiseToggle: ShowWindowAsync(window, IsZoomed(window) ? SW_SHOWNORMAL : SW_MAXIMIZE); break;
    case WindowOp::kRestore: ShowWindowAsync(window, SW_SHOWNORMAL); break;
    default: SendMessageW(window, code, op.wParam, op.lParam); break;
  }
  op.done = true;
}

HWND filterWindow(HWND window, bool module, const void* exeBase) {
  if (!IsWindow(window)) return nullptr;
  const HWND target = module ? window : topLevelOwner(window);
  if (isSystemHelperWindow(target)) return nullptr;
  if (!module && !createdByExecutable(target, exeBase)) return nullptr;
  return target;
}

bool isForegroundOrAncestor(HWND window) {
  if (!window) return false;
  for (HWND w = GetForegroundWindow(); w; w = GetParent(w))
    if (w == window) return true;
  return false;
}

}  // namespace vexa::exec
