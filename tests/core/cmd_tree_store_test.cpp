#include <gtest/gtest.h>

#include <map>

#include "support/temp_folder.h"
#include "vexa/base/windows_1252.h"
#include "vexa/model/cmd_tree_store.h"
#include "vexa/codec/profile_codec.h"
#include "vexa/codec/profile_file.h"

using namespace vexa;

namespace {

TreeLoadResult loadText(CCmdTree& tree, const std::string& text) {
  CProfileTree keys;
  readProfileText(text, keys);
  return loadCommandTree(tree, keys);
}

std::string saveText(const CCmdTree& tree) {
  CProfileTree keys;
  saveCommandTree(tree, keys);
  return writeProfileText(keys);
}

CCmdItem& child(const CCmdItem& parent, const std::string& label) {
  for (const auto& c : parent.children())
    if (c->label() == label) return *c;
  throw std::runtime_error("no item " + label);
}

std::vector<std::string> labels(const CCmdItem& parent) {
  std::vector<std::string> out;
  for (const auto& c : parent.children()) out.push_back(c->label());
  return out;
}

std::vector<std::string> actionNames(const CCmdArray& layout) {
  std::vector<std::string> out;
  for (const auto& a : layout.actions()) out.push_back(a->name);
  return out;
}

class MemoryProfile : public IAppProfile {
 public:
  int readInt(std::string_view section, std::string_view entry, int fallback) const override {
    auto it = values.find(std::string(section) + "|" + std::string(entry));
    return it == values.end() ? fallback : it->second;
  }
  bool writeInt(std::string_view section, std::string_view entry, int value) override {
    values[std::string(section) + "|" + std::string(entry)] = value;
    return true;
  }
  void deleteTree(std::string_view section) override {
    std::erase_if(values, [&](const auto& v) { return v.first.rfind(std::string(section), 0) == 0; });
    ++deletions;
  }
  std::map<std::string, int> values;
  int deletions = 0;
};

const std::string kStored =
    "[Commands]\n"
    "[Commands\\TV]\nID=0\n"
    "[Commands\\TV\\Volume]\nID=1\nActiveLayout=1\n"
    "[Commands\\TV\\Volume\\Main]\nHotKey=131137\nIndex=2\nFlags=1\nID=1\n"
    "[Commands\\TV\\Volume\\Main\\Up]\nID=3\nIndex=0\nAction=Adjust Up/Right\nFilename=Master\nParam=2\nFlags=0\n"
    "Delay=0\nxParam1=x\n"
    "[Commands\\TV\\Volume\\main]\nHotKey=131137\nIndex=2\nFlags=1\nID=1\n"
    "[Commands\\TV\\Player]\nID=2\nIndex=4\nFile=C:\\Apps\\player.exe\nWnd=Player Window\nCommand=Power\nFlags=10\n"
    "[Commands\\TV\\Player\\App:Power]\nID=1\n"
    "[Commands\\TV\\Player\\App:Power\\Layout 1]\nHotKey=0\nIndex=-1\nFlags=0\nID=1\n"
    "[Commands\\TV\\Player\\App:Power\\Layout 1\\Start]\nID=3\nIndex=0\nAction=Execute/Close application\n"
    "Filename=C:\\Apps\\player.exe\nFlags=0\nDelay=0\nxParam1=\n"
    "[Commands\\TV\\Player\\Play]\nID=1\n"
    "[Commands\\TV\\Player\\Play\\Layout 1]\nHotKey=0\nIndex=-1\nFlags=0\nID=1\n"
    "[Commands\\TV\\No running applications]\nID=2\nIndex=-1\nFlags=0\n"
    "[Commands\\TV\\Alpha]\nID=2\nIndex=-1\nFlags=0\n"
    "[Commands\\TV\\Mute]\nID=1\n"
    "[Commands\\TV\\Mute\\Layout 1]\nHotKey=0\nIndex=1\nFlags=0\nID=1\n";

}  // namespace

