#pragma once
// One icon in the notification area (tray); removed again in the destructor.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace vexa::win {

class CNotifyIcon {
 public:
  CNotifyIcon() = default;
  ~CNotifyIcon() { Remove(); }
  CNotifyIcon(const CNotifyIcon&) = delete;
  CNotifyIcon& operator=(const CNotifyIcon&) = delete;

  // The owner receives callbackMessage with the mouse message in lParam.
  bool Add(HWND owner, UINT id, UINT callbackMessage, HICON icon, const std::wstring& tip);
  bool SetTip(const std::wstring& tip);
  bool SetIcon(HICON icon);
  bool Remove();
  bool IsAdded() const { return m_added; }

 private:
  NOTIFYICONDATAW Base(UINT flags) const;

  HWND m_owner = nullptr;
  UINT m_id = 0;
  bool m_added = false;
};

}  // namespace vexa::win
