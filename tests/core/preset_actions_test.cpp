#include <gtest/gtest.h>

#include <map>

#include "support/temp_folder.h"
#include "vexa/presets/preset_actions.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

// Records every call the preset operations make of the program.
class PresetActionsTest : public ::testing::Test {
 protected:
  PresetActionsTest() {
    fs::create_directories(presetsFolder(root.path()));
    a.saveCommandPart = [this](const fs::path& f) { return write(f, "new commands"); };
    a.saveDevicePart = [this](const fs::path& f) { return write(f, "new device"); };
    a.loadCommandPart = [this](const fs::path& f) { return load("commands", f); };
    a.loadDevicePart = [this](const fs::path& f) { return load("device", f); };
    a.settingsUnsaved = [this] { return unsaved; };
    a.exportFirst = [this] { log.push_back("export wizard"); };
    a.applyAndStore = [this] { log.push_back("apply"); };
    a.status = [this](std::string_view s) { log.push_back("status " + std::string(s)); };
    a.ask = [this](std::string_view q) {
      log.push_back("ask " + std::string(q));
      const auto it = answers.find(std::string(q));
      return it != answers.end() && it->second;
    };
    a.warn = [this](std::string_view w) { log.push_back("warn " + std::string(w)); };
  }
  bool write(const fs::path& f, const std::string& content) {
    if (failWrites) return false;
    test::writeFile(f, content);
    log.push_back("write " + f.filename().string());
    return true;
  }
  bool load(const std::string& part, const fs::path& f) {
    log.push_back("load " + part + " " + f.filename().string());
    return true;
  }
  fs::path file(const std::string& name) const { return presetsFolder(root.path()) / name; }
  bool saw(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }

  test::CTempFolder root;
  PresetActions a;
  std::vector<std::string> log;
  std::map<std::string, bool> answers;
  bool unsaved = false;
  bool failWrites = false;
};

TEST_F(PresetActionsTest, ActionPresetWritesOnlyItsFileAndDoesNotApply) {
  fs::remove(presetsFolder(root.path()));  // created on the first save
  EXPECT_EQ(exportPreset(root.path(), "Living room", PresetType::ActionConfiguration, true, a), ExportOutcome::Written);
  EXPECT_TRUE(fs::exists(file("Living room.vcp")));
  EXPECT_FALSE(fs::exists(file("Living room.vdp")));
  EXPECT_FALSE(saw("apply"));  // the current settings were not saved by this
  EXPECT_EQ(listPresets(root.path()).at(0).type(), PresetType::ActionConfiguration);
}

TEST_F(PresetActionsTest, OverwriteAskedOnlyForANewNameAndNoKeepsBothFiles) {
  test::writeFile(file("Den.vcp"), "old commands");
  test::writeFile(file("Den.vdp"), "old device");
  EXPECT_EQ(exportPreset(root.path(), "Den", PresetType::AllSettings, true, a), ExportOutcome::Declined);
  EXPECT_TRUE(saw("ask " + std::string(kOverwriteQuestion)));
  EXPECT_EQ(test::readFile(file("Den.vcp")), "old commands");
  EXPECT_EQ(test::readFile(file("Den.vdp")), "old device");

  // A device preset of a name that only has a command file asks nothing and keeps that file.
  log.clear();
  test::writeFile(file("Hall.vcp"), "hall commands");
  EXPECT_EQ(exportPreset(root.path(), "Hall", PresetType::DeviceConfiguration, true, a), ExportOutcome::Written);
  EXPECT_FALSE(saw("ask " + std::string(kOverwriteQuestion)));
  EXPECT_EQ(test::readFile(file("Hall.vcp")), "hall commands");

  // Picked from the list of existing names: written at once.
  log.clear();
  EXPECT_EQ(exportPreset(root.path(), "Den", PresetType::AllSettings, false, a), ExportOutcome::Written);
  EXPECT_TRUE(log.size() == 2u && !saw("ask " + std::string(kOverwriteQuestion)));
  EXPECT_EQ(test::readFile(file("Den.vdp")), "new device");
}

TEST_F(PresetActionsTest, BadNamesAndFailedWritesAreNotSuccess) {
  EXPECT_EQ(exportPreset(root.path(), "..\\..\\evil", PresetType::AllSettings, true, a), ExportOutcome::InvalidName);
  EXPECT_EQ(log.size(), 1u);  // the warning only
  failWrites = true;
  EXPECT_EQ(exportPreset(root.path(), "Ok", PresetType::AllSettings, true, a), ExportOutcome::Failed);
}

TEST_F(PresetActionsTest, LoadingADevicePartOffersItsActionPart) {
  test::writeFile(file("Living room.vdp"), "d");
  test::writeFile(file("Living room.vcp"), "c");
  answers[std::string(kActionCompanionQuestion)] = true;
  EXPECT_EQ(loadPresetFile(file("Living room.vdp"), a), LoadOutcome::Loaded);
  EXPECT_EQ(log, (std::vector<std::string>{"ask " + std::string(kActionCompanionQuestion),
                                           "status " + std::string(kLoadingStatus), "load commands Living room.vcp",
                                           "load device Living room.vdp", "apply"}));
}

