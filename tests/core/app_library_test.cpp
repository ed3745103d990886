#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "vexa/base/file_io.h"
#include "vexa/base/windows_1252.h"
#include "vexa/model/app_library.h"
#include "vexa/model/cmd_tree_store.h"
#include "vexa/codec/profile_codec.h"
#include "vexa/codec/profile_file.h"

using namespace vexa;

namespace {

std::unique_ptr<CCmdTree> playerTree(const std::string& folderName, const std::string& file) {
  auto tree = std::make_unique<CCmdTree>();
  CCmdItem& remote = tree->insertRemote("TV");
  CCmdItem& folder = tree->insertFolder(remote, APPFOLDER::createNew(folderName));
  folder.folder()->setFileName(file);
  folder.folder()->appCommand().actions()[0]->fileName = file;
  auto play = std::make_unique<CCmdArray>("Play");
  auto key = std::make_unique<CMD>();
  key->name = "Key";
  key->typeName = "Keystroke to application";
  key->fileName = file;
  key->param = "CTRL+P";
  play->appendAction(std::move(key));
  tree->insertCommand(folder, std::move(play));
  return tree;
}

}  // namespace

TEST(AppLibrary, ValidityRules) {
  CCmdArray empty("X");
  EXPECT_FALSE(isCommandValid(empty));
  CCmdArray& second = empty.addLayout();
  auto a = std::make_unique<CMD>();
  a->typeName = "not a type";
  second.appendAction(std::move(a));
  EXPECT_FALSE(isCommandValid(empty));
  second.actions()[0]->typeName = "MUTE";
  EXPECT_TRUE(isCommandValid(empty));

  const auto found = [](std::string_view f) { return f == "C:\\player.exe"; };
  APPFOLDER special("no running applications");
  EXPECT_TRUE(isFolderValid(special, found));
  APPFOLDER app("Player");
  EXPECT_FALSE(isFolderValid(app, found));
  app.setFileName("C:\\player.exe");
  EXPECT_TRUE(isFolderValid(app, found));
}

TEST(AppLibrary, LocationsFileFromAppPathsAndShortcuts) {
  const CIniFile loc = buildLocations({"player.exe", "viewer.exe"},
                                      {{"C:\\PROGRA~1\\Player\\player.exe", "player.exe", true},
                                       {"C:\\Docs\\readme.txt", "readme.txt", true},
                                       {"C:\\Old\\gone.exe", "gone.exe", false},
                                       {"C:\\Apps\\tool.exe", "other.exe", true}});
  EXPECT_EQ(loc.getString("Registry", "%player.exe%"),
            "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\player.exe\\");
  EXPECT_EQ(loc.entries("Registry").size(), 2u);
  EXPECT_EQ(loc.entries("Locations"), (std::vector<CIniFile::Entry>{{"%player.exe%", "C:\\PROGRA~1\\Player\\player.exe"}}));
}

TEST(AppLibrary, PlaceholdersResolveThroughRegistryThenLocations) {
  CIniFile loc = CIniFile::parse(
      "[Registry]\n%player.exe%=HKEY_LOCAL_MACHINE\\Software\\App Paths\\player.exe\\\n"
      "%odd.exe%=HKEY_NOWHERE\\Key\\value\n"
      "[Locations]\n%player.exe%=C:\\Short\\player.exe\n%odd.exe%=C:\\odd.exe\n");
  std::string asked;
  const RegistryReader registry = [&](std::string_view root, std::string_view key, std::string_view value)
      -> std::optional<std::string> {
    asked = std::string(root) + "|" + std::string(key) + "|" + std::string(value);
    return std::string("D:\\Player\\player.exe");
  };
  EXPECT_EQ(resolvePlaceholder("%player.exe%", loc, registry), "D:\\Player\\player.exe");
  EXPECT_EQ(asked, "HKEY_LOCAL_MACHINE|Software\\App Paths\\player.exe|");
  EXPECT_EQ(resolvePlaceholder("%player.exe%", loc, [](auto, auto, auto) { return std::optional<std::string>(); }),
            "C:\\Short\\player.exe");
  EXPECT_EQ(resolvePlaceholder("%odd.exe%", loc, registry), "C:\\odd.exe");  // unknown root: no registry read
  EXPECT_EQ(resolvePlaceholder("%missing.exe%", loc, registry), "n/a");
  EXPECT_EQ(resolvePlaceholder("C:\\x.exe", loc, registry), "C:\\x.exe");
}

