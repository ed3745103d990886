#include "vexa/shell/win/hook_module.h"

namespace vexa::shell {

namespace {

using InstallHookFn = uintptr_t(WINAPI*)();
using UnHookFn = void(WINAPI*)();

}  // namespace

bool CHookModule::Load() { return m_module.IsValid() || m_module.Load(m_library); }

void CHookModule::Unload() {
  RemoveKeyboardHook();
  m_module.Close();
}

bool CHookModule::InstallKeyboardHook() {
  if (m_keyboardHook) return true;
  if (const auto install = m_module.GetProc<InstallHookFn>("InstallHook")) m_keyboardHook = install();
  return m_keyboardHook != 0;
}

void CHookModule::RemoveKeyboardHook() {
  if (!m_keyboardHook) return;
  if (const auto unhook = m_module.GetProc<UnHookFn>("UnHook")) unhook();
  m_keyboardHook = 0;
}

}  // namespace vexa::shell
