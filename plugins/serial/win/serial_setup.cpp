// The settings sheet and the information box, on the host's user-interface thread.
#include <string>

#include "plugins/serial/receiver_models.h"
#include "plugins/kit/win/host_windows.h"
#include "plugins/kit/win/module_info.h"
#include "plugins/serial/win/serial_device.h"
#include "plugins/serial/win/settings_sheet.h"

namespace vexa::serial {

int CSerialDevice::Setup(abi::DeviceRecord* device) {
  const bool accepted = CSettingsSheet(m_user, m_port).Run(kit::findMainWindow());
  if (accepted) {
    if (HWND config = kit::findConfigWindow()) {
      // The host lists the chosen set of settings as "Custom" from now on.
      HWND list = reinterpret_cast<HWND>(kit::askConfigWindow(config, abi::PageCode::kSelector2List));
      const LRESULT index = list ? SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>("Custom"))
                                 : CB_ERR;
      if (index != CB_ERR) SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
      kit::askConfigWindow(config, abi::PageCode::kLayout);
    }
  }
  ReportTo(device, settingsForModel(m_user, device ? std::string(device->deviceName, abi::fieldLength(device->deviceName)) : std::string()));
  return accepted ? 1 : 0;
}

void CSerialDevice::About() { kit::showAbout("Serial.hlp", "serial.dll"); }

}  // namespace vexa::serial
