// A preset's command part loaded into the running program: the window's
// editor and the device host follow what the file holds.
#include "main_window_host_test.h"

#include "vexa/model/cmd_tree.h"
#include "vexa/shell/win/command_pages.h"
#include "vexa/shell/win/command_part_load.h"
#include "vexa/shell/win/command_tree_editor.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/winlib/unicode.h"

namespace vexa::test {
namespace {

class CommandPartLoadTest : public MainWindowHostTest {
 protected:
  void TearDown() override {
    window.SetCommandTree(nullptr);
    MainWindowHostTest::TearDown();
  }
  bool load(const std::string& text, const std::function<void(const std::string&)>& tell) {
    const std::filesystem::path file = appData.path() / "Loaded.vcp";
    writeFile(file, text);
    return shell::loadCommandPartIntoProgram(window, tree, *host, file, codePage, tell);
  }

  CCmdTree tree;
  win::CSystemCodePage codePage;
};

TEST_F(CommandPartLoadTest, WhileItsProblemsAreToldTheWindowShowsOnlyTheLoadedTree) {
  makeHost();
  CCmdItem& power = tree.insertCommand(tree.insertRemote("TV"), std::make_unique<CCmdArray>("Power"));
  window.SetCommandTree(&tree);
  window.TreeEditor()->Select(&power);
  ASSERT_EQ(window.Pages()->Current(), shell::CCommandPages::Shown::Command);

  // "Stray" is a command outside any remote: a problem; "Den" loads.
  std::vector<std::wstring> listed;
  bool told = false;
  EXPECT_FALSE(load("[Commands\\Den]\nID=0\n[Commands\\Stray]\nID=1\n[Commands\\Stray\\Layout 1]\nID=1\n",
                    [&](const std::string& problems) {
                      told = true;
                      EXPECT_NE(problems.find("Commands\\Stray"), std::string::npos) << problems;
                      const win::CTreeView& view = window.TreeView();
                      for (HTREEITEM item = view.Root(); item; item = view.NextSibling(item))
                        listed.push_back(view.ItemText(item));
                      EXPECT_NE(window.Pages()->Current(), shell::CCommandPages::Shown::Command);
                    }));
  EXPECT_TRUE(told);
  EXPECT_EQ(listed, std::vector<std::wstring>{L"Den"});
}

TEST_F(CommandPartLoadTest, ALegacyFileSelectsAndStartsThePlugInItNames) {
  writeGood2Settings(0, "");
  makeHost();
  window.SetCommandTree(&tree);
  EXPECT_TRUE(load("[Vexa Config]\r\nFormatVersion=1.0\r\nPlugIn=Fake Receiver\r\nCmdCount=1\r\n"
                   "[Play@Remote1#1]\r\nAction=Execute application\r\nFilename=player.exe\r\n",
                   [](const std::string& problems) { ADD_FAILURE() << problems; }));
  EXPECT_NE(tree.findRemote("Remote1"), nullptr);
  EXPECT_EQ(host->DeviceName(), "Fake Receiver");
  EXPECT_TRUE(pumpUntil([&] { return host->IsRunning(); }));
  host->StopSession();
}

TEST_F(CommandPartLoadTest, HeldButtonSettingsComeWithTheirPresetAndOnesThatNameNothingAreToldOnce) {
  makeHost();
  window.SetCommandTree(&tree);
  const std::string commands =
      "[Commands\\TV]\nID=0\n"
      "[Commands\\TV\\Power]\nID=1\n[Commands\\TV\\Power\\Layout 1]\nID=1\n"
      "[Commands\\TV\\Standby]\nID=1\n[Commands\\TV\\Standby\\Layout 1]\nID=1\n";
  writeFile(appData.path() / "Loaded.holds",
            "[TV\\Power]\r\nHoldMs=800\r\nCommand=TV\\Standby\r\n[TV\\Gone]\r\nHoldMs=800\r\nCommand=TV\\Power\r\n");
  ASSERT_TRUE(load(commands, [](const std::string& problems) { ADD_FAILURE() << problems; }));
  const CCmdItem* power = findCommandByPath(tree, "TV\\Power");
  ASSERT_NE(power, nullptr);
  const HoldSetting* hold = tree.holds().find(*power->command());
  ASSERT_NE(hold, nullptr);
  EXPECT_EQ(hold->holdMs, 800u);
  EXPECT_EQ(hold->target, findCommandByPath(tree, "TV\\Standby")->command());
  EXPECT_NE(window.StatusText().find(L"Loaded.holds: held-button setting ignored, \"TV\\Gone\""), std::wstring::npos)
      << win::toUtf8(window.StatusText());

  // Another preset without settings of its own leaves none of the first one's behind.
  std::filesystem::remove(appData.path() / "Loaded.holds");
  ASSERT_TRUE(load(commands, [](const std::string& problems) { ADD_FAILURE() << problems; }));
  EXPECT_TRUE(tree.holds().empty());
}

}  // namespace
}  // namespace vexa::test
