#pragma once
// "Message Capture": lists the button, menu and click messages another
// program's window receives (through the hook module's message and
// window-procedure hooks) and returns one as the "PostMessage" action's text.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vexa/shell/captured_message.h"
#include "vexa/winlib/dialog.h"
#include "vexa/winlib/module.h"

namespace vexa::shell {

struct CapturedChoice {
  std::string windowName;   // field 1: the target as chosen last
  std::string messageText;  // field 2
};

class CMessageCapture : public win::CModalDialog {
 public:
  // Another target window, chosen by the user ("Window"); nothing on Cancel.
  using PickWindow = std::function<std::optional<std::string>(HWND owner)>;
  // Sends the row's message as the PostMessage action does.
  using Post = std::function<void(HWND window, const CapturedMessage& message)>;

  CMessageCapture(std::string targetName, PickWindow pick = nullptr, Post post = nullptr);
  std::optional<CapturedChoice> Run(HWND owner);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification, HWND control) override;
  bool OnNotify(int id, NMHDR& header, LRESULT& result) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  void SetTarget(const std::string& name);
  bool InstallHooks();
  void RemoveHooks();
  void OnCaptured(const COPYDATASTRUCT* data);
  bool SameProgramWindow(HWND window) const;
  void AddRow(const CapturedMessage& message);
  int SelectedRow() const;
  void SyncButtons();
  void Test();

  std::string m_targetName;
  HWND m_target = nullptr;
  PickWindow m_pick;
  Post m_post;
  win::CModule m_hooks;  // a reference of the dialog's own
  uintptr_t m_messageHook = 0, m_wndProcHook = 0;
  std::vector<CapturedMessage> m_rows;
  std::optional<CapturedChoice> m_result;
};

}  // namespace vexa::shell
