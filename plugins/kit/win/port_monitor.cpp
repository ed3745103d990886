#include "plugins/kit/win/port_monitor.h"

#include <string>

#include "vexa/device/plugin_abi.h"

namespace vexa::kit {

namespace {
std::wstring asciiToWide(const char* text) { return std::wstring(text, text + std::char_traits<char>::length(text)); }
}  // namespace

CPortMonitor::CPortMonitor(win::CSerialPort& port, const wchar_t* portEventName, ReadTimeouts timeouts)
    : m_port(port), m_portEventName(portEventName), m_timeouts(timeouts) {
  m_terminate.Create(asciiToWide(abi::kMonitorTerminateEvent), true, false);
  Arm();
}

void CPortMonitor::Arm() {
  m_portEvent.Close();
  m_portEvent.Create(m_portEventName, true, false);
  m_haveFirstByte = false;
  if (m_port.IsOpen()) m_port.SetMask(EV_RXCHAR);
}

void CPortMonitor::UseReadTimeouts() {
  m_port.SetTimeouts(m_timeouts.interval, m_timeouts.perByte, m_timeouts.constant, m_timeouts.perByte,
                     m_timeouts.constant);
}

CPortMonitor::Wake CPortMonitor::WaitOn(OVERLAPPED& ov, DWORD timeoutMs) {
  HANDLE handles[3] = {m_terminate.Get(), ov.hEvent, m_wake};
  const DWORD count = m_wake ? 3 : 2;
  const DWORD result = WaitForMultipleObjects(count, handles, FALSE, timeoutMs);
  if (result == WAIT_OBJECT_0 + 1) return Wake::kData;
  m_port.SetMask(0);  // ends a pending event wait
  m_port.CancelPending(ov);
  if (result == WAIT_OBJECT_0 + 2) return Wake::kWakeEvent;
  if (result == WAIT_TIMEOUT) return Wake::kTimeout;
  return Wake::kTerminate;
}

CPortMonitor::Wake CPortMonitor::WaitForData(DWORD timeoutMs) {
  m_haveFirstByte = false;
  return m_eventWaitWorks ? WaitForEvent(timeoutMs) : ReadFirstByte(timeoutMs);
}

CPortMonitor::Wake CPortMonitor::WaitForEvent(DWORD timeoutMs) {
  win::COverlapped io(m_portEvent.Get());
  io.Reset();
  DWORD mask = 0;
  if (!m_port.StartWaitEvent(mask, io.ov)) {
    m_eventWaitWorks = false;
    return Wake::kData;  // an empty burst; the next turn reads instead
  }
  const Wake wake = WaitOn(io.ov, timeoutMs);
  if (wake != Wake::kData) return wake;
  m_port.Result(io.ov, false);
  if (mask == 0) m_eventWaitWorks = false;
  return (mask & EV_RXCHAR) ? Wake::kData : WaitForData(timeoutMs);
}

CPortMonitor::Wake CPortMonitor::ReadFirstByte(DWORD timeoutMs) {
  win::COverlapped io(m_portEvent.Get());
  io.Reset();
  // Without time-outs the read waits for the first byte however long it takes.
  m_port.SetTimeouts(0, 0, 0, m_timeouts.perByte, m_timeouts.constant);
  const bool started = m_port.StartRead(&m_firstByte, 1, io.ov);
  const Wake wake = started ? WaitOn(io.ov, timeoutMs) : Wake::kTerminate;
  if (wake == Wake::kData) m_haveFirstByte = m_port.Result(io.ov, false) == 1;
  UseReadTimeouts();
  return wake;
}

CPortMonitor::Wake CPortMonitor::ReadBurst(uint8_t* buffer, DWORD count, DWORD& received) {
  received = 0;
  if (TerminateSet()) return Wake::kTerminate;
  if (m_haveFirstByte && count > 0) {
    buffer[received++] = m_firstByte;
    m_haveFirstByte = false;
  }
  if (count <= received) return Wake::kData;
  win::COverlapped io(m_portEvent.Get());
  io.Reset();
  if (!m_port.StartRead(buffer + received, count - received, io.ov)) return Wake::kData;
  HANDLE handles[] = {m_terminate.Get(), io.ov.hEvent};
  if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
    m_port.CancelPending(io.ov);
    return Wake::kTerminate;
  }
  received += m_port.Result(io.ov, false);
  return Wake::kData;
}

void CPortMonitor::Stop() {
  m_terminate.Close();
  if (m_port.IsOpen()) {
    m_port.SetMask(0);
    CancelIo(m_port.Get());
    m_port.PurgeAll();
  }
  m_portEvent.Close();
}

}  // namespace vexa::kit
