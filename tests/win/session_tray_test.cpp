// The main window's helpers for session changes and the tray icon, on a real window.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/win/pump.h"
#include "vexa/shell/win/session_watch.h"
#include "vexa/shell/win/tray_state.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/shell_folders.h"
#include "vexa/winlib/window.h"

namespace vexa::shell {
namespace {

using test::pumpUntil;

// A top-level window that hands its timers and session changes to the test.
class CHostWindow : public win::CWindow {
 public:
  std::function<bool(UINT_PTR)> onTimer;
  std::function<void(WPARAM)> onSessionChange;

  bool Create() {
    return RegisterWindowClass(L"VexaShellPartsTest") &&
           CWindow::Create(L"VexaShellPartsTest", L"Vexa shell parts test", WS_OVERLAPPEDWINDOW);
  }
  ~CHostWindow() override { Destroy(); }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_TIMER && onTimer && onTimer(wp)) return 0;
    if (msg == WM_WTSSESSION_CHANGE && onSessionChange) {
      onSessionChange(wp);
      return 0;
    }
    return CWindow::OnMessage(msg, wp, lp);
  }
};

class SessionWatchTest : public ::testing::Test {
 protected:
  static constexpr UINT_PTR kTimer = 4;
  static constexpr unsigned kDelayMs = 300;

  void SetUp() override { ASSERT_TRUE(window.Create()); }

  SessionHooks Hooks() {
    auto record = [this](const char* what) { return [this, what] { calls.push_back(what); }; };
    return {record("unload"), record("stop server"), record("reload"), record("start"), record("start server")};
  }

  void Attach(CSessionWatch& watch) {
    window.onTimer = [&watch](UINT_PTR id) { return watch.OnTimer(id); };
    window.onSessionChange = [&watch](WPARAM code) { watch.OnSessionChange(code); };
  }

  CHostWindow window;
  std::vector<std::string> calls;
};

TEST_F(SessionWatchTest, LockAndUnlockStopAndRestartTheDeviceAndServer) {
  CSessionWatch watch(window.Handle(), kTimer, Hooks(), kDelayMs);
  EXPECT_TRUE(watch.Register());  // wtsapi32 is there
  Attach(watch);
  window.Send(WM_WTSSESSION_CHANGE, 7);
  EXPECT_EQ(calls, (std::vector<std::string>{"unload", "stop server"}));
  window.Send(WM_WTSSESSION_CHANGE, 8);
  EXPECT_EQ(calls, (std::vector<std::string>{"unload", "stop server", "reload", "start", "start server"}));
}

TEST_F(SessionWatchTest, ConsoleConnectRestartsLaterWithoutHoldingTheThread) {
  CSessionWatch watch(window.Handle(), kTimer, Hooks(), kDelayMs);
  Attach(watch);
  window.Send(WM_WTSSESSION_CHANGE, 2);
  window.Send(WM_WTSSESSION_CHANGE, 1);
  // The send came back at once, with nothing restarted yet: the wait is a timer.
  EXPECT_EQ(calls.size(), 2u);
  EXPECT_TRUE(watch.State().WaitingForConnect());
  ASSERT_TRUE(pumpUntil([&] { return calls.size() == 5; }, 5000));
  EXPECT_EQ(calls.back(), "start server");
  EXPECT_FALSE(watch.State().Suspended());
  // The timer was one-shot.
  test::pumpFor(2 * kDelayMs);
  EXPECT_EQ(calls.size(), 5u);
}

TEST_F(SessionWatchTest, MissingLibraryIsSkippedSilently) {
  CSessionWatch watch(window.Handle(), kTimer, Hooks(), kDelayMs, L"no_such_wtsapi.dll");
  EXPECT_FALSE(watch.Register());
  EXPECT_FALSE(watch.Registered());
  Attach(watch);
  window.Send(WM_WTSSESSION_CHANGE, 7);  // a change still works if it arrives
  EXPECT_EQ(calls.size(), 2u);
}

// The tray icons come from vexa.exe's own resources.
class TrayStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(window.Create());
    program.Attach(LoadLibraryExW((win::programFolder() / VEXA_EXE_FROM_TESTS).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(program.IsValid());
    ASSERT_TRUE(icons.Load(program.Get()));
  }

  CHostWindow window;
  win::CModule program;
  TrayIcons icons;
  win::CNotifyIcon tray;
};

TEST_F(TrayStateTest, ProgramHasThreeDistinctTrayIcons) {
  EXPECT_NE(icons.idle.Get(), icons.ready.Get());
  EXPECT_NE(icons.ready.Get(), icons.busy.Get());
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icons.busy.Get(), &info));
  BITMAP bitmap{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));  // the tray's size, not scaled from another
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
}

TEST_F(TrayStateTest, BusyFlashEndsOnTheTimerWithTheCurrentState) {
  ASSERT_TRUE(tray.Add(window.Handle(), 543, 0x464, icons.idle.Get(), L"Vexa"));
  CTrayState state(tray, icons, window.Handle());
  window.onTimer = [&state](UINT_PTR id) { return state.OnTimer(id); };
  state.SetReady(true);
  EXPECT_EQ(state.Shown(), TrayIcon::Ready);
  state.Flash();
  EXPECT_EQ(state.Shown(), TrayIcon::Busy);
  EXPECT_EQ(state.IconOf(state.Shown()), icons.busy.Get());
  state.SetReady(false);  // the device stops during the flash
  EXPECT_EQ(state.Shown(), TrayIcon::Busy);
  ASSERT_TRUE(pumpUntil([&] { return state.Shown() != TrayIcon::Busy; }, 3000));
  EXPECT_EQ(state.Shown(), TrayIcon::Idle);
}

}  // namespace
}  // namespace vexa::shell
