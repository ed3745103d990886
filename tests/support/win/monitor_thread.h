#pragma once
// Runs a plug-in's MonitorDevice like the host's monitor thread and stops it
// with the host's terminate event.
#include <windows.h>

#include "support/win/code_window.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/handle.h"
#include "vexa/winlib/sync.h"

namespace vexa::test {

class CPluginMonitorThread {
 public:
  CPluginMonitorThread(abi::MonitorDeviceFn monitor, abi::DeviceRecord& device, CCodeWindow& window);
  ~CPluginMonitorThread() { Stop(); }
  // Sets the terminate event and waits (pumping the window) for the thread.
  bool Stop(DWORD timeoutMs = 3000);
  bool Finished() const { return WaitForSingleObject(m_thread.Get(), 0) == WAIT_OBJECT_0; }
  int Result() const { return m_result; }

 private:
  static DWORD WINAPI ThreadMain(void* self);
  abi::MonitorDeviceFn m_monitor;
  abi::DeviceRecord& m_device;
  CCodeWindow& m_window;
  win::CEvent m_terminate;
  win::CHandle m_thread;
  int m_result = 0x7fffffff;
};

}  // namespace vexa::test
