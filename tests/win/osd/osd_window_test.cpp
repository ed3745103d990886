// The bar display and the popup as display requests reach them through the
// main window: on top, never taking the focus, one window for a burst.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/one_line_mixer.h"
#include "support/win/pump.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/base/program_messages.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/exec/display_request.h"
#include "vexa/osd/osd_modes.h"
#include "vexa/osd/win/osd.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/unicode.h"

namespace vexa::osd::win {
namespace {

// A window of the program the user is in, which must keep the focus.
class CUserWindow {
 public:
  CUserWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VexaOsdTestUserWindow";
    RegisterClassW(&wc);
    m_hwnd = CreateWindowExW(0, wc.lpszClassName, L"User's program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                             200, nullptr, nullptr, wc.hInstance, nullptr);
    // Windows of earlier tests may still hand the focus around: let that settle first.
    test::pumpFor(300);
    SetForegroundWindow(m_hwnd);
    test::pumpUntil([this] { return GetForegroundWindow() == m_hwnd; }, 2000);
    test::pumpFor(200);
  }
  ~CUserWindow() { DestroyWindow(m_hwnd); }
  HWND get() const { return m_hwnd; }

 private:
  HWND m_hwnd;
};

struct ClassCount {
  const wchar_t* cls;
  int n = 0;
};

BOOL CALLBACK countClass(HWND w, LPARAM lp) {
  auto* c = reinterpret_cast<ClassCount*>(lp);
  wchar_t name[64] = L"";
  GetClassNameW(w, name, 64);
  if (lstrcmpW(name, c->cls) == 0) ++c->n;
  return TRUE;
}

int countThreadWindows(const wchar_t* className) {
  ClassCount count{className};
  EnumThreadWindows(GetCurrentThreadId(), countClass, reinterpret_cast<LPARAM>(&count));
  return count.n;
}

class OsdWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(main.Create(LoadIconW(nullptr, IDI_APPLICATION), LoadIconW(nullptr, IDI_APPLICATION)));
  }
  LRESULT send(uint32_t code, const std::string& text, int32_t value, const void* object = nullptr) {
    DisplayRequest request;
    request.code = code;
    request.text = text;
    request.value = value;
    request.object = object;
    return SendMessageW(main.Handle(), abi::kVexaMessage, ProgramMessage::kDisplayRequest,
                        reinterpret_cast<LPARAM>(&request));
  }
  COsd& osd() { return main.Dispatch()->Osd(); }

  shell::CMainWindow main;
};

