#pragma once
// The outside modules the running program holds, wired into its main window:
// the hook module (hot keys; 0x469/0x46A; code 97) and the server module
// (started at start-up, fed by 0x468, stopped at shut-down), and the media
// player's plug-in in "&Preferences" when its App Paths entry exists. The
// session watch stops and restarts the server through StopServer and StartServer.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "vexa/shell/win/hook_module.h"
#include "vexa/shell/win/server_module.h"

namespace vexa::shell {

class CMainWindow;

// Which files the modules are loaded from (by name: the program's folder first).
struct ModuleLibraries {
  std::filesystem::path hook = kHookLibrary;
  std::filesystem::path server = L"vexanet.dll";
};

class CProgramModules {
 public:
  // The window must outlive this object.
  explicit CProgramModules(CMainWindow& window, ModuleLibraries libraries = ModuleLibraries());
  ~CProgramModules();
  CProgramModules(const CProgramModules&) = delete;
  CProgramModules& operator=(const CProgramModules&) = delete;

  // Start-up: the hook module and its keyboard hook, then the server with the
  // window's settings. Nothing here stops start-up.
  void Start();
  void StartServer();
  void StopServer();

  CHookModule& Hook() { return m_hook; }
  CServerModule& Server() { return m_server; }
  // The media player's plug-in as its App Paths entry named it at start; nothing without one.
  const std::optional<std::wstring>& WinAmpPlugin() const { return m_winAmpPlugin; }

 private:
  void ShowBox(const std::wstring& text) const;
  void AddWinAmpMenuItem();

  CMainWindow& m_window;
  CHookModule m_hook;
  CServerModule m_server;
  std::optional<std::wstring> m_winAmpPlugin;
};

}  // namespace vexa::shell
