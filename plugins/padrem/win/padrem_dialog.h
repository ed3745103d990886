#pragma once
// The device page of the host's "Hardware Setup": the receiver's port, its
// "Initialize" button and pad switch, and the command tree.
#include <windows.h>

#include <memory>

#include "plugins/store/win/command_tree.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/dialog.h"

namespace vexa::padrem {

class CPadremDevice;

class CPadremDialog : public win::CModelessDialog {
 public:
  // The one dialog of the plug-in; a second call replaces the first.
  static HWND Create(HWND parent, const abi::Point* position);
  static CPadremDialog* Current();
  // The store or settings changed outside the dialog.
  static void Refresh();
  // The receiver was opened or closed outside the dialog.
  static void ShowReceiver();
  // Before the settings are saved: the dialog's choices go to the device.
  static void TakeData();

  explicit CPadremDialog(CPadremDevice& device);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification, HWND control) override;
  bool OnNotify(int id, NMHDR& header, LRESULT& result) override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  void FillPorts();
  void ShowSettings();
  bool MayLearn(HWND owner);

  CPadremDevice& m_device;
  store::StoreUi m_ui;
  store::CCommandTree m_tree;
};

}  // namespace vexa::padrem
