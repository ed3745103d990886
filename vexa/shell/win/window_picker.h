#pragma once
// "Available windows": the open windows as a tree, top-level windows with
// their child windows beneath, from which the window fields of actions take
// a name in the actions' own syntax. F2 (a key event the main window passes
// on from the hook module) takes the window under the mouse cursor.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vexa/exec/win/window_list.h"
#include "vexa/winlib/dialog.h"

namespace vexa::shell {

inline constexpr const wchar_t* kMsgPickerWindowNotFound = L"The window could not be found. Refresh list?";

class CWindowPicker : public win::CModalDialog {
 public:
  // A question to the user (the button pressed); by default a message box.
  using Question = std::function<int(const std::wstring& text, UINT type)>;
  explicit CWindowPicker(Question ask = {}) : m_ask(std::move(ask)) {}
  // The chosen window's name; nothing on Cancel.
  std::optional<std::string> Run(HWND owner);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification, HWND control) override;
  bool OnTimer(UINT_PTR id) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  void Refresh();
  void FillTree();
  void AddItems(HTREEITEM parent, const std::vector<WindowEntry>& windows, bool classOnly);
  HWND SelectedWindow() const;
  // Selects the item of `window`, searching every level; false when it is not listed.
  bool SelectWindow(HWND window);
  void TakeWindowUnderCursor();
  void Mark();
  void StopMarking();
  int Ask(const std::wstring& text, UINT type) const;

  Question m_ask;
  exec::CWindowList m_windows;
  std::string m_chosen;
  POINT m_takeAt{};
  RECT m_markRect{};
  int m_markFlips = 0;
};

}  // namespace vexa::shell
