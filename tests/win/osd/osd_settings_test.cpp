// The on-screen display's settings in the registry and on their page, as
// the tray menu's "On-screen display..." reaches it.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "support/win/pump.h"
#include "vexa/osd/win/osd.h"
#include "vexa/osd/win/osd_resource.h"
#include "vexa/osd/win/osd_settings_page.h"
#include "vexa/osd/win/osd_settings_store.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/system_code_page.h"

namespace vexa::osd::win {
namespace {

const std::wstring kTestKey = L"Software\\Marlix\\VexaOsdSettingsTest";

TEST(OsdSettingsStore, RoundTripAndBadValuesKeepDefaults) {
  const vexa::win::CSystemCodePage cp;
  RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey.c_str());
  OsdSettings s;
  s.position = OsdPosition::Top;
  s.timeoutSeconds = 5;
  s.backgroundColour = OsdSettings::kTransparent;
  s.textColour = 0x00FF00;
  s.font.face = "Courier New";
  s.font.height = -22;
  s.setStoredSelector("Menu");
  ASSERT_TRUE(saveOsdSettings(s, cp, kTestKey));
  const OsdSettings back = loadOsdSettings(cp, kTestKey);
  EXPECT_EQ(back.position, OsdPosition::Top);
  EXPECT_EQ(back.timeoutSeconds, 5u);
  EXPECT_TRUE(back.transparent());
  EXPECT_EQ(back.textColour, 0x00FF00u);
  EXPECT_EQ(back.font.face, "Courier New");
  EXPECT_EQ(back.font.height, -22);
  EXPECT_EQ(back.selectorTrigger(), "Menu");

  vexa::win::CRegKey key;
  ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, kTestKey, KEY_WRITE));
  key.SetDword(L"OSDTimeout", 0);
  key.SetString(L"OSDPos", L"Sideways");
  key.SetBinary(L"OSDFont", "short", 5);
  const OsdSettings bad = loadOsdSettings(cp, kTestKey);
  EXPECT_EQ(bad.timeoutSeconds, 2u);
  EXPECT_EQ(bad.position, OsdPosition::Bottom);
  EXPECT_EQ(bad.font.face, "Arial");
  RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey.c_str());
}

HWND waitForWindow(const wchar_t* title) {
  for (int i = 0; i < 200; ++i) {
    // Visible once its initialisation is done.
    if (const HWND w = FindWindowW(nullptr, title); w && IsWindowVisible(w)) return w;
    Sleep(25);
  }
  return nullptr;
}

struct FindControl {
  int id;
  HWND found = nullptr;
};

BOOL CALLBACK matchControl(HWND w, LPARAM lp) {
  auto* f = reinterpret_cast<FindControl*>(lp);
  if (GetDlgCtrlID(w) != f->id) return TRUE;
  f->found = w;
  return FALSE;
}

HWND findDescendant(HWND parent, int id) {
  FindControl find{id};
  EnumChildWindows(parent, matchControl, reinterpret_cast<LPARAM>(&find));
  return find.found;
}

// The tray menu's entry opens the page; what the person changes there is
// stored and applied to the running display.
TEST(OsdSettingsPage, TrayEntryEditsStoresAndApplies) {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Marlix\\Vexa");
  shell::CMainWindow main;
  ASSERT_TRUE(main.Create(LoadIconW(nullptr, IDI_APPLICATION), LoadIconW(nullptr, IDI_APPLICATION)));
  std::atomic<bool> previewShown{false};
  std::thread person([&] {
    const HWND dialog = waitForWindow(L"On-screen display");
    if (!dialog) return;
    const HWND position = findDescendant(dialog, IDC_OSD_POSITION);
    SendMessageW(position, CB_SETCURSEL, 1, 0);  // Center
    SendMessageW(GetParent(position), WM_COMMAND, MAKEWPARAM(IDC_OSD_POSITION, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(position));
    SendMessageW(findDescendant(dialog, IDC_OSD_TIMEOUT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"4"));
    SendMessageW(findDescendant(dialog, IDC_OSD_EXTRA_BUTTON), BM_CLICK, 0, 0);
    SendMessageW(findDescendant(dialog, IDC_OSD_SELECTOR_COMMAND), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Menu"));
    SendMessageW(findDescendant(dialog, IDC_OSD_PREVIEW), BM_CLICK, 0, 0);
    previewShown = IsWindowVisible(FindWindowW(kBarWindowClass, nullptr)) != FALSE;
    SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  });
  main.RunMenuCommand(shell::CMainWindow::kCmdOsdSettings);
  person.join();
  EXPECT_TRUE(previewShown);
  const OsdSettings stored = loadOsdSettings(vexa::win::CSystemCodePage());
  EXPECT_EQ(stored.position, OsdPosition::Center);
  EXPECT_EQ(stored.timeoutSeconds, 4u);
  EXPECT_EQ(stored.selectorTrigger(), "Menu");
  EXPECT_EQ(main.Dispatch()->Osd().SelectorTrigger(), "Menu");
  RECT bar{};
  main.Dispatch()->Osd().ShowBar(101, 100, "Master", 1000);
  GetWindowRect(main.Dispatch()->Osd().BarWindow().Handle(), &bar);
  EXPECT_EQ(bar.top, GetSystemMetrics(SM_CYSCREEN) / 2 - 35);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Marlix\\Vexa");
}

}  // namespace
}  // namespace vexa::osd::win
