#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "vexa/base/file_io.h"
#include "vexa/base/windows_1252.h"
#include "vexa/presets/config_files.h"
#include "vexa/presets/current_config.h"
#include "vexa/presets/preset_kinds.h"

using namespace vexa;

TEST(CommandPart, ReadsTextBinaryAndLegacy) {
  vexa::test::CTempFolder dir;
  writeFileAtomically(dir / "text.vcp", "[Commands]\n[Commands\\R]\nID=0\n[Commands\\R\\C]\nID=1\n");
  CCmdTree tree;
  LoadResult r = loadCommandPart(dir / "text.vcp", tree, CWindows1252());
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_FALSE(r.legacy);
  ASSERT_NE(tree.findRemote("R"), nullptr);

  saveCommandPart(dir / "bin.vcp", tree, CWindows1252());
  EXPECT_EQ(readFileBytes(dir / "bin.vcp").substr(0, 2), std::string("\x01\x00", 2));
  CCmdTree fromBinary;
  ASSERT_TRUE(loadCommandPart(dir / "bin.vcp", fromBinary, CWindows1252()).ok);
  EXPECT_EQ(fromBinary.findRemote("R")->children().size(), 1u);

  writeFileAtomically(dir / "old.cfg",
                      "[Vexa Config]\nFormatVersion=1.0\nPlugIn=Irman\nCmdCount=2\n[Play@Remote1#3]\nAction=Mute\n");
  r = loadCommandPart(dir / "old.cfg", tree, CWindows1252());
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(r.legacy);
  EXPECT_EQ(r.legacyPlugIn, "Irman");
  EXPECT_EQ(tree.findRemote("R"), nullptr);  // loading replaces the tree
  EXPECT_NE(tree.findRemote("Remote1"), nullptr);
}

TEST(CommandPart, MissingFileIsEmptyAndBadFileChangesNothing) {
  vexa::test::CTempFolder dir;
  CCmdTree tree;
  tree.insertRemote("Kept");
  writeFileAtomically(dir / "bad.vcp", std::string("\x01\x00\x00\x00\x00\x00\x40" "Comm", 11));
  const LoadResult bad = loadCommandPart(dir / "bad.vcp", tree, CWindows1252());
  EXPECT_FALSE(bad.ok);
  EXPECT_NE(bad.error.find("bad.vcp"), std::string::npos);
  EXPECT_NE(bad.error.find("offset"), std::string::npos);
  EXPECT_NE(tree.findRemote("Kept"), nullptr);
  EXPECT_TRUE(loadCommandPart(dir / "none.vcp", tree, CWindows1252()).ok);
  EXPECT_TRUE(tree.empty());
}

TEST(DevicePart, PlugInNameWithFallback) {
  EXPECT_EQ(devicePartPlugIn(CIniFile::parse("[PlugIn Preset]\nPluginName=Serial\n[Device Config]\nDeviceName=Old\n")),
            "Serial");
  EXPECT_EQ(devicePartPlugIn(CIniFile::parse("[Device Config]\nDeviceName=Old\n")), "Old");
  EXPECT_EQ(devicePartPlugIn(CIniFile::parse("[Other]\n")), "");
  EXPECT_EQ(newDevicePart("Irman").text(), "[PlugIn Preset]\r\nPluginName=Irman\r\n");
}

TEST(Presets, PathsAndExistingFiles) {
  vexa::test::CTempFolder dir;
  auto all = presetPaths(dir.path(), "Living room", false);
  ASSERT_TRUE(all);
  EXPECT_EQ(all->commandPart, dir.path() / "presets" / "Living room.vcp");
  EXPECT_EQ(all->devicePart, dir.path() / "presets" / "Living room.vdp");
  EXPECT_FALSE(presetPaths(dir.path(), "Living room", true));
  std::filesystem::create_directories(dir / "presets");
  writeFileAtomically(all->commandPart, "x");
  auto existing = presetPaths(dir.path(), "Living room", true);
  ASSERT_TRUE(existing);
  EXPECT_EQ(existing->commandPart, all->commandPart);
  EXPECT_TRUE(existing->devicePart.empty());
}

namespace {
const CWindows1252 kFiles;
// A valid remote beside keys the loader must refuse: a command straight
// under the top key and a folder inside a folder.
constexpr const char* kFileWithMisplacedKeys =
    "[Commands]\n"
    "[Commands\\TV]\nID=0\n"
    "[Commands\\TV\\Power]\nID=1\n[Commands\\TV\\Power\\Layout 1]\nID=1\n"
    "[Commands\\TV\\Power\\Layout 1\\Run]\nID=3\nAction=Execute application\nFilename=C:\\tv.exe\n"
    "[Commands\\Stray]\nID=1\n[Commands\\Stray\\Layout 1]\nID=1\n"
    "[Commands\\TV\\Player]\nID=2\n[Commands\\TV\\Player\\Inner]\nID=2\n";
}  // namespace

