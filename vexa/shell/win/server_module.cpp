#include "vexa/shell/win/server_module.h"

#include <optional>
#include <string_view>

#include "vexa/shell/server_rules.h"
#include "vexa/winlib/handle.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {

namespace {

using SetOptionsFn = void(WINAPI*)(uint32_t);
using StartServerFn = int(WINAPI*)(const char*, int, HWND);
using SendCommandFn = int(WINAPI*)(const char*, const char*, uint32_t);
using StopServerFn = void(WINAPI*)();

// The record's texts are terminated within their fields, or cut at the end of one.
template <size_t N>
std::string_view fieldText(const char (&field)[N]) {
  return std::string_view(field, strnlen(field, N));
}

void pulseServerReady() {
  const win::CHandle ready(CreateEventW(nullptr, TRUE, FALSE, win::toWide(kServerReadyEvent).c_str()));
  if (ready.IsValid()) PulseEvent(ready.Get());
}

}  // namespace

CServerModule::CServerModule(Reports reports, std::filesystem::path library)
    : m_reports(std::move(reports)), m_library(std::move(library)) {}

void CServerModule::Report(const std::function<void(const std::wstring&)>& sink, const std::wstring& text) const {
  if (sink) sink(text);
}

bool CServerModule::Load() {
  if (m_module.IsValid()) return true;
  if (m_module.Load(m_library)) return true;
  // A program installed without the server is an ordinary setup, not an error to
  // interrupt start-up with; a module that is there but broken is.
  const DWORD error = GetLastError();
  const bool absent = error == ERROR_MOD_NOT_FOUND || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  Report(absent ? m_reports.status : m_reports.box, kNoServerLibrary);
  return false;
}

bool CServerModule::Start(HWND mainWindow, const ProgramSettings& settings) {
  if (m_running) return true;
  if (!Load()) return false;
  const auto start = m_module.GetProc<StartServerFn>("StartServer");
  if (!start) {
    Report(m_reports.box, kNoServerEntryPoint);
    return false;
  }
  if (const auto setOptions = m_module.GetProc<SetOptionsFn>("SetOptions"))
    setOptions(serverOptionBits(settings.options));
  const std::optional<std::string> address = serverBindAddress(settings.options);
  m_running = start(address ? address->c_str() : nullptr, static_cast<int>(settings.serverPort), mainWindow) != 0;
  Report(m_reports.status, m_running ? kServerStarted : kServerNotStarted);
  if (m_running) pulseServerReady();
  return m_running;
}

void CServerModule::Stop() {
  if (!m_module.IsValid()) return;
  if (const auto stop = m_module.GetProc<StopServerFn>("StopServer")) stop();
  m_module.Close();
  m_running = false;
}

bool CServerModule::Forward(const ServerRecord& record) {
  const std::string_view remote = fieldText(record.remote);
  if (!m_running || !forwardsToServer(remote)) return false;
  const auto send = m_module.GetProc<SendCommandFn>("SendCommand");
  if (!send) return false;
  // Outside modules take the system's code page.
  const win::CSystemCodePage codePage;
  const std::string command = codePage.fromUtf8(fieldText(record.command));
  const std::string remoteText = codePage.fromUtf8(remote);
  if (send(command.c_str(), remoteText.c_str(), record.repeat) != -1) return true;
  const int error = static_cast<int>(GetLastError());
  Report(m_reports.status, win::toWide(serverErrorStatus(error)));
  return false;
}

}  // namespace vexa::shell