TEST(TreeLoading, BuildsItemsFromKeys) {
  CCmdTree tree;
  std::vector<std::string> statuses;
  const auto result = [&] {
    CProfileTree keys;
    readProfileText(kStored, keys);
    return loadCommandTree(tree, keys, kCommandsKey, [&](const std::string& s) { statuses.push_back(s); });
  }();
  EXPECT_TRUE(result.ok);
  ASSERT_EQ(tree.remotes().size(), 1u);
  const CCmdItem& tv = *tree.remotes()[0];
  // Folders by name with "No running applications" last, then commands by index.
  EXPECT_EQ(labels(tv), (std::vector<std::string>{"Alpha", "Player", "No running applications", "Mute", "Volume"}));

  const CCmdArray& volume = *child(tv, "Volume").command();
  ASSERT_EQ(volume.layoutCount(), 2u);
  EXPECT_EQ(volume.layoutName(), "Main");
  EXPECT_EQ(volume.next()->layoutName(), "main_1");  // made unique, case-insensitively
  EXPECT_EQ(volume.activeLayoutNumber(), 1);
  EXPECT_EQ(volume.hotKey(), 131137u);
  EXPECT_EQ(volume.flags(), 1u);
  EXPECT_EQ(volume.next()->name(), "Volume");
  const CMD& up = *volume.actions()[0];
  EXPECT_EQ(up.typeName, "Adjust Up/Right");
  EXPECT_EQ(up.fileName, "Master");
  EXPECT_EQ(up.param, "2");
  EXPECT_EQ(up.extraParam, "x");

  const APPFOLDER& player = *child(tv, "Player").folder();
  EXPECT_EQ(player.index, 4);
  EXPECT_EQ(player.fileName(), "C:\\Apps\\player.exe");
  EXPECT_EQ(player.windowName, "Player Window");
  EXPECT_EQ(player.flags, 10u);
  EXPECT_EQ(player.commandName(), "Power");
  ASSERT_EQ(player.appCommand().actions().size(), 1u);
  EXPECT_EQ(player.appCommand().actions()[0]->name, "Start");
  EXPECT_EQ(labels(child(tv, "Player")), (std::vector<std::string>{"Play"}));  // App: is not an item

  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(statuses.front(), "Loading configuration");
  EXPECT_EQ(statuses.back().find("Loading configuration."), 0u);
}

TEST(TreeLoading, SaveWritesTheKeyLayoutBack) {
  CCmdTree tree;
  ASSERT_TRUE(loadText(tree, kStored).ok);
  const std::string saved = saveText(tree);
  // Values in their order, "ActiveLayout" never written, empty "Filename" and "Param" left out.
  EXPECT_NE(saved.find("[Commands\\TV\\Player]\nID=2\nIndex=4\nFile=C:\\Apps\\player.exe\nWnd=Player Window\n"
                       "Command=Power\nFlags=10\n[Commands\\TV\\Player\\App:Power]\nID=1\n"),
            std::string::npos);
  EXPECT_NE(saved.find("[Commands\\TV\\Volume\\Main\\Up]\nID=3\nIndex=0\nAction=Adjust Up/Right\nFilename=Master\n"
                       "Param=2\nFlags=0\nDelay=0\nxParam1=x\n"),
            std::string::npos);
  EXPECT_NE(saved.find("[Commands\\TV\\Alpha]\nID=2\nIndex=-1\nFile=\nWnd=\nCommand=\nFlags=0\n"
                       "[Commands\\TV\\Alpha\\App:]\nID=1\n"),
            std::string::npos);
  EXPECT_EQ(saved.find("ActiveLayout"), std::string::npos);
  // What was saved loads into the same tree and saves to the same keys.
  CCmdTree again;
  ASSERT_TRUE(loadText(again, saved).ok);
  EXPECT_EQ(saveText(again), saved);
}

TEST(TreeLoading, ActionIndexesPlaceAndCompact) {
  CCmdTree tree;
  ASSERT_TRUE(loadText(tree,
                       "[Commands\\R]\nID=0\n[Commands\\R\\C]\nID=1\n[Commands\\R\\C\\L]\nID=1\n"
                       "[Commands\\R\\C\\L\\Far]\nIndex=2000000000\n"
                       "[Commands\\R\\C\\L\\Appended]\n"
                       "[Commands\\R\\C\\L\\Negative]\nIndex=-7\n"
                       "[Commands\\R\\C\\L\\Second]\nIndex=5\n"
                       "[Commands\\R\\C\\L\\First]\nIndex=1\n"
                       "[Commands\\R\\C\\L\\Garbage]\nIndex=abc\n")  // "abc" reads as 0
                  .ok);
  const CCmdArray& c = *child(*tree.remotes()[0], "C").command();
  EXPECT_EQ(actionNames(c), (std::vector<std::string>{"Garbage", "First", "Second", "Far", "Appended", "Negative"}));
  for (size_t i = 0; i < c.actions().size(); ++i) EXPECT_EQ(c.actions()[i]->index, static_cast<int>(i));
}

