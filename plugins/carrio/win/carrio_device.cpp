#include "plugins/carrio/win/carrio_device.h"

#include "plugins/carrio/edge_timer.h"
#include "plugins/kit/win/delivery.h"
#include "plugins/kit/win/host_windows.h"
#include "vexa/winlib/handle.h"

namespace vexa::carrio {

namespace {
constexpr DWORD kReadInterval = 50, kPerByte = 50, kConstant = 50;
constexpr DWORD kPowerUpMs = 200;
constexpr const wchar_t* kComEventName = L"CARRIOComEv";
constexpr const wchar_t* kReadyEventName = L"CFIFO_DATA_READY_EVENT";
constexpr const wchar_t* kTerminateEventName = L"VEXA_DEVMONITOR_TERMINATE";

// The process's priority class, raised for the timing thread's life and put
// back on every path.
class CRealTimeClass {
 public:
  CRealTimeClass() : m_previous(GetPriorityClass(GetCurrentProcess())) {
    SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
  }
  ~CRealTimeClass() { SetPriorityClass(GetCurrentProcess(), m_previous ? m_previous : NORMAL_PRIORITY_CLASS); }
  CRealTimeClass(const CRealTimeClass&) = delete;
  CRealTimeClass& operator=(const CRealTimeClass&) = delete;

 private:
  DWORD m_previous;
};

}  // namespace

CCarrioDevice::CReadyEvent::CReadyEvent() { m_event.Create(kReadyEventName, true, false); }

CCarrioDevice::CCarrioDevice() : m_queue(m_ready) { m_stop.CreateAnonymous(true, false); }

CCarrioDevice& CCarrioDevice::Instance() {
  static CCarrioDevice device;
  return device;
}

int CCarrioDevice::Init(abi::DeviceRecord* device, const char* portName) {
  if (device) {
    device->timingMode = 1;
    device->tolerance = 25;
    device->codeLength = 4;
    device->learnSamples = 5;
  }
  m_port.Close();
  m_portEvent.Close();
  if (!m_portEvent.Create(kComEventName, true, false)) {
    MessageBoxA(nullptr, "Could not create Event", "carrio.dll", MB_OK | MB_ICONERROR);
    return abi::kInitNoResponse;
  }
  if (!m_port.Open(portName)) return abi::kInitInUse;
  if (!SetUpPort()) {
    m_port.Close();
    return abi::kInitNoResponse;
  }
  return abi::kInitReady;
}

bool CCarrioDevice::SetUpPort() {
  if (!m_port.SetTimeouts(kReadInterval, kPerByte, kConstant, kPerByte, kConstant)) return false;
  DCB dcb;
  if (!m_port.GetState(dcb)) return false;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;  // the receiver's supply
  if (!m_port.SetState(dcb)) return false;
  Sleep(kPowerUpMs);
  m_source = makeEdgeSource(m_port, m_portEvent.Get());
  const auto level = m_source->Level();
  if (!level) return false;
  m_idleLevel = *level;
  return true;
}

void CCarrioDevice::Release() {
  m_source.reset();
  m_portEvent.Close();
  if (!m_port.IsOpen()) return;
  DCB dcb;
  if (m_port.GetState(dcb)) {
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    m_port.SetState(dcb);
  }
  m_port.Close();
}

int CCarrioDevice::Monitor(HWND target) {
  // One session at a time, so that one timing thread at most ever watches the port.
  if (m_monitoring.exchange(true)) return -1;
  const int result = RunSession(target ? target : kit::findMainWindow());
  m_monitoring = false;
  return result;
}

int CCarrioDevice::RunSession(HWND target) {
  if (!m_port.IsOpen() || !m_source || !m_stop.IsValid()) return -1;
  if (!m_terminate.Create(kTerminateEventName, true, false)) return -1;
  m_stop.Reset();
  win::CHandle timing(CreateThread(nullptr, 0, &CCarrioDevice::TimingThreadProc, this, 0, nullptr));
  if (!timing.IsValid()) {
    m_terminate.Close();
    return -1;
  }
  Deliver(target);
  // Whatever ended the delivery ends the timing thread too; it is joined before
  // the port is touched again, so none outlives the session or the port, and
  // its priority class is put back by its own end.
  m_stop.Set();
  WaitForSingleObject(timing.Get(), INFINITE);
  m_port.SetMask(0);
  m_port.PurgeAll();
  m_terminate.Close();
  return 0;
}

void CCarrioDevice::Deliver(HWND target) {
  HANDLE handles[] = {m_terminate.Get(), m_ready.Get()};
  for (;;) {
    const auto sample = m_queue.pop();
    if (!sample) {
      if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
      continue;
    }
    if (!kit::deliverTimingSample(target, *sample)) m_queue.clear();  // not wanted now
  }
}

DWORD WINAPI CCarrioDevice::TimingThreadProc(void* self) {
  static_cast<CCarrioDevice*>(self)->RunTiming();
  return 0;
}

void CCarrioDevice::RunTiming() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  CRealTimeClass realTime;
  Edge previous = m_source->Now();
  CEdgeTimer timer(m_idleLevel, m_source->Frequency(), previous);
  const HANDLE stops[] = {m_terminate.Get(), m_stop.Get()};
  while (const auto edge = m_source->Next(stops)) {
    if (edge->level == previous.level) continue;
    previous = *edge;
    const EdgeResult result = timer.onEdge(*edge);
    if (result.emptyQueue) m_queue.clear();
    if (result.sample) m_queue.push(*result.sample);
  }
  m_idleLevel = timer.idleLevel();
}

}  // namespace vexa::carrio
