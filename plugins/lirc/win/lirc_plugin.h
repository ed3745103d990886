#pragma once
// The plug-in as the host sees it: settings under the host's registry key,
// the setup page, and the client that turns server lines into commands.
#include <windows.h>

#include <memory>

#include "plugins/lirc/lirc_settings.h"
#include "plugins/lirc/win/lirc_client.h"
#include "plugins/lirc/win/setup_dialog.h"

namespace vexa::lirc {

class CLircPlugin : private ISetupOwner {
 public:
  // One per loaded module: the exports carry no context.
  static CLircPlugin& Instance();

  void ReadConfig(HKEY key);
  bool WriteConfig(HKEY key);
  HWND CreateSetupPage(const POINT& position, HWND parent);
  bool Start(HWND hostWindow);
  void Stop();
  void Release();

 private:
  CLircPlugin();
  LircFields CurrentFields() const;
  void OnConnectClicked() override;
  void OnFieldsEdited() override;
  void OnSetupShown() override;

  LircFields m_saved;
  CLircClient m_client;
  std::unique_ptr<CSetupDialog> m_dialog;
};

}  // namespace vexa::lirc