TEST(TreeLoading, ActionAtAnOccupiedIndexReplacesIt) {
  CCmdTree tree;
  ASSERT_TRUE(loadText(tree,
                       "[Commands\\R]\nID=0\n[Commands\\R\\C]\nID=1\n[Commands\\R\\C\\L]\nID=1\n"
                       "[Commands\\R\\C\\L\\A]\nIndex=0\n[Commands\\R\\C\\L\\B]\nIndex=0\n")
                  .ok);
  EXPECT_EQ(actionNames(*child(*tree.remotes()[0], "C").command()), (std::vector<std::string>{"B"}));
}

TEST(TreeLoading, OldDelaySwitchAndDefaults) {
  CCmdTree tree;
  ASSERT_TRUE(loadText(tree,
                       "[Commands\\R]\nID=0\n[Commands\\R\\C]\nID=1\n[Commands\\R\\C\\L]\nID=1\nHotKey=\n"
                       "[Commands\\R\\C\\L\\Old]\nbDelay=1\nDelay=500\nAction=Mute\n")
                  .ok);
  const CCmdArray& c = *child(*tree.remotes()[0], "C").command();
  const CMD& old = *c.actions()[0];
  EXPECT_TRUE(old.delayEnabled());
  EXPECT_EQ(old.delay, 500);
  EXPECT_EQ(old.kind, 3);
  EXPECT_EQ(c.index(), -1);
  EXPECT_EQ(c.hotKey(), 0u);
  const std::string saved = saveText(tree);
  EXPECT_NE(saved.find("[Commands\\R\\C\\L\\Old]\nID=3\nIndex=0\nAction=Mute\nFlags=1\nDelay=500\n"),
            std::string::npos);
  EXPECT_EQ(saved.find("bDelay"), std::string::npos);
}

TEST(TreeLoading, UnusualKeysAndNumbers) {
  CCmdTree tree;
  const auto result = loadText(tree,
                               "[Commands\\Group]\n"                      // no ID: not an item
                               "[Commands\\Group\\R]\nID=0\n"             // but its remote still loads
                               "[Commands\\R2]\nID=0\n"
                               "[Commands\\R2\\C]\nID=1\nActiveLayout=9\n"  // beyond the layouts: first stays
                               "[Commands\\R2\\C\\Layout 1]\nFlags=0x10\n"  // not a number past "0"
                               "[Commands\\R2\\C\\Layout 2]\n"
                               "[Commands\\R2\\App:Stray]\nID=1\n"         // App: outside a folder: skipped
                               "[Commands\\Top]\nID=1\n");                 // a command with no remote
  EXPECT_FALSE(result.ok);
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_NE(result.problems[0].find("Commands\\Top"), std::string::npos);
  ASSERT_EQ(tree.remotes().size(), 2u);
  const CCmdItem& r2 = *tree.findRemote("R2");
  EXPECT_EQ(labels(r2), (std::vector<std::string>{"C"}));
  const CCmdArray& c = *child(r2, "C").command();
  EXPECT_EQ(c.activeLayoutNumber(), 0);
  EXPECT_EQ(c.flags(), 0u);
  EXPECT_NE(tree.findRemote("R"), nullptr);
}

TEST(TreeLoading, NoCommandsKeyIsAnEmptyTree) {
  CCmdTree tree;
  tree.insertRemote("Old");
  EXPECT_TRUE(loadText(tree, "[commands]\n[commands\\R]\nID=0\n").ok);
  EXPECT_TRUE(tree.empty());
}

TEST(TreeSaving, ExportWritesPlaceholdersForApplicationFiles) {
  EXPECT_EQ(exportPlaceholder("C:\\Program Files\\Player\\player.exe"), "%player.exe%");
  EXPECT_EQ(exportPlaceholder("player.exe"), "%player.exe%");
  CCmdTree tree;
  ASSERT_TRUE(loadText(tree, kStored).ok);
  CProfileTree keys;
  CProfileKey& parent = keys.appendChild("Export");
  const CCmdItem& player = child(*tree.remotes()[0], "Player");
  writeFolder(player, parent, WriteMode::Export);
  const CProfileKey* start = parent.findChild("Player")->findChild("App:Power")->child(0)->child(0);
  EXPECT_EQ(start->value("Filename"), "%player.exe%");
  // Only application types get the placeholder.
  const CCmdArray& volume = *child(*tree.remotes()[0], "Volume").command();
  writeCommand(volume, parent, WriteMode::Export);
  EXPECT_EQ(parent.findChild("Volume")->child(0)->child(0)->value("Filename"), "Master");
  writeFolder(player, parent, WriteMode::Normal);
  EXPECT_EQ(parent.child(2)->findChild("App:Power")->child(0)->child(0)->value("Filename"), "C:\\Apps\\player.exe");
}

