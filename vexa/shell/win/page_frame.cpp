#include "vexa/shell/win/page_frame.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "vexa/device/win/device.h"
#include "vexa/device/win/device_page.h"
#include "vexa/shell/res/resource.h"
#include "vexa/shell/win/command_pages.h"
#include "vexa/winlib/controls.h"

namespace vexa::shell {

namespace {

constexpr int kGap = 6;
constexpr int kGroupListWidth = 96;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;

struct PagePlace {
  PageGroup group;
  int tab;
};

PagePlace placeOf(PageId page) {
  switch (page) {
    case PageId::Commands: return {PageGroup::Actions, 0};
    case PageId::HardwareSetup: return {PageGroup::HardwareSetup, 0};
    case PageId::DeviceSelection: return {PageGroup::GeneralConfig, 0};
    case PageId::GeneralOptions: return {PageGroup::GeneralConfig, 1};
    case PageId::Server: return {PageGroup::GeneralConfig, 2};
    case PageId::Osd: return {PageGroup::GeneralConfig, 3};
  }
  return {PageGroup::Actions, 0};
}

constexpr PageId kGeneralTabs[] = {PageId::DeviceSelection, PageId::GeneralOptions, PageId::Server, PageId::Osd};

}  // namespace

CPageFrame::CPageFrame(HWND owner, std::function<FramePages()> pages) : m_owner(owner), m_pages(std::move(pages)) {}

bool CPageFrame::Create(const std::vector<std::pair<const wchar_t*, UINT>>& buttons) {
  m_tabs = win::CreateChildControl(m_owner, WC_TABCONTROLW, L"", WS_VISIBLE | WS_CLIPSIBLINGS, kTabsId);
  CreateGroupList();
  for (const auto& [text, id] : buttons)
    m_buttons.emplace_back(id, win::CreateChildControl(m_owner, L"BUTTON", text,
                                                       WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, id));
  return m_tabs && m_groups;
}

HWND CPageFrame::Button(UINT id) const {
  for (const auto& [buttonId, button] : m_buttons)
    if (buttonId == id) return button;
  return nullptr;
}

void CPageFrame::CreateGroupList() {
  m_groups = win::CreateChildControl(
      m_owner, WC_LISTVIEWW, L"",
      WS_VISIBLE | WS_TABSTOP | LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_ALIGNTOP | LVS_NOSCROLL,
      kGroupListId, {}, WS_EX_CLIENTEDGE);
  m_groupImages.Attach(ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 3, 0));
  const wchar_t* names[] = {L"General\nConfig", L"Hardware\nSetup", L"Actions"};
  const int icons[] = {IDI_GROUP_GENERAL, IDI_GROUP_HARDWARE, IDI_GROUP_ACTIONS};
  for (int icon : icons) {
    win::CIcon loaded;
    loaded.Load(GetModuleHandleW(nullptr), icon, 32, 32);
    ImageList_AddIcon(m_groupImages.Get(), loaded.Get());
  }
  SendMessageW(m_groups, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(m_groupImages.Get()));
  for (int i = 0; i < 3; ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = i;
    item.iImage = i;
    item.pszText = const_cast<wchar_t*>(names[i]);
    SendMessageW(m_groups, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

PageGroup CPageFrame::CurrentGroup() const { return placeOf(m_page).group; }

RECT CPageFrame::PageArea() const {
  RECT tabs{};
  if (!m_tabs) return tabs;
  GetWindowRect(m_tabs, &tabs);
  MapWindowPoints(nullptr, m_owner, reinterpret_cast<POINT*>(&tabs), 2);
  SendMessageW(m_tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&tabs));
  if (tabs.bottom < tabs.top) tabs.bottom = tabs.top;
  if (tabs.right < tabs.left) tabs.right = tabs.left;
  return tabs;
}

HWND CPageFrame::DevicePage(const FramePages& pages) const {
  const HWND page = pages.device ? pages.device->PageHandle() : nullptr;
  return page && IsWindow(page) ? page : nullptr;
}

void CPageFrame::LayOut() {
  const FramePages pages = m_pages();
  RECT client{};
  GetClientRect(m_owner, &client);
  if (m_statusBar) SendMessageW(m_statusBar, WM_SIZE, 0, 0);
  RECT status{};
  if (m_statusBar) GetWindowRect(m_statusBar, &status);
  const int bottom = client.bottom - (status.bottom - status.top);
  // The buttons in a row at the bottom right, the group list on the left, the tabs between.
  const int buttonsTop = bottom - kGap - kButtonHeight;
  int x = client.right - kGap - kButtonWidth;
  for (auto b = m_buttons.rbegin(); b != m_buttons.rend(); ++b) {
    if (b->second) MoveWindow(b->second, x, buttonsTop, kButtonWidth, kButtonHeight, TRUE);
    x -= kButtonWidth + kGap;
  }
  if (m_groups) {
    MoveWindow(m_groups, kGap, kGap, kGroupListWidth, buttonsTop - 2 * kGap, TRUE);
    SendMessageW(m_groups, LVM_ARRANGE, LVA_ALIGNTOP, 0);
  }
  const int tabsLeft = m_groups ? 2 * kGap + kGroupListWidth : 0;
  if (m_tabs)
    MoveWindow(m_tabs, tabsLeft, kGap, std::max(0, static_cast<int>(client.right) - tabsLeft - kGap),
               std::max(0, buttonsTop - 2 * kGap), TRUE);
  const RECT area = PageArea();
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (pages.commands) {
    // The tree on the left, the page of the selected item beside it.
    const int treeWidth = std::max(160, w - 480);
    MoveWindow(pages.tree, area.left, area.top, treeWidth, h, TRUE);
    pages.commands->Move({area.left + treeWidth, area.top, area.right, area.bottom});
  } else if (pages.tree) {
    MoveWindow(pages.tree, area.left, area.top, w, h, TRUE);
  }
  for (HWND page : {pages.deviceSelection, pages.generalOptions, pages.server, pages.osd})
    if (page) MoveWindow(page, area.left, area.top, w, h, TRUE);
  if (pages.device) {
    // Our own device page follows the area; a first-generation plug-in's dialog keeps its size.
    if (pages.device->Page() && pages.device->Page()->Handle())
      MoveWindow(pages.device->Page()->Handle(), area.left, area.top, w, h, TRUE);
    pages.device->SetPagePosition({area.left, area.top});
  }
  if (m_tabs) SetWindowPos(m_tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CPageFrame::PagesChanged() {
  m_tabsGroup.reset();
  LayOut();
  ShowPage(m_page);
}

void CPageFrame::FillTabs(PageGroup group) {
  if (m_tabsGroup == group) return;
  m_tabsGroup = group;
  SendMessageW(m_tabs, TCM_DELETEALLITEMS, 0, 0);
  std::vector<const wchar_t*> titles;
  switch (group) {
    case PageGroup::GeneralConfig:
      titles = {L"Device Selection", L"General Options", L"TCP/IP Server"};
      if (m_pages().osd) titles.push_back(L"On-Screen Display");
      break;
    case PageGroup::HardwareSetup: titles = {L"Hardware Setup"}; break;
    case PageGroup::Actions: titles = {L"Actions"}; break;
  }
  for (size_t i = 0; i < titles.size(); ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(titles[i]);
    SendMessageW(m_tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
}

void CPageFrame::ShowGroup(PageGroup group) {
  switch (group) {
    case PageGroup::GeneralConfig: ShowPage(PageId::DeviceSelection); break;
    case PageGroup::HardwareSetup: ShowPage(PageId::HardwareSetup); break;
    case PageGroup::Actions: ShowPage(PageId::Commands); break;
  }
}

void CPageFrame::ShowPage(PageId page) {
  const FramePages pages = m_pages();
  if (page == PageId::Osd && !pages.osd) page = PageId::DeviceSelection;
  m_page = page;
  const PagePlace place = placeOf(page);
  if (m_tabs) {
    FillTabs(place.group);
    SendMessageW(m_tabs, TCM_SETCURSEL, static_cast<WPARAM>(place.tab), 0);
  }
  if (m_groups) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_groups, LVM_SETITEMSTATE, static_cast<WPARAM>(place.group), reinterpret_cast<LPARAM>(&state));
  }
  const HWND devicePage = DevicePage(pages);
  const std::pair<HWND, PageId> windows[] = {{pages.tree, PageId::Commands},
                                             {devicePage, PageId::HardwareSetup},
                                             {pages.deviceSelection, PageId::DeviceSelection},
                                             {pages.generalOptions, PageId::GeneralOptions},
                                             {pages.server, PageId::Server},
                                             {pages.osd, PageId::Osd}};
  // The page that goes is hidden before the next shows, so nothing of it stays on top.
  for (const auto& [window, id] : windows)
    if (window && id != page) ShowWindow(window, SW_HIDE);
  if (pages.commands) pages.commands->Show(page == PageId::Commands);
  for (const auto& [window, id] : windows)
    if (window && id == page) {
      SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      ShowWindow(window, SW_SHOW);
    }
  // What a hidden page covered is drawn again: the tabs under it paint only when told.
  const RECT area = PageArea();
  RedrawWindow(m_owner, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::optional<LRESULT> CPageFrame::OnNotify(const NMHDR& header) {
  if (header.idFrom == kTabsId && header.code == TCN_SELCHANGE) {
    const auto tab = static_cast<size_t>(SendMessageW(m_tabs, TCM_GETCURSEL, 0, 0));
    if (CurrentGroup() == PageGroup::GeneralConfig && tab < std::size(kGeneralTabs)) ShowPage(kGeneralTabs[tab]);
    return 0;
  }
  if (header.idFrom == kGroupListId && header.code == LVN_ITEMCHANGED) {
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if ((change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED) && change.iItem >= 0 &&
        change.iItem < 3 && static_cast<PageGroup>(change.iItem) != CurrentGroup())
      ShowGroup(static_cast<PageGroup>(change.iItem));
    return 0;
  }
  return std::nullopt;
}

}  // namespace vexa::shell
