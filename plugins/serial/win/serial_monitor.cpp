// The reception loop on the host's monitor thread.
#include <memory>
#include <new>
#include <string>

#include "plugins/kit/win/delivery.h"
#include "plugins/kit/win/host_windows.h"
#include "plugins/kit/win/port_monitor.h"
#include "plugins/serial/setting_ranges.h"
#include "plugins/serial/win/serial_device.h"
#include "vexa/winlib/sync.h"

namespace vexa::serial {

namespace {
constexpr const wchar_t* kRestartEventName = L"SerialMon_RestartSig";
constexpr const wchar_t* kComEventName = L"SerialComEv";
}  // namespace

// One run of MonitorDevice.
class CMonitorSession {
 public:
  CMonitorSession(CSerialDevice& device, abi::DeviceRecord* record, HWND target)
      : m_device(device), m_port(device.m_port), m_record(record), m_target(target) {}

  int Run();

 private:
  bool BurstLoop(kit::CPortMonitor& monitor);  // false: terminate
  bool Reinitialise();
  DWORD WaitTimeout() const;

  CSerialDevice& m_device;
  win::CSerialPort& m_port;
  abi::DeviceRecord* m_record;
  HWND m_target;
};

int CMonitorSession::Run() {
  if (!m_port.IsOpen()) return -1;
  win::CEvent restart;
  restart.Create(kRestartEventName, true, false);
  kit::CPortMonitor monitor(m_port, kComEventName);
  monitor.SetWakeEvent(restart.Get());
  for (;;) {
    for (;;) {
      m_port.PurgeAll();
      // The period's end restarts like the restart event: this works on every
      // period, whichever thread armed it.
      const auto wake = monitor.WaitForData(WaitTimeout());
      if (wake == kit::CPortMonitor::Wake::kTerminate) return 0;
      if (wake != kit::CPortMonitor::Wake::kData) break;
      if (!BurstLoop(monitor)) return 0;
    }
    restart.Reset();
    if (!Reinitialise()) return 0;
    monitor.Arm();
  }
}

DWORD CMonitorSession::WaitTimeout() const {
  if (m_device.m_reinitPeriodMs == 0) return INFINITE;
  const ULONGLONG now = GetTickCount64();
  return m_device.m_reinitDue > now ? static_cast<DWORD>(m_device.m_reinitDue - now) : 0;
}

bool CMonitorSession::BurstLoop(kit::CPortMonitor& monitor) {
  const uint32_t codeLength = m_device.m_active.device.codeLength;
  DWORD total = 0;
  do {
    if (monitor.TerminateSet()) return false;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[codeLength + kBurstSlack]());
    if (!buffer) break;
    if (monitor.ReadBurst(buffer.get(), codeLength, total) == kit::CPortMonitor::Wake::kTerminate) return false;
    if (total > 0) kit::deliverCodeBlock(m_target, buffer.get(), total);
    buffer.reset();
    m_port.PurgeAll();  // whatever followed the code is not part of it
  } while (total > 0);
  return true;
}

bool CMonitorSession::Reinitialise() {
  std::string portName = kit::selectedPortName(20);
  if (portName.empty()) portName = m_device.m_portName;
  kit::postToMainWindow(abi::MainCode::kInitialising);
  const int result = m_device.Init(m_record, portName.c_str());
  kit::postToMainWindow(result == abi::kInitReady ? abi::MainCode::kDeviceReady
                                                  : abi::MainCode::kDeviceNotInitialised);
  return m_port.IsOpen();
}

int CSerialDevice::Monitor(abi::DeviceRecord* device, HWND target) {
  return CMonitorSession(*this, device, target).Run();
}

}  // namespace vexa::serial
