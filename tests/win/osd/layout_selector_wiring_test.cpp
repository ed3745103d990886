// The layout selector on the road of a press: the main window's command
// start, the engine's requests (code 301), the selector's timers, and the
// chosen layout's run confirmed by the command popup.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/win/pump.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/catalogue.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/osd/win/osd.h"
#include "vexa/shell/win/command_dispatch.h"
#include "vexa/shell/win/main_window.h"

namespace vexa::osd::win {
namespace {

// A quick action that succeeds, so that the run confirms it with the command popup.
void addQuickAction(CCmdArray& layout) {
  auto action = std::make_unique<CMD>();
  action->name = "Quick";
  action->typeName = std::string(kExecuteApplication);
  action->fileName = "cmd.exe";
  action->param = "/c exit";
  layout.appendAction(std::move(action));
}

class SelectorWiringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(main.Create(LoadIconW(nullptr, IDI_APPLICATION), LoadIconW(nullptr, IDI_APPLICATION)));
    CCmdItem& remote = tree.insertRemote("Remote");
    auto play = std::make_unique<CCmdArray>("Play");
    addQuickAction(*play);
    addQuickAction(play->addLayout("Video"));
    playItem = &tree.appendCommand(remote, std::move(play));
    tree.appendCommand(remote, std::make_unique<CCmdArray>("Stop"));
    main.SetCommandTree(&tree);
  }
  void TearDown() override { main.SetCommandTree(nullptr); }
  void settings(SelectorMode mode) {
    shell::DispatchSettings s;
    s.typematicDelayMs = 100;
    s.osd.timeoutSeconds = 1;
    s.osd.selectorMode = mode;
    s.osd.selectorCommand = "Stop";
    main.Dispatch()->ApplySettings(s);
  }
  CCmdArray& play() { return *playItem->command(); }
  COsd& osd() { return main.Dispatch()->Osd(); }
  bool popupShows(const std::wstring& title) {
    return osd().PopupWindow().IsCreated() && IsWindowVisible(osd().PopupWindow().Handle()) &&
           osd().PopupWindow().Title() == title;
  }
  void press(const std::string& command, int repeat) {
    main.StartCommand("Remote", command, repeat);
    // The run's requests come back from its thread: all are in once it has ended.
    ASSERT_TRUE(test::pumpUntil([&] { return !main.Dispatch()->Engine().Busy(); }, 5000));
    test::pumpPending();
  }

  shell::CMainWindow main;
  CCmdTree tree;
  CCmdItem* playItem = nullptr;
};

TEST_F(SelectorWiringTest, ShortPressRunsTheCurrentLayoutAfterTheHold) {
  settings(SelectorMode::SingleButton);
  press("Play", 0);
  EXPECT_TRUE(osd().SelectorActive());
  EXPECT_FALSE(popupShows(L"Play"));  // held back
  EXPECT_TRUE(test::pumpUntil([&] { return popupShows(L"Play"); }, 3000));
  EXPECT_EQ(play().activeLayoutNumber(), 0);
  EXPECT_FALSE(osd().SelectorActive());
}

TEST_F(SelectorWiringTest, HoldingShowsTheSelectorAndAPressChoosesTheNextLayout) {
  settings(SelectorMode::SingleButton);
  press("Play", 0);
  press("Play", 1);
  EXPECT_TRUE(IsWindowVisible(osd().BarWindow().Handle()));
  EXPECT_EQ(osd().BarWindow().Caption(), L"Play:  Layout 1");
  EXPECT_EQ(main.StatusText(), L"Layout Selector: Layout 1");
  press("Play", 2);
  press("Play", 0);
  EXPECT_EQ(osd().BarWindow().Caption(), L"Play:  Video");
  EXPECT_TRUE(test::pumpUntil([&] { return popupShows(L"Play"); }, 4000));
  EXPECT_EQ(play().activeLayoutNumber(), 1);
  EXPECT_FALSE(IsWindowVisible(osd().BarWindow().Handle()));
}

TEST_F(SelectorWiringTest, ACommandDeletedWhileHeldNeverRuns) {
  settings(SelectorMode::SingleButton);
  press("Play", 0);
  ASSERT_TRUE(osd().SelectorActive());
  tree.deleteItem(*playItem);
  test::pumpFor(1200);
  EXPECT_FALSE(popupShows(L"Play"));
  EXPECT_FALSE(osd().SelectorActive());
}

TEST_F(SelectorWiringTest, ExtraButtonModeOpensOnItsCommand) {
  settings(SelectorMode::ExtraButton);
  press("Play", 0);  // closed: runs at once
  EXPECT_TRUE(test::pumpUntil([&] { return popupShows(L"Play"); }, 2000));
  osd().PopupWindow().Hide();
  press("Stop", 0);
  EXPECT_TRUE(IsWindowVisible(osd().BarWindow().Handle()));
  EXPECT_EQ(osd().BarWindow().Caption(), L"Press command button to select layout.");
  EXPECT_FALSE(popupShows(L"Stop"));  // the trigger itself does not run
  press("Play", 0);
  EXPECT_EQ(osd().BarWindow().Caption(), L"Play:  Layout 1");
  press("Play", 0);
  EXPECT_EQ(osd().BarWindow().Caption(), L"Play:  Video");
  EXPECT_TRUE(test::pumpUntil([&] { return popupShows(L"Play"); }, 3000));
  EXPECT_EQ(play().activeLayoutNumber(), 1);
}

}  // namespace
}  // namespace vexa::osd::win
