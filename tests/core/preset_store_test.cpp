#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "vexa/presets/preset_store.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

class PresetStoreTest : public ::testing::Test {
 protected:
  PresetStoreTest() { fs::create_directories(presetsFolder(root.path())); }
  void make(const std::string& file, const std::string& content = "x") {
    test::writeFile(presetsFolder(root.path()) / fs::path(std::u8string(file.begin(), file.end())), content);
  }
  bool exists(const std::string& file) const {
    return fs::exists(presetsFolder(root.path()) / fs::path(std::u8string(file.begin(), file.end())));
  }
  std::string read(const std::string& file) const {
    return test::readFile(presetsFolder(root.path()) / fs::path(std::u8string(file.begin(), file.end())));
  }
  test::CTempFolder root;
};

TEST_F(PresetStoreTest, ListsTypesPerFilter) {
  make("Living room.vcp");
  make("Both.vcp");
  make("Both.VDP");
  make("Tuner.vdp");
  make("notes.txt");
  make("old.pps");
  const auto all = listPresets(root.path());
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].name, "Both");
  EXPECT_EQ(all[0].type(), PresetType::AllSettings);
  EXPECT_EQ(all[1].type(), PresetType::ActionConfiguration);
  EXPECT_EQ(all[2].type(), PresetType::DeviceConfiguration);
  EXPECT_EQ(listPresets(root.path(), PresetType::ActionConfiguration).size(), 2u);
  EXPECT_EQ(listPresets(root.path(), PresetType::DeviceConfiguration).size(), 2u);
  EXPECT_TRUE(listPresets(root.path() / "missing").empty());
}

TEST_F(PresetStoreTest, ListsAtMostAHundredNames) {
  for (int i = 0; i < 105; ++i) make("p" + std::to_string(1000 + i) + ".vcp");
  const auto list = listPresets(root.path());
  ASSERT_EQ(list.size(), kMaxPresetNames);
  EXPECT_EQ(list.front().name, "p1000");
  EXPECT_EQ(list.back().name, "p1099");
}

TEST_F(PresetStoreTest, NamesThatCannotBeFileNamesAreRefused) {
  EXPECT_FALSE(presetNameProblem("Living room"));
  EXPECT_FALSE(presetNameProblem("Caf\xC3\xA9"));
  for (const char* bad : {"", "   ", "..\\up", "a/b", "c:x", "what?", "star*", "q\"", "<x>", "p|q", "dot.", "blank ",
                          "CON", "com1", "Lpt9.txt", "tab\tname"})
    EXPECT_TRUE(presetNameProblem(bad)) << bad;
  EXPECT_FALSE(presetNameProblem("COM10"));
  EXPECT_FALSE(presetNameProblem("console"));
}

TEST_F(PresetStoreTest, OverwriteQuestionOnlyForTheFilesTheTypeWrites) {
  make("Room.vcp");
  EXPECT_TRUE(exportWouldOverwrite(root.path(), "Room", PresetType::AllSettings));
  EXPECT_TRUE(exportWouldOverwrite(root.path(), "Room", PresetType::ActionConfiguration));
  EXPECT_FALSE(exportWouldOverwrite(root.path(), "Room", PresetType::DeviceConfiguration));
  EXPECT_FALSE(exportWouldOverwrite(root.path(), "Other", PresetType::AllSettings));
}

TEST_F(PresetStoreTest, DeleteTakesOnlyTheFilteredPart) {
  make("Room.vcp");
  make("Room.vdp");
  EXPECT_TRUE(deletePreset(root.path(), "Room", PresetType::DeviceConfiguration));
  EXPECT_TRUE(exists("Room.vcp"));
  EXPECT_FALSE(exists("Room.vdp"));
  EXPECT_TRUE(deletePreset(root.path(), "Room", PresetType::AllSettings));  // the missing one is skipped
  EXPECT_FALSE(exists("Room.vcp"));
}

TEST_F(PresetStoreTest, RenameMovesBothOrRefuses) {
  make("Room.vcp", "commands");
  make("Room.vdp", "device");
  EXPECT_FALSE(renamePreset(root.path(), "Room", "Lounge", PresetType::AllSettings));
  EXPECT_EQ(read("Lounge.vcp"), "commands");
  EXPECT_EQ(read("Lounge.vdp"), "device");
  EXPECT_FALSE(exists("Room.vcp"));

  // A target of either part refuses the whole rename: nothing is replaced or split.
  make("Den.vdp", "den device");
  const auto refused = renamePreset(root.path(), "Lounge", "Den", PresetType::AllSettings);
  ASSERT_TRUE(refused);
  EXPECT_NE(refused->find("exists"), std::string::npos);
  EXPECT_EQ(read("Den.vdp"), "den device");
  EXPECT_EQ(read("Lounge.vcp"), "commands");
  EXPECT_EQ(read("Lounge.vdp"), "device");

  // The filter limits the rename to its part, so the other target does not matter.
  EXPECT_FALSE(renamePreset(root.path(), "Lounge", "Den", PresetType::ActionConfiguration));
  EXPECT_EQ(read("Den.vcp"), "commands");
  EXPECT_EQ(read("Lounge.vdp"), "device");

  EXPECT_TRUE(renamePreset(root.path(), "Lounge", "..\\escape", PresetType::AllSettings));
  EXPECT_TRUE(renamePreset(root.path(), "Lounge", "", PresetType::AllSettings));
  EXPECT_EQ(read("Lounge.vdp"), "device");
}

TEST_F(PresetStoreTest, RenameChangingOnlyTheCaseIsAllowed) {
  make("room.vcp", "commands");
  EXPECT_FALSE(renamePreset(root.path(), "room", "Room", PresetType::AllSettings));
  EXPECT_EQ(listPresets(root.path()).at(0).name, "Room");
}

TEST_F(PresetStoreTest, FileKindsAndCompanions) {
  make("Room.vdp");
  make("Room.vcp");
  make("Solo.VCP");
  const fs::path folder = presetsFolder(root.path());
  EXPECT_EQ(presetFileKind(folder / "Room.VDP"), PresetFileKind::DevicePart);
  EXPECT_EQ(presetFileKind(folder / "Solo.VCP"), PresetFileKind::CommandPart);
  EXPECT_EQ(presetFileKind(folder / "x.pps"), PresetFileKind::Unsupported);
  EXPECT_EQ(presetFileKind(folder / "x.vps"), PresetFileKind::Unsupported);
  EXPECT_EQ(companionPart(folder / "Room.vdp"), folder / "Room.vcp");
  EXPECT_EQ(companionPart(folder / "Room.vcp"), folder / "Room.vdp");
  EXPECT_FALSE(companionPart(folder / "Solo.VCP"));
}

}  // namespace
}  // namespace vexa
