#pragma once
// The frame of the configuration window: the page groups on the left
// ("General Config", "Hardware Setup", "Actions"), the tabs of the group on
// view, the buttons along the bottom above the status line, and which page
// shows. The pages themselves belong to the main window; the frame places them.
#include <windows.h>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "vexa/winlib/gdi.h"

namespace vexa::device {
class CDevice;
}

namespace vexa::shell {

class CCommandPages;

enum class PageId { Commands = 0, HardwareSetup = 1, DeviceSelection = 2, GeneralOptions = 3, Server = 4, Osd = 5 };
enum class PageGroup { GeneralConfig = 0, HardwareSetup = 1, Actions = 2 };

// The pages as they are now; null where there is none.
struct FramePages {
  HWND tree = nullptr;
  CCommandPages* commands = nullptr;  // beside the tree
  HWND deviceSelection = nullptr, generalOptions = nullptr, server = nullptr, osd = nullptr;
  device::CDevice* device = nullptr;  // its page shows as "Hardware Setup"
};

class CPageFrame {
 public:
  static constexpr UINT kTabsId = 101;
  static constexpr UINT kGroupListId = 103;

  // `pages` is asked whenever the frame places or shows pages.
  CPageFrame(HWND owner, std::function<FramePages()> pages);
  CPageFrame(const CPageFrame&) = delete;
  CPageFrame& operator=(const CPageFrame&) = delete;

  // The tabs, the group list and the buttons (text and command id, left to right).
  bool Create(const std::vector<std::pair<const wchar_t*, UINT>>& buttons);
  HWND Button(UINT id) const;
  // The status line sits below everything else.
  void SetStatusBar(HWND bar) { m_statusBar = bar; }

  void LayOut();
  RECT PageArea() const;
  void ShowPage(PageId page);
  void ShowGroup(PageGroup group);
  PageId Current() const { return m_page; }
  PageGroup CurrentGroup() const;
  // Call when a group gains or loses a page (the on-screen display's).
  void PagesChanged();
  // The tabs' and the group list's notifications; nothing for others.
  std::optional<LRESULT> OnNotify(const NMHDR& header);

 private:
  void CreateGroupList();
  void FillTabs(PageGroup group);
  HWND DevicePage(const FramePages& pages) const;

  HWND m_owner;
  std::function<FramePages()> m_pages;
  HWND m_tabs = nullptr;
  HWND m_groups = nullptr;
  HWND m_statusBar = nullptr;
  win::CImageList m_groupImages;
  std::vector<std::pair<UINT, HWND>> m_buttons;
  PageId m_page = PageId::Commands;
  std::optional<PageGroup> m_tabsGroup;
};

}  // namespace vexa::shell
