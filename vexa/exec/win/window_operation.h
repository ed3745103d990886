#pragma once
// What is done to the top-level windows of an application once its process
// is found, and which of its windows count.
#include <windows.h>

namespace vexa::exec {

namespace WindowOp {
inline constexpr UINT kActivate = 1024;        // bring to the foreground; done = it worked
inline constexpr UINT kTestForeground = 1025;  // done = the window is the foreground window
inline constexpr UINT kMinimiseToggle = 1026;
inline constexpr UINT kMaximiseToggle = 1028;
inline constexpr UINT kRestore = 1029;
inline constexpr UINT kCycle = 1030;
// Any other code is a message sent with the record's wParam and lParam.
}  // namespace WindowOp

class IActionHost;

struct WindowOperation {
  UINT code = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  bool done = false;
  bool module = false;  // the application is a DLL loaded by some process
  // Activation through this run's main window, with the switch-back; null:
  // a plain activation.
  IActionHost* temporaryHost = nullptr;
};

// WM_SYSCOMMAND / SC_CLOSE as a close from the system menu sends it.
WindowOperation closeOperation();

// Activation and the foreground test go on to the next window until one
// succeeds; the others take the first window only.
bool appliesToFirstWindowOnly(UINT code);

// Applies the operation to one window; show operations never wait for the
// window's thread, so a hung application cannot block the run.
void applyWindowOperation(HWND window, WindowOperation& op);

// The window that stands for `window` in the tool-help path (its top-level
// owner unless the application is a module), or null when it does not count:
// gone, a system helper window, or, for an executable, a window created by
// one of its DLLs. `exeBase` is the process's executable image base.
HWND filterWindow(HWND window, bool module, const void* exeBase);

// True when `window` is the foreground window or one of its ancestors.
bool isForegroundOrAncestor(HWND window);

}  // namespace vexa::exec
