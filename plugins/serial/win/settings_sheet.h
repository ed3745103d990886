#pragma once
// The "Device Settings" property sheet: port, device and advanced pages over
// a working copy of the user's settings, committed on OK.
#include <windows.h>

#include "plugins/serial/serial_settings.h"
#include "vexa/winlib/serial_port.h"

namespace vexa::serial {

class CSettingsSheet {
 public:
  CSettingsSheet(SerialSettings& settings, win::CSerialPort& openPort)
      : m_settings(settings), m_working(settings), m_openPort(openPort) {}
  // Modal; true when OK was pressed (the settings then hold the pages' values).
  bool Run(HWND parent);

 private:
  SerialSettings& m_settings;
  SerialSettings m_working;
  win::CSerialPort& m_openPort;
};

// Page classes: each keeps a reference to the working copy.
class CPortSettings {
 public:
  CPortSettings(PortSettings& port, win::CSerialPort& openPort) : m_port(port), m_openPort(openPort) {}
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);

 private:
  void Fill(HWND dialog);
  void Store(HWND dialog);
  bool QueryProperties(HWND dialog, COMMPROP& props);

  PortSettings& m_port;
  win::CSerialPort& m_openPort;
};

class CDeviceSettings {
 public:
  explicit CDeviceSettings(DeviceSettings& device) : m_device(device) {}
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);

 private:
  void Fill(HWND dialog);
  void Store(HWND dialog);
  void OnCommand(HWND dialog, WORD id, WORD notification);

  DeviceSettings& m_device;
  bool m_filling = false;
};

class CAdvancedSettings {
 public:
  explicit CAdvancedSettings(AdvancedSettings& advanced) : m_advanced(advanced) {}
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);

 private:
  void Fill(HWND dialog);
  void Store(HWND dialog);

  AdvancedSettings& m_advanced;
};

}  // namespace vexa::serial
