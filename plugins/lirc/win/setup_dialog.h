#pragma once
// The "WinLIRC Setup" page the host shows for this plug-in: server address
// and port, starting the server program, and the reconnect period.
#include <windows.h>

#include "plugins/lirc/lirc_settings.h"
#include "vexa/winlib/dialog.h"

namespace vexa::lirc {

class ISetupOwner {
 public:
  virtual ~ISetupOwner() = default;
  virtual void OnConnectClicked() = 0;
  virtual void OnFieldsEdited() = 0;
  virtual void OnSetupShown() = 0;
};

class CSetupDialog : public win::CModelessDialog {
 public:
  CSetupDialog(ISetupOwner& owner, LircFields initial) : m_owner(owner), m_initial(std::move(initial)) {}

  LircFields Fields() const;
  void ShowFields(const LircFields& fields);
  // Path and browse button follow "Autostart", seconds and spin "Reconnection attempt every".
  void UpdateEnabling() const;

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification, HWND control) override;

 private:
  void Browse();

  ISetupOwner& m_owner;
  LircFields m_initial;
  bool m_filling = false;
};

}  // namespace vexa::lirc
