#include "vexa/exec/win/actions/system_actions.h"

#include "vexa/winlib/module.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/unicode.h"

namespace vexa::exec {

namespace {

constexpr const wchar_t* kTvOutKey = L"Software\\NVIDIA Corporation\\RIVA TNT\\Display\\Device0";

template <class F>
F entryPoint(HMODULE module, std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (FARPROC p = GetProcAddress(module, name)) return reinterpret_cast<F>(reinterpret_cast<void*>(p));
  return nullptr;
}

}  // namespace

bool CWindowsSystemActions::exitWindows(uint32_t type) { return ExitWindowsEx(type, 0) != FALSE; }

SuspendResult CWindowsSystemActions::suspend(bool hibernate) {
  SuspendResult r;
  r.ok = SetSystemPowerState(hibernate ? FALSE : TRUE, FALSE) != FALSE;
  if (!r.ok) r.error = GetLastError();
  return r;
}

bool CWindowsSystemActions::displayOff(bool& available) {
  using Broadcast = long(WINAPI*)(DWORD, LPDWORD, UINT, WPARAM, LPARAM);
  const HMODULE user = GetModuleHandleW(L"user32.dll");
  const auto broadcast =
      entryPoint<Broadcast>(user, {"BroadcastSystemMessage", "BroadcastSystemMessageA", "BroadcastSystemMessageW"});
  available = broadcast != nullptr;
  if (!broadcast) return false;
  DWORD recipients = BSM_ALLCOMPONENTS;
  return broadcast(BSF_FORCEIFHUNG | BSF_NOTIMEOUTIFNOTHUNG, &recipients, WM_SYSCOMMAND, SC_MONITORPOWER, 2) > 0;
}

std::vector<DisplayMode> CWindowsSystemActions::displayModes() {
  std::vector<DisplayMode> modes;
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  for (DWORD i = 0; EnumDisplaySettingsW(nullptr, i, &mode); ++i)
    modes.push_back({mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel,
                     mode.dmDisplayFrequency > 1 ? mode.dmDisplayFrequency : 0});
  return modes;
}

bool CWindowsSystemActions::applyDisplayMode(const DisplayMode& wanted) {
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  for (DWORD i = 0; EnumDisplaySettingsW(nullptr, i, &mode); ++i) {
    const DisplayMode offered{mode.dmPelsWidth, mode.dmPelsHeight, mode.dmBitsPerPel,
                              mode.dmDisplayFrequency > 1 ? mode.dmDisplayFrequency : 0};
    if (offered == wanted) return ChangeDisplaySettingsW(&mode, CDS_UPDATEREGISTRY) == DISP_CHANGE_SUCCESSFUL;
  }
  return false;
}

bool CWindowsSystemActions::writeTvOut(uint32_t setting) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTvOutKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
  const bool ok = RegSetValueExW(key, L"Display Type", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&setting),
                                 sizeof setting) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

}  // namespace vexa::exec
