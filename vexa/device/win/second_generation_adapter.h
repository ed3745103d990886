#pragma once
// A second-generation plug-in: OnInit before a session, MonitorDevice on a thread
// of the host's, codes matched by the host against its code store, and a settings
// file shared with the host.
#include <atomic>

#include "vexa/device/win/plugin_adapter.h"
#include "vexa/device/win/plugin_exports.h"
#include "vexa/winlib/handle.h"

namespace vexa::device {

class CSecondGenerationAdapter final : public IPluginAdapter {
 public:
  // The events are the host's "VEXA_DEVMONITOR_TERMINATE" and "VEXA_DEVMONITOR_EXIT".
  CSecondGenerationAdapter(win::CModule module, const abi::DeviceRecord& record, HANDLE terminateEvent,
                           HANDLE exitEvent);
  ~CSecondGenerationAdapter() override;

  void ChangeDevice() override;

  bool InitialisesSessions() const override { return true; }
  int Initialize(const std::string& selector1, const std::string& selector2) override;
  bool Start(IAdapterHost& host) override;
  // The monitor gets the terminate event and at most 3000 ms (messages are
  // dispatched meanwhile), then it is terminated with exit code 0xFFFFFFFF.
  void Stop(IAdapterHost& host) override;
  bool SessionActive() const override { return m_thread.IsValid(); }
  bool HasMonitorThread() const override { return m_thread.IsValid(); }
  std::optional<DWORD> LastExitCode() const override { return m_lastExitCode; }
  void Release() override;

  bool KeepsHostSettings() const override { return true; }
  bool ReadSettings(const std::filesystem::path& file, HKEY key) override;
  bool WriteSettings(const std::filesystem::path& file, HKEY key) override;

  bool DrawsOwnPage() const override { return false; }
  HWND CreateOwnPage(HWND, POINT) override { return nullptr; }
  bool FillSelector(HWND list, int which, std::string& caption) override;
  std::optional<int> Setup(HWND mainWindow) override;
  bool About() override;

 private:
  static DWORD WINAPI MonitorThreadProc(void* self);
  DWORD RunMonitor();

  SecondGenerationExports m_exports;
  HANDLE m_terminateEvent;
  HANDLE m_exitEvent;
  win::CHandle m_thread;
  IAdapterHost* m_host = nullptr;  // during a session
  HWND m_target = nullptr;
  std::optional<DWORD> m_lastExitCode;
};

}  // namespace vexa::device
