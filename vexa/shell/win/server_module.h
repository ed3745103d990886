#pragma once
// The server module (vexanet.dll): loaded and started at start-up and after a
// session unlock, stopped and freed at shut-down and on a lock; each executed
// command is forwarded to it.
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

#include "vexa/base/program_settings.h"
#include "vexa/exec/exec_messages.h"
#include "vexa/winlib/module.h"

namespace vexa::shell {

inline constexpr const wchar_t* kNoServerLibrary = L"Could not load server library";
inline constexpr const wchar_t* kNoServerEntryPoint = L"Unable to start server!\nNo entry point to server library.";
inline constexpr const wchar_t* kServerStarted = L"Server started";
inline constexpr const wchar_t* kServerNotStarted = L"Could not start server";

class CServerModule {
 public:
  struct Reports {
    std::function<void(const std::wstring&)> box;     // an error box titled "Vexa"
    std::function<void(const std::wstring&)> status;  // a temporary status text
  };
  explicit CServerModule(Reports reports, std::filesystem::path library = L"vexanet.dll");
  ~CServerModule() { Stop(); }
  CServerModule(const CServerModule&) = delete;
  CServerModule& operator=(const CServerModule&) = delete;

  // Loads the module if needed and starts the server; true when it runs.
  bool Start(HWND mainWindow, const ProgramSettings& settings);
  // Stops the server and frees the module.
  void Stop();
  bool Running() const { return m_running; }
  bool Loaded() const { return m_module.IsValid(); }
  // An executed command (text in UTF-8); false when it was not sent.
  bool Forward(const ServerRecord& record);

 private:
  bool Load();
  void Report(const std::function<void(const std::wstring&)>& sink, const std::wstring& text) const;

  Reports m_reports;
  std::filesystem::path m_library;
  win::CModule m_module;
  bool m_running = false;
};

}  // namespace vexa::shell
