#include "vexa/shell/tray_icon_state.h"

#include <gtest/gtest.h>

namespace vexa::shell {
namespace {

TEST(TrayIconState, FlashShowsBusyThenTheStateIcon) {
  CTrayIconState tray;
  EXPECT_EQ(tray.Shown(), TrayIcon::Idle);
  EXPECT_EQ(tray.SetReady(true), TrayIcon::Ready);
  EXPECT_EQ(tray.SetReady(true), std::nullopt);  // no needless shell call
  EXPECT_EQ(tray.Flash(), TrayIcon::Busy);
  EXPECT_EQ(tray.Flash(), std::nullopt);  // a second start while busy
  EXPECT_EQ(tray.FlashEnded(), TrayIcon::Ready);
  EXPECT_EQ(tray.FlashEnded(), std::nullopt);
}

TEST(TrayIconState, StateChangeDuringAFlashShowsAfterIt) {
  CTrayIconState tray;
  tray.SetReady(true);
  tray.Flash();
  EXPECT_EQ(tray.SetReady(false), std::nullopt);  // the busy icon stays for its time
  EXPECT_EQ(tray.Shown(), TrayIcon::Busy);
  EXPECT_EQ(tray.FlashEnded(), TrayIcon::Idle);   // not the stale ready icon
}

TEST(TrayMenu, TheDeviceItemStopsARunningDeviceAndStartsAStoppedOne) {
  const DeviceMenuItem running = deviceMenuItem(true, true);
  EXPECT_EQ(std::wstring(running.text), L"&Deactivate");
  EXPECT_TRUE(running.enabled);  // whichever generation the plug-in is
  EXPECT_FALSE(running.activates);
  const DeviceMenuItem stopped = deviceMenuItem(true, false);
  EXPECT_EQ(std::wstring(stopped.text), L"&Activate");
  EXPECT_TRUE(stopped.enabled);
  EXPECT_TRUE(stopped.activates);
  const DeviceMenuItem keyboard = deviceMenuItem(false, false);
  EXPECT_EQ(std::wstring(keyboard.text), L"&Deactivate");
  EXPECT_FALSE(keyboard.enabled);
}

TEST(TrayTip, LongTextsAreCutTo60CharactersAndThreeDots) {
  const std::wstring seventy(70, L'x');
  EXPECT_EQ(trayTipText(seventy, L"Vexa"), std::wstring(60, L'x') + L"...");
  EXPECT_EQ(trayTipText(std::wstring(63, L'y'), L"Vexa"), std::wstring(63, L'y'));  // fits whole
  EXPECT_EQ(trayTipText(std::wstring(64, L'z'), L"Vexa"), std::wstring(60, L'z') + L"...");
  EXPECT_EQ(trayTipText(L"Ready", L"Vexa"), L"Ready");
  EXPECT_EQ(trayTipText(L"", L"Vexa"), L"Vexa");
}

}  // namespace
}  // namespace vexa::shell