TEST(AppLibrary, ExportThenLoadOnAnotherMachine) {
  vexa::test::CTempFolder dir;
  auto source = playerTree("Player", "C:\\Program Files\\Player\\player.exe");
  const CCmdItem& folder = *source->remotes()[0]->children()[0];
  exportLayout(folder, layoutFile(dir.path(), "Player"), CWindows1252());
  EXPECT_EQ(listLayouts(dir.path()), (std::vector<std::string>{"Player"}));
  ASSERT_TRUE(findLayout(dir.path(), "PLAYER"));

  CProfileTree keys;
  loadProfileFile(layoutFile(dir.path(), "Player"), keys, CWindows1252());
  EXPECT_EQ(keys.findTopKey("Application")->value("Name"), "Player");
  EXPECT_EQ(keys.findTopKey("Player")->findChild("App:")->child(0)->child(0)->value("Filename"), "%player.exe%");

  // The other machine: a folder renamed to the layout's name gets its commands.
  CCmdTree target;
  CCmdItem& remote = target.insertRemote("Living room");
  CCmdItem& renamed = target.insertFolder(remote, APPFOLDER::createNew("player"));
  target.insertCommand(renamed, std::make_unique<CCmdArray>("Old"));
  int resolutions = 0;
  ASSERT_TRUE(loadLayout(target, renamed, keys, [&](std::string_view p) {
    ++resolutions;
    return p == "%player.exe%" ? std::string("E:\\Media\\player.exe") : std::string("n/a");
  }));
  EXPECT_EQ(resolutions, 1);  // once per placeholder
  EXPECT_EQ(renamed.folder()->name, "player");
  EXPECT_EQ(renamed.folder()->fileName(), "E:\\Media\\player.exe");
  ASSERT_EQ(renamed.children().size(), 1u);
  EXPECT_EQ(renamed.children()[0]->label(), "Play");
  EXPECT_EQ(renamed.children()[0]->command()->actions()[0]->fileName, "E:\\Media\\player.exe");
  EXPECT_EQ(renamed.folder()->appCommand().actions()[0]->fileName, "E:\\Media\\player.exe");

  CCmdItem& other = target.insertFolder(remote, APPFOLDER::createNew("Viewer"));
  EXPECT_FALSE(loadLayout(target, other, keys, [](std::string_view) { return std::string(); }));
}

TEST(AppLibrary, LocatingAnApplicationByHand) {
  const auto exists = [](std::string_view f) { return f == "C:\\Tools\\player.exe" || f == "C:\\Old\\run.com"; };
  EXPECT_EQ(acceptLocatedPath("C:\\Tools\\player.exe", exists), "C:\\Tools\\player.exe");
  EXPECT_EQ(acceptLocatedPath("C:\\Tools\\player", exists), "C:\\Tools\\player.exe");
  EXPECT_EQ(acceptLocatedPath("C:\\Old\\run", exists), "C:\\Old\\run.com");
  EXPECT_EQ(acceptLocatedPath("", exists), "n/a");
  EXPECT_FALSE(acceptLocatedPath("C:\\Tools\\player.txt", exists));  // has an extension: only itself

  const CIniFile loc = CIniFile::parse("[Locations]\n%player.exe%=C:\\Tools\\player.exe\n%gone.exe%=C:\\Gone\\gone.exe\n");
  const RegistryReader none = [](auto, auto, auto) { return std::optional<std::string>(); };
  std::vector<std::string> asked;
  const auto ask = [&](std::string_view name) -> std::optional<std::string> {
    asked.emplace_back(name);
    if (name == "gone.exe") return std::string("D:\\gone.exe");
    return std::nullopt;
  };
  EXPECT_EQ(resolvePlaceholderInteractively("%player.exe%", loc, none, exists, ask), "C:\\Tools\\player.exe");
  EXPECT_TRUE(asked.empty());
  // A location whose file is gone is asked for.
  EXPECT_EQ(resolvePlaceholderInteractively("%gone.exe%", loc, none, exists, ask), "D:\\gone.exe");
  // Cancelled: the name without its percent signs.
  EXPECT_EQ(resolvePlaceholderInteractively("%new.exe%", loc, none, exists, ask), "new.exe");
  EXPECT_EQ(asked, (std::vector<std::string>{"gone.exe", "new.exe"}));
  EXPECT_EQ(resolvePlaceholderInteractively("C:\\x.exe", loc, none, exists, ask), "C:\\x.exe");
}
