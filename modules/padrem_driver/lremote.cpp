// The vendor driver as the plug-in uses it: open and close, one receiver,
// one attached window that gets a message per key going down (bit 15 set,
// the key code in bits 0 to 9) and up.
#include <windows.h>

#include <mutex>

namespace {

constexpr UINT_PTR kReceiverHandle = 0x5EC;
constexpr UINT_PTR kAttachmentHandle = 0xA77;
constexpr DWORD kKeyDown = 0x8000;
constexpr DWORD kKeyCodeMask = 0x3FF;

struct DriverState {
  std::mutex lock;
  int opens = 0;
  bool receiverPresent = true;
  HWND window = nullptr;
  UINT message = 0;
};

DriverState& state() {
  static DriverState driver;
  return driver;
}

}  // namespace

extern "C" {

int WINAPI DrvOpen() {
  std::lock_guard guard(state().lock);
  ++state().opens;
  return 0;
}

int WINAPI DrvClose() {
  std::lock_guard guard(state().lock);
  if (state().opens == 0) return -1;
  --state().opens;
  return 0;
}

int WINAPI DrvGetReceiver(HANDLE* receiver) {
  std::lock_guard guard(state().lock);
  if (!receiver || !state().opens || !state().receiverPresent) return 1;
  *receiver = reinterpret_cast<HANDLE>(kReceiverHandle);
  return 0;
}

int WINAPI DrvAttachWindow(HANDLE receiver, HWND window, UINT message, DWORD, DWORD, HANDLE* attachment) {
  std::lock_guard guard(state().lock);
  if (receiver != reinterpret_cast<HANDLE>(kReceiverHandle) || !IsWindow(window) || !attachment) return 1;
  state().window = window;
  state().message = message;
  *attachment = reinterpret_cast<HANDLE>(kAttachmentHandle);
  return 0;
}

int WINAPI DrvDetachWindow(HANDLE attachment) {
  std::lock_guard guard(state().lock);
  if (attachment != reinterpret_cast<HANDLE>(kAttachmentHandle)) return 1;
  state().window = nullptr;
  return 0;
}

int WINAPI DrvReserved103() { return 0; }
int WINAPI DrvReserved104() { return 0; }
int WINAPI DrvReserved105() { return 0; }
int WINAPI DrvReserved106() { return 0; }
int WINAPI DrvReserved107() { return 0; }
int WINAPI DrvReserved110() { return 0; }
int WINAPI DrvReserved111() { return 0; }
int WINAPI DrvReserved112() { return 0; }
int WINAPI DrvReserved113() { return 0; }

// Test controls: a key event to the attached window (false when none is attached).
BOOL WINAPI SimulateKey(DWORD code, BOOL down) {
  std::lock_guard guard(state().lock);
  if (!state().window) return FALSE;
  const WPARAM wp = (code & kKeyCodeMask) | (down ? kKeyDown : 0);
  return PostMessageW(state().window, state().message, wp, 0);
}

void WINAPI SetReceiverPresent(BOOL present) {
  std::lock_guard guard(state().lock);
  state().receiverPresent = present != FALSE;
}

}  // extern "C"
