#include "vexa/winlib/message_loop.h"

#include <windows.h>

namespace vexa::win {

int RunMessageLoop() {
  MSG msg;
  BOOL rc;
  while ((rc = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (rc == -1) return -1;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

bool PumpPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

}  // namespace vexa::win
