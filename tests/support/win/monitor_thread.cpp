#include "support/win/monitor_thread.h"

namespace vexa::test {

CPluginMonitorThread::CPluginMonitorThread(abi::MonitorDeviceFn monitor, abi::DeviceRecord& device, CCodeWindow& window)
    : m_monitor(monitor), m_device(device), m_window(window) {
  m_terminate.Create(L"VEXA_DEVMONITOR_TERMINATE", true, false);
  m_terminate.Reset();
  m_thread.Attach(CreateThread(nullptr, 0, &CPluginMonitorThread::ThreadMain, this, 0, nullptr));
}

DWORD WINAPI CPluginMonitorThread::ThreadMain(void* self) {
  auto* me = static_cast<CPluginMonitorThread*>(self);
  me->m_result = me->m_monitor(&me->m_device, me->m_window.Handle());
  return 0;
}

bool CPluginMonitorThread::Stop(DWORD timeoutMs) {
  if (!m_thread) return true;
  m_terminate.Set();
  const bool ended = m_window.PumpUntil([this] { return Finished(); }, timeoutMs);
  if (!ended) TerminateThread(m_thread.Get(), 0xFFFFFFFF);
  m_thread.Close();
  return ended;
}

}  // namespace vexa::test
