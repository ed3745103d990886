#pragma once
// "Mouse Position Tool": shows where the pointer is, on the desktop or
// relative to the window under it, from the hook module's mouse hook; F2
// takes the position for the "Set Mouse Position" action.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "vexa/winlib/dialog.h"

namespace vexa::shell {

inline constexpr const wchar_t* kNoHookLibrary = L"Could not load hook library";
inline constexpr const wchar_t* kMouseHookFailed = L"Mouse hook initialization failed";

struct MousePosition {
  std::string field1;  // "WND:" + window name, or empty for the desktop
  std::string field2;  // "%dx%d"
};

class CMousePositionTool : public win::CModalDialog {
 public:
  using Teller = std::function<void(const std::wstring&)>;
  // `tell` shows a failure (a message box of the tool by default).
  explicit CMousePositionTool(Teller tell = nullptr) : m_tell(std::move(tell)) {}
  // The fields for the action; nothing on Cancel.
  std::optional<MousePosition> Run(HWND owner);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int notification, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  void OnPosition(int x, int y);
  void TakeCurrent();
  void SyncWindowFields();
  void RemoveHook();
  void Tell(const std::wstring& text) const;

  Teller m_tell;
  HMODULE m_hooks = nullptr;  // the program's reference: not ours to free
  uintptr_t m_mouseHook = 0;
  int m_x = 0, m_y = 0;
  std::string m_windowName;
  std::optional<MousePosition> m_result;
};

}  // namespace vexa::shell
