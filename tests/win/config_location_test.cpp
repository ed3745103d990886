#include "vexa/shell/win/config_location.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace vexa::shell {
namespace {

namespace fs = std::filesystem;

class ConfigLocationTest : public ::testing::Test {
 protected:
  test::CTempFolder temp;
  fs::path appData = temp.path() / "AppData";
  fs::path program = temp.path() / "Program";
  fs::path perUser = appData / "Vexa" / "current.vcp";
  fs::path legacy = program / "current.vcp";

  void SetUp() override {
    fs::create_directories(appData);
    fs::create_directories(program);
  }
};

TEST_F(ConfigLocationTest, UsesPerUserFolderAndCreatesIt) {
  EXPECT_EQ(locateConfigFile(appData, program), perUser);
  EXPECT_TRUE(fs::is_directory(appData / "Vexa"));
  EXPECT_FALSE(fs::exists(perUser));
}

TEST_F(ConfigLocationTest, MovesProgramFolderFileIntoPerUserFolder) {
  test::writeFile(legacy, "old install");

  EXPECT_EQ(locateConfigFile(appData, program), perUser);
  EXPECT_EQ(test::readFile(perUser), "old install");
  EXPECT_FALSE(fs::exists(legacy));
}

TEST_F(ConfigLocationTest, KeepsExistingPerUserFileAndStillRemovesProgramFolderFile) {
  test::writeFile(perUser, "user's own");
  test::writeFile(legacy, "old install");

  EXPECT_EQ(locateConfigFile(appData, program), perUser);
  EXPECT_EQ(test::readFile(perUser), "user's own");
  EXPECT_FALSE(fs::exists(legacy));
}

TEST_F(ConfigLocationTest, FallsBackToProgramFolderWithoutAppData) {
  test::writeFile(legacy, "old install");

  EXPECT_EQ(locateConfigFile(std::nullopt, program), legacy);
  EXPECT_EQ(locateConfigFile(fs::path(), program), legacy);
  EXPECT_EQ(test::readFile(legacy), "old install");
}

TEST_F(ConfigLocationTest, KeepsProgramFolderFileWhenPerUserFolderCannotBeMade) {
  // A file where the folder should be makes the folder impossible.
  test::writeFile(appData / "Vexa", "in the way");
  test::writeFile(legacy, "old install");

  EXPECT_EQ(locateConfigFile(appData, program), legacy);
  EXPECT_EQ(test::readFile(legacy), "old install");
}

}  // namespace
}  // namespace vexa::shell
