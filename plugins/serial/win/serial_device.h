#pragma once
// The plug-in's one process-wide object: the user's settings, the settings in
// use for the chosen model, and the port.
#include <windows.h>

#include <string>

#include "plugins/serial/serial_settings.h"
#include "vexa/winlib/serial_port.h"
#include "vexa/device/plugin_abi.h"

namespace vexa::serial {

class CSerialDevice {
 public:
  static CSerialDevice& Instance();

  int Init(abi::DeviceRecord* device, const char* portName);
  void Release();
  int Monitor(abi::DeviceRecord* device, HWND target);
  int ReadConfig(abi::DeviceRecord* device, const char* file);
  int WriteConfig(const char* file);
  int Setup(abi::DeviceRecord* device);
  void ChangeDevice(const char* deviceName);
  void About();

  // The generic model's settings: what the sheet edits and the file keeps.
  SerialSettings& UserSettings() { return m_user; }
  const SerialSettings& ActiveSettings() const { return m_active; }
  win::CSerialPort& Port() { return m_port; }

 private:
  CSerialDevice() = default;

  void ReportTo(abi::DeviceRecord* device, const SerialSettings& settings) const;
  bool ApplyLineSettings();
  void SendInitString();
  int CheckResponse();
  void ArmReinit();

  SerialSettings m_user;
  SerialSettings m_active;
  win::CSerialPort m_port;
  std::string m_portName;       // for re-initialising when the device page is gone
  DWORD m_reinitPeriodMs = 0;   // 0: no re-initialisation
  ULONGLONG m_reinitDue = 0;    // GetTickCount64 time of the next one

  friend class CMonitorSession;
};

}  // namespace vexa::serial
