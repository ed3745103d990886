#include "pump.h"

#include <windows.h>

#include "vexa/winlib/message_loop.h"

namespace vexa::test {

bool pumpUntil(const std::function<bool()>& done, unsigned timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    win::PumpPendingMessages();
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

void pumpFor(unsigned ms) { pumpUntil([] { return false; }, ms); }

void pumpPending() { win::PumpPendingMessages(); }

}  // namespace vexa::test
