#include "vexa/winlib/notify_icon.h"

#include <algorithm>

namespace vexa::win {

namespace {

void copyTip(NOTIFYICONDATAW& data, const std::wstring& tip) {
  const size_t n = std::min(tip.size(), std::size(data.szTip) - 1);
  std::copy_n(tip.c_str(), n, data.szTip);
  data.szTip[n] = L'\0';
}

}  // namespace

NOTIFYICONDATAW CNotifyIcon::Base(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = m_owner;
  data.uID = m_id;
  data.uFlags = flags;
  return data;
}

bool CNotifyIcon::Add(HWND owner, UINT id, UINT callbackMessage, HICON icon,
                      const std::wstring& tip) {
  Remove();
  m_owner = owner;
  m_id = id;
  NOTIFYICONDATAW data = Base(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  data.uCallbackMessage = callbackMessage;
  data.hIcon = icon;
  copyTip(data, tip);
  m_added = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  return m_added;
}

bool CNotifyIcon::SetTip(const std::wstring& tip) {
  NOTIFYICONDATAW data = Base(NIF_TIP);
  copyTip(data, tip);
  return m_added && Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool CNotifyIcon::SetIcon(HICON icon) {
  NOTIFYICONDATAW data = Base(NIF_ICON);
  data.hIcon = icon;
  return m_added && Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool CNotifyIcon::Remove() {
  if (!m_added) return true;
  NOTIFYICONDATAW data = Base(0);
  m_added = false;
  return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

}  // namespace vexa::win
