#include "support/win/typed_keys.h"

namespace vexa::test {

bool typeKeys(std::initializer_list<TypedKey> keys) {
  // Wine 8's win32u export; cdecl, as Wine declares it.
  using SendInputFn = BOOL(__cdecl*)(HWND window, const INPUT* input, const void* rawInput);
  const HMODULE win32u = GetModuleHandleW(L"win32u.dll") ? GetModuleHandleW(L"win32u.dll") : LoadLibraryW(L"win32u.dll");
  const auto send = win32u ? reinterpret_cast<SendInputFn>(GetProcAddress(win32u, "__wine_send_input")) : nullptr;
  if (!send) return false;
  for (const TypedKey& key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key.virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key.virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = key.up ? KEYEVENTF_KEYUP : 0;
    input.ki.time = GetTickCount();
    if (!send(nullptr, &input, nullptr)) return false;
  }
  return true;
}

}  // namespace vexa::test