TEST(CurrentConfig, LoadKeepsEverythingLoadableAndNamesEachSkippedKey) {
  vexa::test::CTempFolder dir;
  writeFileAtomically(dir / "current.vcp", kFileWithMisplacedKeys);
  CCurrentConfig config(dir / "current.vcp", kFiles);
  CCmdTree tree;
  const LoadResult result = config.load(tree);
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.error.empty());
  const CCmdItem* tv = tree.findRemote("TV");
  ASSERT_NE(tv, nullptr);
  ASSERT_NE(tree.findChild(*tv, "Power"), nullptr);
  EXPECT_EQ(tree.findChild(*tv, "Power")->command()->actions().size(), 1u);
  EXPECT_NE(tree.findChild(*tv, "Player"), nullptr);
  ASSERT_EQ(result.problems.size(), 2u);
  EXPECT_EQ(result.problems[0].rfind("Commands\\TV\\Player\\Inner: ", 0), 0u) << result.problems[0];
  EXPECT_EQ(result.problems[1].rfind("Commands\\Stray: ", 0), 0u) << result.problems[1];
  EXPECT_TRUE(config.saveReplacesProblemFile());

  const std::string message = loadProblemsMessage(config.file(), result);
  EXPECT_NE(message.find(result.problems[0]), std::string::npos);
  EXPECT_NE(message.find(result.problems[1]), std::string::npos);
  EXPECT_NE(message.find("current.vcp.bak"), std::string::npos);
}

TEST(CurrentConfig, FirstSaveAfterProblemsKeepsTheFileAsReadOnce) {
  vexa::test::CTempFolder dir;
  writeFileAtomically(dir / "current.vcp", kFileWithMisplacedKeys);
  CCurrentConfig config(dir / "current.vcp", kFiles);
  CCmdTree tree;
  config.load(tree);
  config.save(tree);
  EXPECT_EQ(readFileBytes(config.backupFile()), kFileWithMisplacedKeys);
  EXPECT_FALSE(config.saveReplacesProblemFile());

  // Later saves leave the copy alone: it is the only place the lost keys live.
  tree.insertRemote("Radio");
  config.save(tree);
  EXPECT_EQ(readFileBytes(config.backupFile()), kFileWithMisplacedKeys);
  CCmdTree reread;
  EXPECT_TRUE(CCurrentConfig(dir / "current.vcp", kFiles).load(reread).ok);
  EXPECT_NE(reread.findRemote("Radio"), nullptr);
}

TEST(CurrentConfig, CleanLoadSavesWithoutCopyAndUnreadableFileStartsEmpty) {
  vexa::test::CTempFolder dir;
  writeFileAtomically(dir / "current.vcp", "[Commands]\n[Commands\\TV]\nID=0\n");
  CCurrentConfig clean(dir / "current.vcp", kFiles);
  CCmdTree tree;
  EXPECT_TRUE(clean.load(tree).ok);
  EXPECT_FALSE(clean.saveReplacesProblemFile());
  EXPECT_TRUE(loadProblemsMessage(clean.file(), clean.load(tree)).empty());
  clean.save(tree);
  EXPECT_FALSE(std::filesystem::exists(clean.backupFile()));

  const std::string broken("\x01\x00\x00\x00\x00\x00\x40" "Comm", 11);
  writeFileAtomically(dir / "broken.vcp", broken);
  CCurrentConfig unreadable(dir / "broken.vcp", kFiles);
  const LoadResult result = unreadable.load(tree);
  EXPECT_TRUE(tree.empty());
  EXPECT_TRUE(unreadable.saveReplacesProblemFile());
  EXPECT_NE(loadProblemsMessage(unreadable.file(), result).find("could not be read"), std::string::npos);
  unreadable.save(tree);
  EXPECT_EQ(readFileBytes(unreadable.backupFile()), broken);
}

TEST(PresetKinds, OldKindsGetTodaysNamesWithoutReplacingNewerPresets) {
  vexa::test::CTempFolder dir;
  writeFileAtomically(dir / "Living Room.vps", "commands");
  writeFileAtomically(dir / "Living Room.PPS", "device");
  writeFileAtomically(dir / "Bedroom.vps", "old commands");
  writeFileAtomically(dir / "Bedroom.vcp", "new commands");
  writeFileAtomically(dir / "notes.txt", "kept");
  const auto renamed = renameOldPresetKinds(dir.path());
  EXPECT_EQ(renamed.size(), 3u);
  EXPECT_EQ(readFileBytes(dir / "Living Room.vcp"), "commands");
  EXPECT_EQ(readFileBytes(dir / "Living Room.vdp"), "device");
  EXPECT_FALSE(std::filesystem::exists(dir / "Living Room.vps"));
  // The newer preset of the same name wins; the old one stays where it was.
  EXPECT_EQ(readFileBytes(dir / "Bedroom.vcp"), "new commands");
  EXPECT_EQ(readFileBytes(dir / "Bedroom.vps"), "old commands");
  EXPECT_TRUE(std::filesystem::exists(dir / "notes.txt"));
  EXPECT_TRUE(renameOldPresetKinds(dir / "missing").empty());
}
