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

bool WaitDispatchingMessages(void* handle, unsigned long milliseconds) {
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
    const DWORD count = handle ? 1 : 0;
    HANDLE handles[1] = {static_cast<HANDLE>(handle)};
    const DWORD rc = MsgWaitForMultipleObjects(count, handles, FALSE, left, QS_ALLINPUT);
    if (handle && rc == WAIT_OBJECT_0) return true;
    if (rc == WAIT_OBJECT_0 + count) {
      if (!PumpPendingMessages()) return false;
      continue;
    }
    if (rc == WAIT_TIMEOUT || rc == WAIT_FAILED) {
      // A last look: the object may have become signalled while messages were handled.
      return handle && WaitForSingleObject(static_cast<HANDLE>(handle), 0) == WAIT_OBJECT_0;
    }
  }
}

}  // namespace vexa::win
