#pragma once
// The plug-in's one process-wide object: the port, the line's idle level, the
// sample ring between the timing thread and the host's monitor thread.
#include <windows.h>

#include <atomic>
#include <memory>

#include "plugins/carrio/sample_queue.h"
#include "plugins/carrio/win/edge_source.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/serial_port.h"
#include "vexa/winlib/sync.h"

namespace vexa::carrio {

class CCarrioDevice {
 public:
  static CCarrioDevice& Instance();

  int Init(abi::DeviceRecord* device, const char* portName);
  void Release();
  int Monitor(HWND target);

 private:
  // The data-ready event "CFIFO_DATA_READY_EVENT".
  class CReadyEvent : public IReadySignal {
   public:
    CReadyEvent();
    void set() override { m_event.Set(); }
    void reset() override { m_event.Reset(); }
    HANDLE Get() const { return m_event.Get(); }

   private:
    win::CEvent m_event;
  };

  CCarrioDevice();
  bool SetUpPort();
  int RunSession(HWND target);
  static DWORD WINAPI TimingThreadProc(void* self);
  void RunTiming();
  void Deliver(HWND target);

  win::CSerialPort m_port;
  win::CEvent m_portEvent;  // "CARRIOComEv"
  bool m_idleLevel = false;
  CReadyEvent m_ready;
  CSampleQueue m_queue;
  std::unique_ptr<IEdgeSource> m_source;
  win::CEvent m_terminate;  // the host's, while monitoring
  win::CEvent m_stop;       // ends the timing thread with the delivery loop
  std::atomic<bool> m_monitoring{false};
};

}  // namespace vexa::carrio
