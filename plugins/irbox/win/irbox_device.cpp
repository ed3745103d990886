#include "plugins/irbox/win/irbox_device.h"

#include <string>

#include "plugins/irbox/irbox_protocol.h"
#include "plugins/kit/win/delivery.h"
#include "plugins/kit/win/port_monitor.h"
#include "vexa/winlib/sync.h"

namespace vexa::irbox {

namespace {
constexpr DWORD kReadInterval = 50, kPerByte = 50, kConstant = 50;
constexpr DWORD kPowerMs = 200;
constexpr const wchar_t* kComEventName = L"IRBOXComEv";

void setLines(win::CSerialPort& port, DCB& dcb, bool on) {
  dcb.fDtrControl = on ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
  dcb.fRtsControl = on ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
  port.SetState(dcb);
}
}  // namespace

CIrboxDevice& CIrboxDevice::Instance() {
  static CIrboxDevice device;
  return device;
}

int CIrboxDevice::Init(abi::DeviceRecord* device, const char* portName) {
  if (device) {
    device->timingMode = 0;
    device->tolerance = 0;
    device->codeLength = static_cast<int32_t>(kFrameLength);
    device->learnSamples = 2;
  }
  m_port.Close();
  win::CEvent event;
  if (!event.Create(kComEventName, true, false))
    MessageBoxA(nullptr, "Could not create Event", "irbox.dll", MB_OK | MB_ICONERROR);
  if (!m_port.Open(portName)) return abi::kInitInUse;
  m_port.SetTimeouts(kReadInterval, kPerByte, kConstant, kPerByte, kConstant);
  PowerCycle();
  SendWakeUp(event.Get());
  const int result = ReadReply(event.Get());
  if (result != abi::kInitReady) m_port.Close();
  return result;
}

// The receiver draws its power from DTR and RTS: off, then on, wakes it.
void CIrboxDevice::PowerCycle() {
  DCB dcb;
  if (m_port.GetState(dcb)) {
    BuildCommDCBA("baud=9600 parity=N data=8 stop=1", &dcb);
    setLines(m_port, dcb, false);
    Sleep(kPowerMs);
    setLines(m_port, dcb, true);
    Sleep(kPowerMs);
  }
  m_port.Purge(PURGE_TXCLEAR | PURGE_RXCLEAR);
}

void CIrboxDevice::SendWakeUp(HANDLE ioEvent) {
  win::COverlapped io(ioEvent);
  for (const auto& [byte, pauseMs] : {std::pair{'I', 50u}, std::pair{'R', 100u}}) {
    io.Reset();
    if (m_port.StartWrite(&byte, 1, io.ov)) m_port.Result(io.ov, true);
    m_port.Flush();
    Sleep(pauseMs);
  }
}

int CIrboxDevice::ReadReply(HANDLE ioEvent) {
  win::COverlapped io(ioEvent);
  io.Reset();
  char reply[kReplyCapacity] = {};
  const DWORD count = m_port.StartRead(reply, sizeof reply, io.ov) ? m_port.Result(io.ov, true) : 0;
  return judgeReply(std::string_view(reply, count));
}

void CIrboxDevice::Release() {
  if (!m_port.IsOpen()) return;
  DCB dcb;
  if (m_port.GetState(dcb)) setLines(m_port, dcb, false);  // powers the receiver down
  m_port.Close();
}

int CIrboxDevice::Monitor(HWND target) {
  if (!m_port.IsOpen()) return -1;
  kit::CPortMonitor monitor(m_port, kComEventName, {kReadInterval, kPerByte, kConstant});
  for (;;) {
    if (monitor.WaitForData() != kit::CPortMonitor::Wake::kData) return 0;
    DWORD received = 0;
    do {
      uint8_t buffer[2 * kFrameLength] = {};
      if (monitor.ReadBurst(buffer, kFrameLength, received) == kit::CPortMonitor::Wake::kTerminate) return 0;
      if (received == 0) break;
      const Frame frame = assembleFrame(buffer, received);
      kit::deliverCodeBlock(target, frame.data(), static_cast<uint32_t>(frame.size()));
      m_port.Purge(PURGE_RXABORT | PURGE_RXCLEAR);  // later bytes belong to no code
    } while (received > 0);
  }
}

}  // namespace vexa::irbox
