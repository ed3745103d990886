// The settings sheet and the information box, on the host's user-interface thread.
#include <string>

#include "plugins/serial/receiver_models.h"
#include "plugins/serial/win/host_windows.h"
#include "plugins/serial/win/module_files.h"
#include "plugins/serial/win/serial_device.h"
#include "plugins/serial/win/settings_sheet.h"

namespace vexa::serial {

int CSerialDevice::Setup(abi::DeviceRecord* device) {
  const bool accepted = CSettingsSheet(m_user, m_port).Run(findMainWindow());
  if (accepted) {
    if (HWND config = findConfigWindow()) {
      // The host lists the chosen set of settings as "Custom" from now on.
      HWND list = reinterpret_cast<HWND>(askConfigWindow(config, abi::PageCode::kSelector2List));
      const LRESULT index = list ? SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>("Custom"))
                                 : CB_ERR;
      if (index != CB_ERR) SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
      askConfigWindow(config, abi::PageCode::kLayout);
    }
  }
  ReportTo(device, settingsForModel(m_user, device ? std::string(device->deviceName, abi::fieldLength(device->deviceName)) : std::string()));
  return accepted ? 1 : 0;
}

void CSerialDevice::About() {
  const std::string help = helpFile();
  if (!help.empty() && WinHelpA(nullptr, help.c_str(), HELP_CONTENTS, 0)) return;
  const std::string text = versionString("FileDescription") + "\nVersion " + versionString("FileVersion") +
                           "\n" + versionString("LegalCopyright");
  MessageBoxA(nullptr, text.c_str(), "serial.dll", MB_OK | MB_ICONINFORMATION);
}

}  // namespace vexa::serial