TEST(TreeSaving, FileIsBinaryAndReplacedWhole) {
  vexa::test::CTempFolder dir;
  CCmdTree tree;
  ASSERT_TRUE(loadText(tree, kStored).ok);
  saveCommandTreeFile(tree, dir / "current.vcp", CWindows1252());
  CProfileTree keys;
  loadProfileFile(dir / "current.vcp", keys, CWindows1252());
  CCmdTree back;
  ASSERT_TRUE(loadCommandTree(back, keys).ok);
  EXPECT_EQ(saveText(back), saveText(tree));
}

TEST(ActiveLayouts, StoredForRememberingFoldersOnly) {
  CCmdTree tree;
  ASSERT_TRUE(loadText(tree, kStored).ok);
  CCmdItem& tv = *tree.remotes()[0];
  CCmdItem& player = child(tv, "Player");
  player.folder()->flags |= APPFOLDER::kRememberLayout;
  CCmdArray& play = *child(player, "Play").command();
  play.addLayout();
  play.addLayout();
  play.switchToLayout(2);
  MemoryProfile profile;
  profile.values["Commands\\stale|ActiveLayout"] = 1;
  storeActiveLayouts(tree, profile, true);
  EXPECT_EQ(profile.deletions, 1);
  EXPECT_EQ(profile.values, (std::map<std::string, int>{{"Commands\\TV\\Player\\Play|ActiveLayout", 2}}));

  play.switchToLayout(0);
  restoreActiveLayouts(tree, profile);
  EXPECT_EQ(play.activeLayoutNumber(), 2);
  profile.values.begin()->second = 7;  // beyond the layouts: nothing changes
  restoreActiveLayouts(tree, profile);
  EXPECT_EQ(play.activeLayoutNumber(), 2);
}

TEST(TreeLoading, DuplicateNamesStayReachable) {
  // Only the binary form can hold two keys of one name under one parent.
  CProfileTree keys;
  CProfileKey& top = keys.appendChild("Commands");
  CProfileKey& r = top.appendChild("R");
  r.setValue("ID", "0");
  for (const char* action : {"Mute", "Turn off display"}) {
    CProfileKey& c = r.appendChild("Play");
    c.setValue("ID", "1");
    c.appendChild("Layout 1").appendChild("A").setValue("Action", action);
  }
  CProfileKey& nested = r.appendChild("Inner");  // no ID: a remote below it is still top-level
  nested.appendChild("R").setValue("ID", "0");
  CCmdTree tree;
  const auto result = loadCommandTree(tree, keys);
  EXPECT_TRUE(result.ok);
  ASSERT_EQ(result.problems.size(), 1u);
  EXPECT_NE(result.problems[0].find("Play_1"), std::string::npos);
  ASSERT_EQ(tree.remotes().size(), 1u);
  EXPECT_EQ(labels(*tree.remotes()[0]), (std::vector<std::string>{"Play", "Play_1"}));
  EXPECT_EQ(child(*tree.remotes()[0], "Play_1").command()->actions()[0]->typeName, "Turn off display");
}

TEST(TreeLoading, DuplicateNamesAcrossKindsAndTakenFreeNames) {
  // A folder and a command share one parent's names; a free name handed out
  // is taken too, for a later key that has it already and for a stream
  // that goes through the binary form without a key tree.
  CProfileTree keys;
  CProfileKey& r = keys.appendChild("Commands").appendChild("R");
  r.setValue("ID", "0");
  r.appendChild("X").setValue("ID", "2");
  for (const char* name : {"X", "X", "X_1"}) r.appendChild(name).setValue("ID", "1");
  CCmdTree fromKeys, streamed;
  const auto result = loadCommandTree(fromKeys, keys);
  EXPECT_EQ(result.problems.size(), 3u);
  EXPECT_EQ(labels(*fromKeys.remotes()[0]), (std::vector<std::string>{"X", "X_1", "X_1_1", "X_2"}));
  const auto again = decodeCommandTree(streamed, writeProfile(keys, ProfileEncoding::Binary, CWindows1252()), CWindows1252());
  EXPECT_EQ(again.problems, result.problems);
  EXPECT_EQ(labels(*streamed.remotes()[0]), labels(*fromKeys.remotes()[0]));
}
