#include "vexa/device/win/second_generation_adapter.h"

#include <cstring>

#include "vexa/device/plugin_list.h"
#include "vexa/winlib/message_loop.h"
#include "vexa/winlib/unicode.h"

namespace vexa::device {

namespace {

constexpr DWORD kForcedExitCode = 0xFFFFFFFF;
constexpr DWORD kMissingMonitorExitCode = 2;
// After the exit event the thread only sends its last status; this bounds that too.
constexpr DWORD kThreadEndTimeoutMs = 3000;
constexpr size_t kCaptionBuffer = 256;

std::string ansiPath(const std::filesystem::path& p) { return win::wideToAnsi(p.wstring()); }

}  // namespace

CSecondGenerationAdapter::CSecondGenerationAdapter(win::CModule module, const abi::DeviceRecord& record,
                                                   HANDLE terminateEvent, HANDLE exitEvent)
    : IPluginAdapter(std::move(module), record),
      m_exports(resolveSecondGenerationExports(m_module)),
      m_terminateEvent(terminateEvent),
      m_exitEvent(exitEvent) {}

CSecondGenerationAdapter::~CSecondGenerationAdapter() {
  // The library is freed after this: a monitor still inside it must not outlive it.
  if (m_thread.IsValid() && WaitForSingleObject(m_thread.Get(), 0) != WAIT_OBJECT_0) {
    SetEvent(m_terminateEvent);
    if (WaitForSingleObject(m_thread.Get(), abi::kMonitorStopTimeoutMs) != WAIT_OBJECT_0)
      TerminateThread(m_thread.Get(), kForcedExitCode);
  }
}

void CSecondGenerationAdapter::ChangeDevice() {
  if (m_exports.onChangeDevice) m_exports.onChangeDevice(m_record.deviceName);
}

int CSecondGenerationAdapter::Initialize(const std::string& selector1, const std::string& selector2) {
  if (!m_exports.onInit) return abi::kInitReady;
  return m_exports.onInit(&m_record, selector1.c_str(), selector2.c_str());
}

bool CSecondGenerationAdapter::Start(IAdapterHost& host) {
  // Reset here rather than on the new thread, so that a stop right after the start
  // cannot be undone by the thread's reset.
  ResetEvent(m_terminateEvent);
  ResetEvent(m_exitEvent);
  m_host = &host;
  m_target = host.MonitorTarget();
  DWORD id = 0;
  m_thread.Attach(CreateThread(nullptr, 0, &CSecondGenerationAdapter::MonitorThreadProc, this, 0, &id));
  return m_thread.IsValid();
}

DWORD WINAPI CSecondGenerationAdapter::MonitorThreadProc(void* self) {
  return static_cast<CSecondGenerationAdapter*>(self)->RunMonitor();
}

DWORD CSecondGenerationAdapter::RunMonitor() {
  IAdapterHost& host = *m_host;
  host.SendStatus(abi::MainCode::kDeviceReady);
  host.SetRunning(true);
  DWORD result = kMissingMonitorExitCode;
  if (m_exports.monitorDevice) result = static_cast<DWORD>(m_exports.monitorDevice(&m_record, m_target));
  host.CopyTiming();
  host.SetRunning(false);
  SetEvent(m_exitEvent);
  host.SendStatus(abi::MainCode::kDeviceNotInitialised, kMsgDeviceDeactivated);
  return result;
}

void CSecondGenerationAdapter::Stop(IAdapterHost& host) {
  if (!m_thread.IsValid()) return;
  SetEvent(m_terminateEvent);
  const bool exited = win::WaitDispatchingMessages(m_exitEvent, abi::kMonitorStopTimeoutMs);
  bool ended = WaitForSingleObject(m_thread.Get(), 0) == WAIT_OBJECT_0;
  if (exited && !ended) ended = win::WaitDispatchingMessages(m_thread.Get(), kThreadEndTimeoutMs);
  if (!ended) {
    TerminateThread(m_thread.Get(), kForcedExitCode);
    WaitForSingleObject(m_thread.Get(), kThreadEndTimeoutMs);
    host.SetRunning(false);
    // The thread could not say so itself.
    host.SendStatus(abi::MainCode::kDeviceNotInitialised, kMsgDeviceDeactivated);
  }
  DWORD code = 0;
  if (GetExitCodeThread(m_thread.Get(), &code)) m_lastExitCode = code;
  m_thread.Close();
}

void CSecondGenerationAdapter::Release() {
  if (m_exports.onRelease) m_exports.onRelease();
}

bool CSecondGenerationAdapter::ReadSettings(const std::filesystem::path& file, HKEY) {
  if (m_exports.onReadConfig) m_exports.onReadConfig(&m_record, ansiPath(file).c_str());
  return true;
}

bool CSecondGenerationAdapter::WriteSettings(const std::filesystem::path& file, HKEY) {
  if (!m_exports.onWriteConfig) return true;
  return (m_exports.onWriteConfig(&m_record, ansiPath(file).c_str()) & 1) != 0;
}

bool CSecondGenerationAdapter::FillSelector(HWND list, int which, std::string& caption) {
  if (!m_exports.onFillSelector) return false;
  char text[kCaptionBuffer] = {};
  m_exports.onFillSelector(&m_record, list, which, text);
  caption.assign(text, strnlen(text, sizeof text));
  return true;
}

std::optional<int> CSecondGenerationAdapter::Setup(HWND mainWindow) {
  if (!m_exports.onSetup) return std::nullopt;
  return m_exports.onSetup(&m_record, mainWindow);
}

bool CSecondGenerationAdapter::About() {
  if (!m_exports.onAbout) return false;
  m_exports.onAbout();
  return true;
}

}  // namespace vexa::device
