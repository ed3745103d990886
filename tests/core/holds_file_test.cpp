#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/temp_folder.h"
#include "vexa/base/windows_1252.h"
#include "vexa/presets/current_config.h"
#include "vexa/presets/holds_file.h"
#include "vexa/presets/preset_store.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

// TV: Caf\u00e9, Play, Player\Pause.
void build(CCmdTree& tree) {
  CCmdItem& tv = tree.insertRemote("TV");
  CCmdItem& player = tree.insertFolder(tv, APPFOLDER::createNew("Player"));
  for (const char* name : {"Caf\xC3\xA9", "Play"}) tree.insertCommand(tv, std::make_unique<CCmdArray>(name));
  tree.insertCommand(player, std::make_unique<CCmdArray>("Pause"));
}

const CCmdArray& at(const CCmdTree& tree, const char* path) {
  const CCmdItem* item = findCommandByPath(tree, path);
  EXPECT_TRUE(item) << path;
  return *item->command();
}

void hold(CCmdTree& tree, const char* path, uint32_t ms, const char* target) {
  ASSERT_EQ(tree.holds().set(tree, *findCommandByPath(tree, path), ms, &at(tree, target)),
            CHoldTable::SetResult::Set);
}

class HoldsFileTest : public ::testing::Test {
 protected:
  HoldsFileTest() { build(tree); }
  test::CTempFolder dir;
  CWindows1252 codePage;
  CCmdTree tree;
};

TEST_F(HoldsFileTest, SavedSettingsLoadIntoTheSameTree) {
  hold(tree, "TV\\Play", 400, "TV\\Player\\Pause");
  hold(tree, "TV\\Player\\Pause", 5000, "TV\\Caf\xC3\xA9");
  const fs::path file = dir / "holds.ini";
  saveHolds(file, tree, codePage);
  EXPECT_NE(test::readFile(file).find("[TV\\Play]\r\nHoldMs=400\r\nCommand=TV\\Player\\Pause\r\n"), std::string::npos);
  EXPECT_NE(test::readFile(file).find("Command=TV\\Caf\xE9\r\n"), std::string::npos);  // in the code page

  CCmdTree loaded;
  build(loaded);
  const HoldsLoadResult result = loadHolds(file, loaded, codePage);
  EXPECT_EQ(holdsIgnoredStatus(file, result), "");
  ASSERT_EQ(loaded.holds().size(), 2u);
  const HoldSetting* pause = loaded.holds().find(at(loaded, "TV\\Player\\Pause"));
  ASSERT_TRUE(pause);
  EXPECT_EQ(pause->holdMs, 5000u);
  EXPECT_EQ(pause->target, &at(loaded, "TV\\Caf\xC3\xA9"));
  EXPECT_EQ(loaded.holds().find(at(loaded, "TV\\Play"))->target, &at(loaded, "TV\\Player\\Pause"));
}

TEST_F(HoldsFileTest, NoFileIsNoSettingsAndNoSettingsIsNoFile) {
  hold(tree, "TV\\Play", 400, "TV\\Player\\Pause");
  const fs::path file = dir / "holds.ini";
  const HoldsLoadResult result = loadHolds(file, tree, codePage);
  EXPECT_TRUE(tree.holds().empty());
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(holdsIgnoredStatus(file, result), "");

  test::writeFile(file, "[TV\\Play]\r\nHoldMs=400\r\nCommand=TV\\Menu\r\n");
  saveHolds(file, tree, codePage);
  EXPECT_FALSE(fs::exists(file));
  EXPECT_NO_THROW(saveHolds(file, tree, codePage));
}

TEST_F(HoldsFileTest, SettingsForMissingCommandsAreReportedOnceAndWrittenBack) {
  const fs::path file = dir / "holds.ini";
  const std::string gone = "[TV\\Gone]\r\nHoldMs=500\r\nCommand=TV\\Play\r\n";
  test::writeFile(file, gone + "[TV\\Play]\r\nHoldMs=900\r\nCommand=TV\\Eject\r\n"
                               "[TV\\Player\\Pause]\r\nHoldMs=300\r\nCommand=TV\\Play\r\n");
  const HoldsLoadResult result = loadHolds(file, tree, codePage);
  EXPECT_EQ(result.ignored.size(), 2u);
  EXPECT_EQ(holdsIgnoredStatus(file, result),
            "holds.ini: held-button setting ignored, \"TV\\Gone\" is not a command (and 1 more)");
  EXPECT_EQ(tree.holds().size(), 1u);

  saveHolds(file, tree, codePage);
  const std::string written = test::readFile(file);
  EXPECT_NE(written.find(gone), std::string::npos);
  EXPECT_NE(written.find("[TV\\Play]\r\nHoldMs=900\r\nCommand=TV\\Eject\r\n"), std::string::npos);
  EXPECT_NE(written.find("[TV\\Player\\Pause]\r\nHoldMs=300\r\nCommand=TV\\Play\r\n"), std::string::npos);
}

TEST_F(HoldsFileTest, TheCurrentConfigurationKeepsHoldsIniBesideIt) {
  hold(tree, "TV\\Play", 400, "TV\\Player\\Pause");
  CCurrentConfig config(dir / "current.vcp", codePage);
  EXPECT_EQ(config.holdsFile(), dir / "holds.ini");
  config.save(tree);
  ASSERT_TRUE(fs::exists(dir / "holds.ini"));

  CCmdTree loaded;
  CCurrentConfig again(dir / "current.vcp", codePage);
  ASSERT_TRUE(again.load(loaded).ok);
  EXPECT_TRUE(again.holdsLoad().ignored.empty());
  const HoldSetting* play = loaded.holds().find(at(loaded, "TV\\Play"));
  ASSERT_TRUE(play);
  EXPECT_EQ(play->target, &at(loaded, "TV\\Player\\Pause"));

  loaded.holds().clear();
  again.save(loaded);
  EXPECT_FALSE(fs::exists(dir / "holds.ini"));
}

TEST_F(HoldsFileTest, PresetsRenameAndDeleteTheirHoldsWithTheCommandPart) {
  const fs::path root = dir.path();
  fs::create_directories(presetsFolder(root));
  const auto file = [&](const char* name, bool device) { return presetFile(root, name, device); };
  for (bool device : {false, true}) test::writeFile(file("Living", device), "x");
  test::writeFile(presetHoldsFile(file("Living", false)), "holds");

  EXPECT_FALSE(renamePreset(root, "Living", "Den", PresetType::DeviceConfiguration));
  EXPECT_TRUE(fs::exists(presetHoldsFile(file("Living", false))));
  EXPECT_FALSE(renamePreset(root, "Living", "Den", PresetType::ActionConfiguration));
  EXPECT_FALSE(fs::exists(presetHoldsFile(file("Living", false))));
  EXPECT_EQ(test::readFile(presetHoldsFile(file("Den", false))), "holds");
  EXPECT_EQ(presetHoldsFile(file("Den", false)).filename(), "Den.holds");

  EXPECT_TRUE(deletePreset(root, "Den", PresetType::DeviceConfiguration));
  EXPECT_TRUE(fs::exists(presetHoldsFile(file("Den", false))));
  EXPECT_TRUE(deletePreset(root, "Den", PresetType::AllSettings));
  EXPECT_FALSE(fs::exists(presetHoldsFile(file("Den", false))));
  EXPECT_FALSE(fs::exists(file("Den", false)));
}

}  // namespace
}  // namespace vexa
