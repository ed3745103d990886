#include "vexa/shell/win/program_modules.h"

#include "vexa/shell/res/resource.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/shell/win/winamp_plugin.h"

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
  m_winAmpPlugin = winAmpPluginPath();
  if (m_winAmpPlugin) AddWinAmpMenuItem();
  m_window.SetExtraCommands([this](UINT id) {
    if (id != ID_PREFS_WINAMP || !m_winAmpPlugin) return false;
    configureWinAmpPlugin(*m_winAmpPlugin, [this](const std::wstring& text) { ShowBox(text); });
    return true;
  });
}

void CProgramModules::AddWinAmpMenuItem() {
  const HMENU bar = GetMenu(m_window.Handle());
  for (int i = 0, n = bar ? GetMenuItemCount(bar) : 0; i < n; ++i) {
    wchar_t title[64] = L"";
    GetMenuStringW(bar, static_cast<UINT>(i), title, 64, MF_BYPOSITION);
    if (lstrcmpW(title, L"&Preferences") != 0) continue;
    AppendMenuW(GetSubMenu(bar, i), MF_STRING, ID_PREFS_WINAMP, kWinAmpMenuItem);
    return;
  }
}

CProgramModules::~CProgramModules() {
  m_window.SetKeyboardHookHandler(nullptr);
  m_window.SetKeyboardHookHandle(nullptr);
  m_window.SetExtraCommands(nullptr);
  if (CCommandDispatch* dispatch = m_window.Dispatch()) dispatch->SetServerForwarder(nullptr);
  StopServer();
  m_hook.Unload();
}

void CProgramModules::ShowBox(const std::wstring& text) const {
  m_window.Prompt().Ask(m_window.Handle(), text, kMainWindowTitle, MB_OK | MB_ICONERROR);
}

void CProgramModules::Start() {
  if (m_hook.Load()) m_hook.InstallKeyboardHook();
  StartServer();
}

void CProgramModules::StartServer() { m_server.Start(m_window.Handle(), m_window.Settings()); }

void CProgramModules::StopServer() { m_server.Stop(); }

}  // namespace vexa::shell
