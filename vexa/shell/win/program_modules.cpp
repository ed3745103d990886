#include "vexa/shell/win/program_modules.h"

#include "vexa/shell/win/main_window.h"

namespace vexa::shell {

CProgramModules::CProgramModules(CMainWindow& window, ModuleLibraries libraries)
    : m_window(window),
      m_hook(std::move(libraries.hook)),
      m_server({[this](const std::wstring& text) { ShowBox(text); },
                [this](const std::wstring& text) { m_window.ShowStatusText(text); }},
               std::move(libraries.server)) {
  m_window.SetKeyboardHookHandler([this](bool install) {
    if (install)
      m_hook.InstallKeyboardHook();
    else
      m_hook.RemoveKeyboardHook();
  });
  m_window.SetKeyboardHookHandle([this] { return m_hook.KeyboardHook(); });
  if (CCommandDispatch* dispatch = m_window.Dispatch())
    dispatch->SetServerForwarder([this](const ServerRecord& record) { m_server.Forward(record); });
}

CProgramModules::~CProgramModules() {
  m_window.SetKeyboardHookHandler(nullptr);
  m_window.SetKeyboardHookHandle(nullptr);
  if (CCommandDispatch* dispatch = m_window.Dispatch()) dispatch->SetServerForwarder(nullptr);
  StopServer();
  m_hook.Unload();
}

void CProgramModules::ShowBox(const std::wstring& text) const {
  if (m_box)
    m_box(text);
  else
    MessageBoxW(m_window.Handle(), text.c_str(), kMainWindowTitle, MB_OK | MB_ICONERROR);
}

void CProgramModules::Start() {
  if (m_hook.Load()) m_hook.InstallKeyboardHook();
  StartServer();
}

void CProgramModules::StartServer() { m_server.Start(m_window.Handle(), m_window.Settings()); }

void CProgramModules::StopServer() { m_server.Stop(); }

}  // namespace vexa::shell
