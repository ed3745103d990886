#include "vexa/shell/win/command_config.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "vexa/model/cmd_tree.h"

namespace vexa::shell {
namespace {

class CommandConfigTest : public ::testing::Test {
 protected:
  test::CTempFolder temp;
  std::vector<std::string> errors;
  std::function<void(const std::string&)> report = [this](const std::string& e) {
    errors.push_back(e);
  };
};

TEST_F(CommandConfigTest, LoadsRemotesFromTheFile) {
  const auto file = temp.path() / "current.vcp";
  test::writeFile(file,
                  "[Commands]\n[Commands\\TV]\nID=0\n[Commands\\TV\\Mute]\nID=1\n"
                  "[Commands\\TV\\Mute\\Layout 1]\nHotKey=0\nIndex=0\nFlags=0\nID=1\n");
  const auto tree = loadCommandTree(file, report);
  EXPECT_TRUE(errors.empty());
  ASSERT_EQ(tree->remotes().size(), 1u);
  EXPECT_EQ(tree->remotes()[0]->label(), "TV");
}

TEST_F(CommandConfigTest, MissingFileStartsEmptyWithoutComplaint) {
  const auto tree = loadCommandTree(temp.path() / "current.vcp", report);
  EXPECT_TRUE(errors.empty());
  EXPECT_TRUE(tree->remotes().empty());
}

TEST_F(CommandConfigTest, BrokenFileIsReportedStartsEmptyAndStaysOnDisk) {
  const auto file = temp.path() / "current.vcp";
  // A binary key tree cut off inside its first key name.
  const std::string broken("\x01\x00\x00\x00\x00\x00\x40" "Comm", 11);
  test::writeFile(file, broken);
  const auto tree = loadCommandTree(file, report);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("current.vcp"), std::string::npos) << errors[0];
  EXPECT_TRUE(tree->remotes().empty());
  EXPECT_EQ(test::readFile(file), broken);
}

}  // namespace
}  // namespace vexa::shell
