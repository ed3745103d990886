#pragma once
// The "Device Settings" property sheet: port, device and advanced pages over
// a working copy of the user's settings, committed on OK.
#include <windows.h>

#include "plugins/serial/serial_settings.h"
#include "vexa/winlib/property_sheet.h"
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

// What the three pages share: F1 and the help button open the help file.
class CHelpPage : public win::CPropertyPage {
 protected:
  bool OnNotify(int id, NMHDR& header, LRESULT& result) override;
};

// Each page keeps a reference to its part of the working copy.
class CPortSettings : public CHelpPage {
 public:
  CPortSettings(PortSettings& port, win::CSerialPort& openPort) : m_port(port), m_openPort(openPort) {}

 protected:
  bool OnInitDialog() override;
  bool OnApply() override;

 private:
  bool QueryProperties(COMMPROP& props);

  PortSettings& m_port;
  win::CSerialPort& m_openPort;
};

class CDeviceSettings : public CHelpPage {
 public:
  explicit CDeviceSettings(DeviceSettings& device) : m_device(device) {}

 protected:
  bool OnInitDialog() override;
  bool OnApply() override;
  bool OnCommand(int id, int notification, HWND control) override;

 private:
  DeviceSettings& m_device;
  bool m_filling = false;
};

class CAdvancedSettings : public CHelpPage {
 public:
  explicit CAdvancedSettings(AdvancedSettings& advanced) : m_advanced(advanced) {}

 protected:
  bool OnInitDialog() override;
  bool OnApply() override;
  bool OnCommand(int id, int notification, HWND control) override;

 private:
  AdvancedSettings& m_advanced;
};

}  // namespace vexa::serial
