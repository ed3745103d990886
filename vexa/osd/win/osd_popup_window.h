#pragma once
// The notification popup: the command just executed, or a window's title,
// with an icon, over every window and without taking the focus.
#include <windows.h>

#include <string>
#include <vector>

#include "vexa/osd/osd_settings.h"
#include "vexa/winlib/gdi.h"
#include "vexa/winlib/window.h"

namespace vexa::osd::win {

inline constexpr const wchar_t* kPopupWindowClass = L"VexaOsdPopup";

struct PopupContent {
  uint32_t code = 0;
  const void* object = nullptr;  // the command or window it is about
  std::string title;             // UTF-8
  std::string body;
  HICON icon = nullptr;          // shared: not destroyed
  vexa::win::CIcon ownedIcon;    // or owned
};

class COsdPopupWindow : public vexa::win::CWindow {
 public:
  static constexpr UINT_PTR kHideTimer = 1;
  static constexpr UINT_PTR kTickTimer = 5000;
  static constexpr UINT kVisibleMs = 2000;
  static constexpr UINT kTickMs = 250;
  static constexpr int kMaxLines = 8;

  bool Ensure(const OsdSettings& settings, HBRUSH background);
  // The window that owns it once created (which keeps it off the taskbar).
  void SetOwner(HWND owner) { m_owner = owner; }
  // A request for what is already on show only turns its icon into the repeat mark.
  void Show(PopupContent content);
  void Hide();

  bool Showing(uint32_t code, const void* object) const;
  bool Repeated() const { return m_repeated; }
  const std::vector<std::wstring>& Lines() const { return m_lines; }
  const std::wstring& Title() const { return m_title; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Place();
  void Paint(HDC dc, const RECT& client);
  int TextWidth() const;

  OsdSettings m_settings;
  HWND m_owner = nullptr;
  vexa::win::CFont m_titleFont, m_bodyFont, m_emphasisFont;
  PopupContent m_content;
  std::wstring m_title;
  std::vector<std::wstring> m_lines;
  bool m_repeated = false;
};

}  // namespace vexa::osd::win
