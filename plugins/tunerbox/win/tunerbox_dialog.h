#pragma once
// The device page of the host's "Hardware Setup": the card found, the
// "Initialize" and "Start Wizard" buttons, the status line and the command
// tree. It also takes codes that other programs send as data-copy messages.
#include <windows.h>

#include "plugins/store/win/command_tree.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/dialog.h"

namespace vexa::tunerbox {

class CTunerboxDevice;

class CTunerboxDialog : public win::CModelessDialog {
 public:
  // The one dialog of the plug-in; a second call replaces the first.
  static HWND Create(HWND parent, const abi::Point* position);
  static CTunerboxDialog* Current();
  // The hardware or the store changed outside the dialog.
  static void Refresh();
  // Before the settings are used or saved: the dialog's choices go to the device.
  static void TakeData();

  explicit CTunerboxDialog(CTunerboxDevice& device);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification, HWND control) override;
  bool OnNotify(int id, NMHDR& header, LRESULT& result) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  void ShowHardware();
  bool MayLearn(HWND owner);

  CTunerboxDevice& m_device;
  store::StoreUi m_ui;
  store::CCommandTree m_tree;
};

}  // namespace vexa::tunerbox
