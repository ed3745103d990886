// The reception loop on the host's monitor thread.
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "plugins/serial/setting_ranges.h"
#include "plugins/serial/win/host_windows.h"
#include "plugins/serial/win/serial_device.h"
#include "vexa/winlib/sync.h"

namespace vexa::serial {

namespace {
constexpr DWORD kReadInterval = 50, kPerByte = 50, kConstant = 50;
constexpr const wchar_t* kRestartEventName = L"SerialMon_RestartSig";
constexpr const wchar_t* kComEventName = L"SerialComEv";

std::wstring asciiToWide(const char* text) { return std::wstring(text, text + strlen(text)); }
}  // namespace

// One run of MonitorDevice.
class CMonitorSession {
 public:
  CMonitorSession(CSerialDevice& device, abi::DeviceRecord* record, HWND target)
      : m_device(device), m_port(device.m_port), m_record(record), m_target(target) {}

  int Run();

 private:
  enum class Wake { kTerminate, kRestart, kData };

  Wake WaitForData(uint8_t& firstByte, bool& haveFirstByte);
  Wake WaitOn(HANDLE ioEvent, OVERLAPPED& ov);
  bool BurstLoop(uint8_t firstByte, bool haveFirstByte);  // false: terminate
  bool Reinitialise();
  void CleanUp();
  DWORD WaitTimeout() const;
  void UseReadTimeouts() { m_port.SetTimeouts(kReadInterval, kPerByte, kConstant, kPerByte, kConstant); }

  CSerialDevice& m_device;
  CSerialPort& m_port;
  abi::DeviceRecord* m_record;
  HWND m_target;
  win::CEvent m_terminate;
  win::CEvent m_restart;
  win::CEvent m_comEvent;
  // Some ports (Wine's on a pseudo-terminal) end every event wait at once with
  // no event; those are watched with a read of the first byte instead.
  bool m_eventWaitWorks = true;
};

int CMonitorSession::Run() {
  if (!m_port.IsOpen()) return -1;
  m_terminate.Create(asciiToWide(abi::kMonitorTerminateEvent), true, false);
  m_restart.Create(kRestartEventName, true, false);
  for (;;) {
    m_comEvent.Create(kComEventName, true, false);
    m_port.SetMask(EV_RXCHAR);
    for (;;) {
      uint8_t first = 0;
      bool haveFirst = false;
      const Wake wake = WaitForData(first, haveFirst);
      if (wake == Wake::kTerminate) return CleanUp(), 0;
      if (wake == Wake::kRestart) break;
      if (!BurstLoop(first, haveFirst)) return CleanUp(), 0;
    }
    if (!Reinitialise()) return CleanUp(), 0;
  }
}

DWORD CMonitorSession::WaitTimeout() const {
  if (m_device.m_reinitPeriodMs == 0) return INFINITE;
  const ULONGLONG now = GetTickCount64();
  return m_device.m_reinitDue > now ? static_cast<DWORD>(m_device.m_reinitDue - now) : 0;
}

CMonitorSession::Wake CMonitorSession::WaitOn(HANDLE ioEvent, OVERLAPPED& ov) {
  HANDLE handles[] = {m_terminate.Get(), m_restart.Get(), ioEvent};
  const DWORD result = WaitForMultipleObjects(3, handles, FALSE, WaitTimeout());
  if (result == WAIT_OBJECT_0 + 2) return Wake::kData;
  m_port.SetMask(0);  // ends a pending event wait
  m_port.CancelPending(ov);
  // The period's end restarts like the restart event: this works on every
  // period, whichever thread armed it.
  if (result == WAIT_OBJECT_0 + 1 || result == WAIT_TIMEOUT) return Wake::kRestart;
  return Wake::kTerminate;
}

CMonitorSession::Wake CMonitorSession::WaitForData(uint8_t& firstByte, bool& haveFirstByte) {
  COverlapped io(m_comEvent.Get());
  io.Reset();
  m_port.PurgeAll();
  if (m_eventWaitWorks) {
    DWORD mask = 0;
    if (!m_port.StartWaitEvent(mask, io.ov)) {
      m_eventWaitWorks = false;
      return Wake::kData;  // an empty burst; the next turn reads instead
    }
    const Wake wake = WaitOn(io.ov.hEvent, io.ov);
    if (wake != Wake::kData) return wake;
    m_port.Result(io.ov, false);
    if (mask == 0) m_eventWaitWorks = false;
    if (!(mask & EV_RXCHAR)) return WaitForData(firstByte, haveFirstByte);
    return Wake::kData;
  }
  // Without time-outs the read waits for the first byte however long it takes.
  m_port.SetTimeouts(0, 0, 0, kPerByte, kConstant);
  const bool started = m_port.StartRead(&firstByte, 1, io.ov);
  const Wake wake = started ? WaitOn(io.ov.hEvent, io.ov) : Wake::kTerminate;
  if (wake == Wake::kData) haveFirstByte = m_port.Result(io.ov, false) == 1;
  UseReadTimeouts();
  return wake;
}

bool CMonitorSession::BurstLoop(uint8_t firstByte, bool haveFirstByte) {
  const uint32_t codeLength = m_device.m_active.device.codeLength;
  DWORD total = 0;
  do {
    if (m_terminate.Wait(0)) return false;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[codeLength + kBurstSlack]());
    if (!buffer) break;
    DWORD offset = 0;
    if (haveFirstByte) {
      buffer[offset++] = firstByte;
      haveFirstByte = false;
    }
    DWORD count = 0;
    if (codeLength > offset) {
      COverlapped io(m_comEvent.Get());
      io.Reset();
      if (m_port.StartRead(buffer.get() + offset, codeLength - offset, io.ov)) {
        HANDLE handles[] = {m_terminate.Get(), io.ov.hEvent};
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
          m_port.CancelPending(io.ov);
          return false;
        }
        count = m_port.Result(io.ov, false);
      }
    }
    total = offset + count;
    if (total > 0) {
      abi::CodeBlock block{total, buffer.get()};
      SendMessageA(m_target, abi::kVexaMessage, abi::PageCode::kCodeBlock,
                   reinterpret_cast<LPARAM>(&block));
    }
    buffer.reset();
    m_port.PurgeAll();  // whatever followed the code is not part of it
  } while (total > 0);
  return true;
}

bool CMonitorSession::Reinitialise() {
  m_restart.Reset();
  m_comEvent.Close();
  std::string portName = selectedPortName(20);
  if (portName.empty()) portName = m_device.m_portName;
  postToMainWindow(abi::MainCode::kInitialising);
  const int result = m_device.Init(m_record, portName.c_str());
  postToMainWindow(result == abi::kInitReady ? abi::MainCode::kDeviceReady
                                             : abi::MainCode::kDeviceNotInitialised);
  return m_port.IsOpen();
}

void CMonitorSession::CleanUp() {
  m_terminate.Close();
  m_restart.Close();
  if (m_port.IsOpen()) {
    m_port.SetMask(0);
    m_port.PurgeAll();
  }
  m_comEvent.Close();
}

int CSerialDevice::Monitor(abi::DeviceRecord* device, HWND target) {
  return CMonitorSession(*this, device, target).Run();
}

}  // namespace vexa::serial
