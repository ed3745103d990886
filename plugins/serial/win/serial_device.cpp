#include "plugins/serial/win/serial_device.h"

#include <algorithm>
#include <memory>

#include "plugins/serial/line_config.h"
#include "plugins/serial/receiver_models.h"
#include "plugins/serial/response_check.h"
#include "plugins/serial/setting_ranges.h"
#include "plugins/kit/win/host_windows.h"
#include "plugins/kit/win/profile_file_store.h"
#include "vexa/winlib/sync.h"

namespace vexa::serial {

namespace {
constexpr DWORD kReadInterval = 50, kPerByte = 50, kConstant = 50;
constexpr const wchar_t* kComEventName = L"SerialComEv";
}  // namespace

CSerialDevice& CSerialDevice::Instance() {
  static CSerialDevice device;
  return device;
}

void CSerialDevice::ReportTo(abi::DeviceRecord* device, const SerialSettings& s) const {
  if (!device) return;
  device->timingMode = 0;
  device->tolerance = s.device.tolerance;
  device->codeLength = static_cast<int32_t>(s.device.codeLength);
  device->learnSamples = s.device.learnSamples;
}

static std::string deviceNameOf(const abi::DeviceRecord* device) {
  return device ? std::string(device->deviceName, abi::fieldLength(device->deviceName)) : std::string();
}

int CSerialDevice::Init(abi::DeviceRecord* device, const char* portName) {
  m_active = settingsForModel(m_user, deviceNameOf(device));
  ReportTo(device, m_active);
  Release();

  win::CEvent event;
  if (!event.Create(kComEventName, true, false))
    MessageBoxA(nullptr, "Could not create Event", "serial.dll", MB_OK | MB_ICONERROR);
  if (!m_port.Open(portName)) return abi::kInitInUse;
  m_portName = portName ? portName : "";

  m_port.SetTimeouts(kReadInterval, kPerByte, kConstant, kPerByte, kConstant);
  ApplyLineSettings();
  SendInitString();
  if (m_active.device.responseEnabled) {
    const int result = CheckResponse();
    if (result != abi::kInitReady) {
      m_port.Close();
      return result;
    }
  }
  ArmReinit();
  return abi::kInitReady;
}

bool CSerialDevice::ApplyLineSettings() {
  DCB dcb;
  if (!m_port.GetState(dcb)) return false;
  // Wake the receiver's controller: the lines go to the opposite of their
  // configured state for the reset time, then to it.
  const ResetPulse pulse = resetPulseFor(m_active.port);
  dcb.fDtrControl = pulse.dtrControl;
  dcb.fRtsControl = pulse.rtsControl;
  m_port.SetState(dcb);
  Sleep(static_cast<DWORD>(std::max(m_active.advanced.resetMs, 0)));

  const LineConfig line = lineConfigFor(m_active.port);
  if (line.dtrControl) dcb.fDtrControl = *line.dtrControl;
  if (line.rtsControl) dcb.fRtsControl = *line.rtsControl;
  if (line.parity) dcb.Parity = static_cast<BYTE>(*line.parity);
  dcb.fParity = line.parityCheck();
  if (line.stopBits) dcb.StopBits = static_cast<BYTE>(*line.stopBits);
  if (line.baud) dcb.BaudRate = *line.baud;
  if (line.dataBits) dcb.ByteSize = static_cast<BYTE>(*line.dataBits);
  const bool applied = m_port.SetState(dcb);
  Sleep(static_cast<DWORD>(std::max(m_active.advanced.powerUpMs, 0)));
  m_port.PurgeAll();
  return applied;
}

void CSerialDevice::SendInitString() {
  const DWORD delay = static_cast<DWORD>(std::max(m_active.advanced.txdDelayMs, 0));
  if (m_active.device.initEnabled) {
    win::CEvent event;
    event.CreateAnonymous(true, false);
    win::COverlapped io(event.Get());
    for (char c : m_active.device.init) {
      io.Reset();
      if (m_port.StartWrite(&c, 1, io.ov)) m_port.Result(io.ov, true);
      m_port.Flush();
      Sleep(delay);
    }
  }
  Sleep(delay);
}

int CSerialDevice::CheckResponse() {
  win::CEvent event;
  event.CreateAnonymous(true, false);
  win::COverlapped io(event.Get());
  CReplyCollector reply;
  const DWORD delay = static_cast<DWORD>(std::max(m_active.advanced.rxdDelayMs, 0));
  const ULONGLONG deadline =
      GetTickCount64() + responseTimeLimitMs(m_active.device.response, m_active.advanced.rxdDelayMs);
  while (!reply.full() && GetTickCount64() < deadline) {
    uint8_t byte = 0;
    io.Reset();
    const DWORD count = m_port.StartRead(&byte, 1, io.ov) ? m_port.Result(io.ov, true) : 0;
    Sleep(delay);
    if (count == 0) break;  // the read time-outs passed without a byte
    reply.add(byte);
  }
  switch (judgeReply(reply, m_active.device.response)) {
    case ReplyVerdict::kMatched: return abi::kInitReady;
    case ReplyVerdict::kNoAnswer: return abi::kInitNoResponse;
    case ReplyVerdict::kWrongAnswer: break;
  }
  return abi::kInitBadResponse;
}

void CSerialDevice::ArmReinit() {
  m_reinitPeriodMs = reinitPeriodMs(m_active.advanced.reInitSeconds);
  m_reinitDue = m_reinitPeriodMs ? GetTickCount64() + m_reinitPeriodMs : 0;
}

void CSerialDevice::Release() {
  m_reinitPeriodMs = 0;
  m_reinitDue = 0;
  if (!m_port.IsOpen()) return;
  DCB dcb;
  if (m_port.GetState(dcb) && BuildCommDCBA("baud=9600 parity=N data=8 stop=1", &dcb)) {
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    m_port.SetState(dcb);
  }
  m_port.Close();
}

int CSerialDevice::ReadConfig(abi::DeviceRecord* device, const char* file) {
  m_user = readSettings(kit::CProfileFileStore(file));
  ReportTo(device, settingsForModel(m_user, deviceNameOf(device)));
  return 1;
}

int CSerialDevice::WriteConfig(const char* file) {
  kit::CProfileFileStore store(file);
  return writeSettings(m_user, store) ? 1 : 0;
}

void CSerialDevice::ChangeDevice(const char* deviceName) {
  HWND config = kit::findConfigWindow();
  if (!config) return;
  HWND button = reinterpret_cast<HWND>(kit::askConfigWindow(config, abi::PageCode::kSetupButton));
  if (button) ShowWindow(button, isGenericModel(deviceName ? deviceName : "") ? SW_SHOW : SW_HIDE);
}

}  // namespace vexa::serial
