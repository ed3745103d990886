#include "vexa/shell/win/command_config.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/model/cmd_tree_store.h"
#include "vexa/presets/current_config.h"
#include "vexa/shell/win/registry_profile.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/system_code_page.h"

namespace vexa::shell {
namespace {

constexpr const char* kOneMisplacedKey =
    "[Commands]\n[Commands\\TV]\nID=0\n[Commands\\TV\\Mute]\nID=1\n"
    "[Commands\\TV\\Mute\\Layout 1]\nHotKey=0\nIndex=0\nFlags=0\nID=1\n"
    "[Commands\\Stray]\nID=1\n";

class CommandConfigTest : public ::testing::Test {
 protected:
  test::CTempFolder temp;
  win::CSystemCodePage codePage;
  std::vector<std::string> reports, questions;
  bool answer = false;
  std::function<void(const std::string&)> report = [this](const std::string& e) { reports.push_back(e); };
  std::function<bool(const std::string&)> ask = [this](const std::string& q) {
    questions.push_back(q);
    return answer;
  };
};

TEST_F(CommandConfigTest, AFileWithAMisplacedKeyLoadsTheRestAndIsReplacedOnlyWhenTheUserAgrees) {
  const auto file = temp.path() / "current.vcp";
  test::writeFile(file, kOneMisplacedKey);
  CCurrentConfig config(file, codePage);
  CCmdTree tree;
  loadCurrentConfig(config, tree, report);
  ASSERT_NE(tree.findRemote("TV"), nullptr);  // what loaded is kept, not thrown away
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("Commands\\Stray"), std::string::npos) << reports[0];

  EXPECT_FALSE(saveCurrentConfig(config, tree, ask));  // No: nothing written
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find("current.vcp.bak"), std::string::npos);
  EXPECT_EQ(test::readFile(file), kOneMisplacedKey);
  EXPECT_FALSE(std::filesystem::exists(config.backupFile()));

  answer = true;
  EXPECT_TRUE(saveCurrentConfig(config, tree, ask));
  EXPECT_EQ(test::readFile(config.backupFile()), kOneMisplacedKey);
  EXPECT_TRUE(saveCurrentConfig(config, tree, ask));  // asked once only
  EXPECT_EQ(questions.size(), 2u);
}

TEST_F(CommandConfigTest, CleanAndMissingFilesLoadWithoutAWord) {
  const auto file = temp.path() / "current.vcp";
  CCurrentConfig missing(file, codePage);
  CCmdTree tree;
  loadCurrentConfig(missing, tree, report);
  EXPECT_TRUE(tree.empty());
  test::writeFile(file, "[Commands]\n[Commands\\TV]\nID=0\n");
  CCurrentConfig clean(file, codePage);
  loadCurrentConfig(clean, tree, report);
  EXPECT_NE(tree.findRemote("TV"), nullptr);
  EXPECT_TRUE(reports.empty());
  EXPECT_TRUE(saveCurrentConfig(clean, tree, ask));
  EXPECT_TRUE(questions.empty());
}

TEST_F(CommandConfigTest, RememberedLayoutsGoThroughTheRegistryAndStaleOnesAreDropped) {
  const std::wstring programKey = L"Software\\Marlix\\VexaTest\\Profile" + std::to_wstring(GetCurrentProcessId());
  CRegistryProfile profile(programKey);
  CCmdTree tree;
  CCmdItem& remote = tree.insertRemote("TV");
  auto folder = std::make_unique<APPFOLDER>("Player");
  folder->flags = APPFOLDER::kRememberLayout;
  CCmdItem& folderItem = tree.insertFolder(remote, std::move(folder));
  auto command = std::make_unique<CCmdArray>("Play");
  command->addLayout("Second");
  CCmdArray& play = *command;
  tree.insertCommand(folderItem, std::move(command));
  play.switchToLayout(1);

  profile.writeInt("Commands\\TV\\Gone\\Old", "ActiveLayout", 3);
  storeActiveLayouts(tree, profile, true);
  win::CRegKey key;
  ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, programKey + L"\\Commands\\TV\\Player\\Play"));
  EXPECT_EQ(key.QueryDword(L"ActiveLayout"), 1u);
  EXPECT_FALSE(win::CRegKey().Open(HKEY_CURRENT_USER, programKey + L"\\Commands\\TV\\Gone"));

  play.switchToLayout(0);
  restoreActiveLayouts(tree, profile);
  EXPECT_EQ(play.activeLayoutNumber(), 1);
  win::CRegKey root;
  if (root.Open(HKEY_CURRENT_USER, L"Software\\Marlix", KEY_ALL_ACCESS)) root.DeleteTree(L"VexaTest");
}

}  // namespace
}  // namespace vexa::shell