TEST_F(OsdWindowTest, VolumeBarAppearsOnTopWithoutTakingTheFocus) {
  CUserWindow user;
  ASSERT_EQ(GetForegroundWindow(), user.get());
  EXPECT_EQ(send(Mode::kVolume, "Master", static_cast<int32_t>((30000u << 16) | 40000u)), 1);
  const HWND bar = FindWindowW(kBarWindowClass, nullptr);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(IsWindowVisible(bar));
  const LONG_PTR ex = GetWindowLongPtrW(bar, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_NOACTIVATE);
  EXPECT_EQ(osd().BarWindow().Caption(), L"Master Volume");
  test::pumpFor(100);
  EXPECT_EQ(GetForegroundWindow(), user.get());
  EXPECT_TRUE(osd().IsShowing(100));
  // A click on the display leaves the focus where it was too.
  EXPECT_EQ(SendMessageW(bar, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(bar), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
            MA_NOACTIVATE);
}

TEST_F(OsdWindowTest, ABurstUpdatesOneWindowAndItHidesAfterTheTimeout) {
  auto* mixer = new test::COneLineMixer("Wave");
  main.Dispatch()->Engine().Services().mixer.reset(mixer);
  for (int i = 0; i < 50; ++i) send(Mode::kVolume, "Wave", i * 1000);
  EXPECT_EQ(countThreadWindows(kBarWindowClass), 1);
  mixer->muted = true;  // the display asks the line
  send(Mode::kMute, "Wave", 0);
  EXPECT_TRUE(osd().BarWindow().Muted());
  EXPECT_EQ(countThreadWindows(kBarWindowClass), 1);
  // Time-out: the OSD's (1 s here) plus one second for mixer bars.
  OsdSettings quick;
  quick.timeoutSeconds = 1;
  osd().ApplySettings(quick, 500);
  send(Mode::kBass, "Wave", 100);
  EXPECT_TRUE(test::pumpUntil([&] { return !osd().IsShowing(100); }, 4000));
  EXPECT_FALSE(IsWindowVisible(osd().BarWindow().Handle()));
}

TEST_F(OsdWindowTest, HideRequestEndsTheShutdownDisplayWithItsOwnOutcome) {
  std::vector<int32_t> heard;
  ASSERT_TRUE(osd().ShowShutdown("Shutdown", 15, 15, [&](uint32_t, int32_t v) { heard.push_back(v); }));
  EXPECT_EQ(osd().BarWindow().Caption(), L"Shutdown 15 sec");
  EXPECT_TRUE(osd().IsShowing(Mode::kShutdown));
  send(Mode::kHide, "", 0);
  EXPECT_EQ(heard, std::vector<int32_t>{15});
  EXPECT_FALSE(IsWindowVisible(osd().BarWindow().Handle()));
}

TEST_F(OsdWindowTest, TransparentBackgroundMakesALayeredWindow) {
  OsdSettings clear;
  clear.backgroundColour = OsdSettings::kTransparent;
  osd().ApplySettings(clear, 500);
  send(Mode::kTreble, "Master", 1000);
  const HWND bar = osd().BarWindow().Handle();
  ASSERT_TRUE(bar);
  EXPECT_TRUE(GetWindowLongPtrW(bar, GWL_EXSTYLE) & WS_EX_LAYERED);
  COLORREF key = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(bar, &key, nullptr, &flags));
  EXPECT_EQ(key, RGB(255, 0, 255));
  EXPECT_TRUE(flags & LWA_COLORKEY);
  osd().ApplySettings(OsdSettings{}, 500);  // back to opaque: a plain window again
  send(Mode::kTreble, "Master", 1000);
  EXPECT_FALSE(GetWindowLongPtrW(osd().BarWindow().Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_EQ(countThreadWindows(kBarWindowClass), 1);
}

TEST_F(OsdWindowTest, TitlePopupWrapsALongTitleWithoutTakingTheFocus) {
  CUserWindow user;
  std::string title;
  for (int i = 0; i < 12; ++i)
    title += "A very long window title that cannot possibly fit on one line of the popup, so it is broken. ";
  title += "\r\nand a second paragraph";
  EXPECT_EQ(send(Mode::kTitlePopup, title, 0, user.get()), 1);
  const HWND popup = FindWindowW(kPopupWindowClass, nullptr);
  ASSERT_TRUE(popup);
  EXPECT_TRUE(IsWindowVisible(popup));
  // Wrapped, and cut at the popup's limit of lines, which it grows to hold.
  EXPECT_EQ(osd().PopupWindow().Lines().size(), static_cast<size_t>(COsdPopupWindow::kMaxLines));
  RECT r{};
  GetWindowRect(popup, &r);
  EXPECT_GT(r.bottom - r.top, 70);
  EXPECT_EQ(GetForegroundWindow(), user.get());
  EXPECT_TRUE(test::pumpUntil([&] { return !IsWindowVisible(popup); }, 4000));
}

// A shell lists every visible window that has no owner (Wine's taskbar
// even a tool window): the displays are owned by a window never shown.
TEST_F(OsdWindowTest, NeitherDisplayIsAWindowTheTaskbarLists) {
  ASSERT_EQ(send(Mode::kVolume, "Master", 40000), 1);
  ASSERT_EQ(send(Mode::kTitlePopup, "Notes", 0, main.Handle()), 1);
  for (const wchar_t* cls : {kBarWindowClass, kPopupWindowClass}) {
    const HWND display = FindWindowW(cls, nullptr);
    ASSERT_NE(display, nullptr);
    EXPECT_TRUE(IsWindowVisible(display));
    const HWND owner = GetWindow(display, GW_OWNER);
    EXPECT_NE(owner, nullptr);
    EXPECT_FALSE(IsWindowVisible(owner));
  }
}

}  // namespace
}  // namespace vexa::osd::win
