#include "vexa/device/win/first_generation_adapter.h"

#include "vexa/device/plugin_list.h"
#include "vexa/winlib/message_loop.h"
#include "vexa/winlib/unicode.h"

namespace vexa::device {

namespace {
constexpr DWORD kStopPauseMs = 500;

std::string ansiPath(const std::filesystem::path& p) { return win::wideToAnsi(p.wstring()); }
}  // namespace

CFirstGenerationAdapter::CFirstGenerationAdapter(win::CModule module, const abi::DeviceRecord& record)
    : IPluginAdapter(std::move(module), record), m_exports(resolveFirstGenerationExports(m_module)) {}

bool CFirstGenerationAdapter::Start(IAdapterHost& host) {
  host.SendStatus(abi::MainCode::kInitialising);
  if (!m_exports.startMsgLoop) {
    host.SendStatus(abi::MainCode::kDeviceNotInitialised, kMsgNoPlugInLoaded);
    return false;
  }
  if (m_exports.startMsgLoop(host.NotifyWindow()) == 0) {
    host.SendStatus(abi::MainCode::kDeviceNotInitialised, kMsgNotProperlyInitialised);
    return false;
  }
  host.SendStatus(abi::MainCode::kDeviceReady);
  host.SetInitialized(true);
  host.SetRunning(true);
  m_active = true;
  return true;
}

void CFirstGenerationAdapter::Stop(IAdapterHost& host) {
  if (m_active) {
    host.SendStatus(abi::MainCode::kTemporaryStatus, kMsgTerminatingSession);
    if (m_exports.endMsgLoop) m_exports.endMsgLoop();
    // The plug-in's own thread may still send to us: keep dispatching.
    win::WaitDispatchingMessages(nullptr, kStopPauseMs);
    host.SendStatus(abi::MainCode::kDeviceNotInitialised, kMsgDeviceDeactivated);
    m_active = false;
  }
  host.SetRunning(false);
}

void CFirstGenerationAdapter::Release() {
  if (m_exports.release) m_exports.release();
}

bool CFirstGenerationAdapter::ReadSettings(const std::filesystem::path& file, HKEY key) {
  if (!file.empty()) return m_exports.loadPreset && m_exports.loadPreset(ansiPath(file).c_str()) != 0;
  if (m_exports.readConfig) m_exports.readConfig(key);
  return true;
}

bool CFirstGenerationAdapter::WriteSettings(const std::filesystem::path& file, HKEY key) {
  if (!file.empty()) return m_exports.savePreset && m_exports.savePreset(ansiPath(file).c_str()) != 0;
  if (m_exports.writeConfig) m_exports.writeConfig(key);
  return true;
}

HWND CFirstGenerationAdapter::CreateOwnPage(HWND parent, POINT position) {
  if (!m_exports.createCfgDlg) return nullptr;
  abi::Point at{position.x, position.y};
  const HWND page = static_cast<HWND>(m_exports.createCfgDlg(&at, parent));
  if (page) SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  return page;
}

bool CFirstGenerationAdapter::About() {
  if (!m_exports.about) return false;
  m_exports.about();
  return true;
}

}  // namespace vexa::device
