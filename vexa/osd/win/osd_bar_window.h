#pragma once
// The bar display: a topmost window that never takes the focus, showing a
// mixer bar, the shutdown countdown or the layout selector.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "vexa/osd/bar_caption.h"
#include "vexa/osd/layout_selector.h"
#include "vexa/osd/osd_settings.h"
#include "vexa/winlib/gdi.h"
#include "vexa/winlib/window.h"

namespace vexa::osd::win {

inline constexpr const wchar_t* kBarWindowClass = L"VexaOsdBar";

class COsdBarWindow : public vexa::win::CWindow {
 public:
  static constexpr UINT_PTR kHideTimer = 1;
  static constexpr UINT_PTR kSelectorTimer = 2;

  // Timer ids as they fire.
  explicit COsdBarWindow(std::function<void(UINT_PTR)> onTimer) : m_onTimer(std::move(onTimer)) {}

  // Created on first use; settings that change the window's kind recreate it.
  bool Ensure(const OsdSettings& settings);
  // The window that owns it once created (which keeps it off the taskbar).
  void SetOwner(HWND owner) { m_owner = owner; }
  void ShowBar(const BarContent& content);
  void ShowSelector(const SelectorView& view);
  void Hide();
  void StartTimer(UINT_PTR id, UINT ms);
  void StopTimer(UINT_PTR id);

  bool IsLayered() const { return m_layered; }
  // What is on show, for tests and the status tool.
  const std::wstring& Caption() const { return m_caption; }
  const std::vector<std::wstring>& Lines() const { return m_lines; }
  bool Muted() const { return m_content.muted; }
  const BarContent& Content() const { return m_content; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Present();
  void Paint(HDC dc, const RECT& client);

  std::function<void(UINT_PTR)> m_onTimer;
  OsdSettings m_settings;
  HWND m_owner = nullptr;
  vexa::win::CFont m_font;
  vexa::win::CFont m_smallFont;
  bool m_layered = false;
  bool m_selector = false;
  BarContent m_content;
  std::wstring m_caption;
  std::wstring m_extra;
  std::wstring m_title;
  std::vector<std::wstring> m_lines;
};

}  // namespace vexa::osd::win
