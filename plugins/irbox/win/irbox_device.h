#pragma once
// The plug-in's one process-wide object: the port and the receiver on it.
#include <windows.h>

#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/serial_port.h"

namespace vexa::irbox {

class CIrboxDevice {
 public:
  static CIrboxDevice& Instance();

  int Init(abi::DeviceRecord* device, const char* portName);
  void Release();
  int Monitor(HWND target);

 private:
  CIrboxDevice() = default;

  void PowerCycle();
  void SendWakeUp(HANDLE ioEvent);
  int ReadReply(HANDLE ioEvent);

  win::CSerialPort m_port;
};

}  // namespace vexa::irbox
