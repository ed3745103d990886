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

}  // namespace
}  // namespace vexa::shell