TEST_F(PresetActionsTest, LoadingACommandPartLoadsTheDeviceOnlyOnYes) {
  test::writeFile(file("Den.vcp"), "c");
  test::writeFile(file("Den.vdp"), "d");
  EXPECT_EQ(loadPresetFile(file("Den.vcp"), a), LoadOutcome::Loaded);
  EXPECT_TRUE(saw("load commands Den.vcp"));
  EXPECT_FALSE(saw("load device Den.vdp"));
  log.clear();
  answers[std::string(kDeviceCompanionQuestion)] = true;
  loadPresetFile(file("Den.vcp"), a);
  EXPECT_TRUE(saw("load device Den.vdp"));
}

TEST_F(PresetActionsTest, UnsupportedFilesLoadNothingAndAskNothing) {
  unsaved = true;
  test::writeFile(file("old.pps"), "x");
  EXPECT_EQ(loadPresetFile(file("old.pps"), a), LoadOutcome::Unsupported);
  EXPECT_EQ(log, (std::vector<std::string>{"warn File type not supported."}));
}

TEST_F(PresetActionsTest, UnsavedSettingsOfferTheWizardFirst) {
  unsaved = true;
  answers[std::string(kUnsavedQuestion)] = true;
  test::writeFile(file("Den.vcp"), "c");
  EXPECT_EQ(importPreset(root.path(), "Den", a), LoadOutcome::Loaded);
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[1], "export wizard");
  log.clear();
  EXPECT_EQ(importPreset(root.path(), "Den", a, false), LoadOutcome::Loaded);  // "/p" at start asks nothing
  EXPECT_FALSE(saw("ask " + std::string(kUnsavedQuestion)));
}

TEST_F(PresetActionsTest, ImportByNameOfNothingChangesNothing) {
  EXPECT_EQ(importPreset(root.path(), "Missing", a), LoadOutcome::NothingLoaded);
  EXPECT_EQ(importPreset(root.path(), "../current", a), LoadOutcome::NothingLoaded);
  EXPECT_FALSE(saw("apply"));
  test::writeFile(file("Tuner.vdp"), "d");
  EXPECT_EQ(importPreset(root.path(), "Tuner", a), LoadOutcome::Loaded);
  EXPECT_TRUE(saw("load device Tuner.vdp"));
  EXPECT_FALSE(saw("status " + std::string(kLoadingStatus)));  // no command part
}

TEST_F(PresetActionsTest, StartPresetFileBringsItsOtherPartUnaskedAndStoresAtOnce) {
  // A quoted path on the command line may hold "/" in folder names.
  const fs::path folder = root.path() / "a/b c";
  fs::create_directories(folder);
  test::writeFile(folder / "Den.vdp", "device");
  test::writeFile(folder / "Den.vcp", "commands");
  unsaved = true;  // nothing is asked at start, not even this
  EXPECT_EQ(loadPresetAtStart(folder / "Den.vdp", a), LoadOutcome::Loaded);
  EXPECT_EQ(log, (std::vector<std::string>{"status " + std::string(kLoadingStatus), "load commands Den.vcp",
                                           "load device Den.vdp", "apply"}));

  log.clear();
  fs::remove(folder / "Den.vdp");
  EXPECT_EQ(loadPresetAtStart(folder / "Den.vcp", a), LoadOutcome::Loaded);
  EXPECT_FALSE(saw("load device Den.vdp"));
  EXPECT_TRUE(saw("apply"));
}

TEST_F(PresetActionsTest, StartPresetThatIsMissingOrOfAnotherKindWarnsAndStoresNothing) {
  EXPECT_EQ(loadPresetAtStart(root.path() / "gone.vcp", a), LoadOutcome::NothingLoaded);
  EXPECT_EQ(log, (std::vector<std::string>{"warn " + std::string(kPresetFileMissing)}));
  log.clear();
  test::writeFile(root.path() / "notes.txt", "x");
  EXPECT_EQ(loadPresetAtStart(root.path() / "notes.txt", a), LoadOutcome::Unsupported);
  EXPECT_EQ(log, (std::vector<std::string>{"warn " + std::string(kFileTypeNotSupported)}));
}

TEST(PresetArgument, PathsAndPresetExtensionsNameFilesBareNamesNamePresets) {
  EXPECT_TRUE(namesPresetFile("C:\\Presets\\Den"));
  EXPECT_TRUE(namesPresetFile("c:/x/y.vcp"));
  EXPECT_TRUE(namesPresetFile("Den.VDP"));
  EXPECT_FALSE(namesPresetFile("Sample Preset"));
  EXPECT_FALSE(namesPresetFile("Mr. Smith"));
}

}  // namespace
}  // namespace vexa
