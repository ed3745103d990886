#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "vexa/model/cmd_tree.h"
#include "vexa/model/names.h"

namespace vexa {
namespace {

using Labels = std::vector<std::string>;

class CmdTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.setModifiedHook([this] { ++modified; });
  }
  CCmdItem& command(CCmdItem& parent, std::string name, uint32_t hotKey = 0) {
    auto c = std::make_unique<CCmdArray>(std::move(name));
    c->setHotKey(hotKey);
    return tree.insertCommand(parent, std::move(c));
  }
  CCmdItem& folder(CCmdItem& parent, std::string name) { return tree.insertFolder(parent, APPFOLDER::createNew(name)); }
  static Labels labels(const std::vector<std::unique_ptr<CCmdItem>>& items) {
    Labels out;
    for (const auto& i : items) out.push_back(i->label());
    return out;
  }
  static Labels labels(const CCmdItem& parent) { return labels(parent.children()); }
  std::string menu(const CCmdItem* item) const {
    std::string out;
    for (const auto& e : tree.contextMenu(item)) out += e.label + (e.enabled ? "+;" : "-;");
    return out;
  }

  CCmdTree tree;
  int modified = 0;
};

TEST_F(CmdTreeTest, KindsAndSortedInsertion) {
  CCmdItem& r = tree.insertRemote("tv");
  tree.insertRemote("dvd");
  CCmdItem& f = folder(r, "player");
  CCmdItem& c = command(r, "mute");
  command(r, "zoom");
  command(r, "next");
  EXPECT_EQ((std::vector<int>{int(kindOf(nullptr)), int(kindOf(&r)), int(kindOf(&c)), int(kindOf(&f))}),
            (std::vector<int>{-1, 0, 1, 2}));
  EXPECT_EQ(labels(tree.remotes()), (Labels{"dvd", "tv"}));
  EXPECT_EQ(labels(r), (Labels{"mute", "next", "player", "zoom"}));
  EXPECT_EQ(modified, 0);  // building is not an edit
}

TEST_F(CmdTreeTest, SortChildrenPutsFoldersFirstThenCommandsByIndex) {
  CCmdItem& r = tree.insertRemote("tv");
  const auto append = [&](const char* name, int index) {
    tree.appendCommand(r, std::make_unique<CCmdArray>(name)).command()->setIndex(index);
  };
  append("d", 2);
  for (const char* name : {"Zeta", "No running applications", "alpha", "Beta", "\xE9t\xE9"}) folder(r, name);
  append("c", 2);
  append("e", -1);
  append("a", 5);
  tree.sortChildren(&r);
  // Byte order: capitals before small letters, bytes above 0x7F last.
  EXPECT_EQ(labels(r), (Labels{"Beta", "Zeta", "alpha", "\xE9t\xE9", "No running applications", "e", "d", "c", "a"}));

  // The special folder is known in any case: still last, not in byte order.
  for (const char* special : {"NO RUNNING APPLICATIONS", "no running applications"}) {
    CCmdItem& other = tree.insertRemote(special);
    for (const char* name : {"Zeta", special, "Beta", "\xE9t\xE9"}) folder(other, name);
    tree.sortChildren(&other);
    EXPECT_EQ(labels(other), (Labels{"Beta", "Zeta", "\xE9t\xE9", special}));
  }
}

TEST_F(CmdTreeTest, NewItemsGetUniqueNames) {
  EXPECT_EQ(tree.newRemote().label(), "New Remote");
  CCmdItem& r = tree.newRemote();
  EXPECT_EQ(r.label(), "New Remote_1");
  CCmdItem* c = tree.newCommand(r);
  ASSERT_TRUE(c && tree.newCommand(*c) && tree.newCommand(r));  // a command selected: beside it
  EXPECT_EQ(c->command()->layoutCount(), 1u);
  EXPECT_EQ(c->command()->layoutName(), "Layout 1");

  CCmdItem* f = tree.newApplication(*c);
  ASSERT_TRUE(f);
  CCmdItem* inFolder = tree.newCommand(*f);
  ASSERT_TRUE(inFolder);
  EXPECT_EQ(inFolder->parent(), f);
  EXPECT_EQ(inFolder->label(), "New Command");  // unique among siblings only
  EXPECT_EQ(tree.newApplication(*inFolder)->label(), "New Application_1");
  EXPECT_EQ(labels(r),
            (Labels{"New Application", "New Application_1", "New Command", "New Command_1", "New Command_2"}));

  const CCmdArray& app = f->folder()->appCommand();
  ASSERT_EQ(app.actions().size(), 1u);
  EXPECT_EQ(app.actions()[0]->name, "Execute");
  EXPECT_EQ(app.actions()[0]->typeName, "Execute application");
  EXPECT_EQ(modified, 8);
}

TEST_F(CmdTreeTest, Rename) {
  CCmdItem& r = tree.insertRemote("tv");
  tree.insertRemote("dvd");
  CCmdItem& c = command(r, "Play");
  c.command()->addLayout();
  command(r, "Stop");
  CCmdItem& f = folder(r, "Player");
  command(f, "Pause");

  EXPECT_EQ(tree.rename(c, ""), RenameResult::Ignored);
  EXPECT_EQ(tree.rename(c, "Play"), RenameResult::Ignored);
  for (char reserved : std::string_view("\\#[]@=|"))
    EXPECT_EQ(tree.rename(c, std::string("P") + reserved), RenameResult::ReservedChar) << reserved;
  EXPECT_EQ(tree.rename(c, "STOP"), RenameResult::Duplicate);
  EXPECT_EQ(tree.rename(r, "dvd"), RenameResult::Duplicate);
  EXPECT_EQ(c.label(), "Play");
  EXPECT_EQ(modified, 0);

  EXPECT_EQ(tree.rename(c, "Pause"), RenameResult::Renamed);  // only siblings count
  EXPECT_EQ(c.command()->next()->name(), "Pause");
  EXPECT_EQ(tree.rename(c, "pause"), RenameResult::Renamed);  // its own name in other case
  EXPECT_EQ(tree.rename(f, "Radio"), RenameResult::Renamed);
  EXPECT_EQ(f.folder()->name, "Radio");
  EXPECT_EQ(tree.rename(r, "TV set"), RenameResult::Renamed);
  EXPECT_EQ(tree.findRemote("TV set"), &r);
  EXPECT_EQ(modified, 4);
}

TEST_F(CmdTreeTest, DeleteMovesSelectionAndForgetsTheClipboard) {
  CCmdItem& r = tree.insertRemote("tv");
  CCmdItem& a = command(r, "a");
  CCmdItem& b = command(r, "b");
  CCmdItem& c = command(r, "c");
  CCmdItem& f = folder(r, "f");
  command(f, "x");
  EXPECT_EQ(tree.deleteItem(b), &c);
  EXPECT_EQ(tree.deleteItem(f), &c);  // last: the previous one
  EXPECT_EQ(labels(r), (Labels{"a", "c"}));
  EXPECT_EQ(modified, 2);

  tree.copy(a);
  tree.deleteItem(c);
  EXPECT_EQ(tree.clipboard().item(), &a);  // another item: kept
  tree.deleteItem(a);
  EXPECT_FALSE(tree.clipboard().holds());
  CCmdItem& f2 = folder(r, "f2");
  tree.cut(command(f2, "y"));
  tree.deleteItem(f2);
  EXPECT_FALSE(tree.clipboard().holds());
  tree.copy(command(r, "z"));
  tree.deleteItem(r);
  EXPECT_FALSE(tree.clipboard().holds());
  EXPECT_TRUE(tree.empty());

  tree.cut(command(tree.insertRemote("dvd"), "w"));
  tree.clear();
  EXPECT_FALSE(tree.clipboard().holds());
  EXPECT_EQ(tree.paste(&tree.insertRemote("new")), nullptr);
}

TEST_F(CmdTreeTest, FindByHotKeyObjectAndFolder) {
  CCmdItem& a = tree.insertRemote("a");
  CCmdItem& plain = command(a, "plain");
  CCmdItem& f = folder(a, "f");
  f.folder()->appCommand().setHotKey(0x20041);
  CCmdItem& inF = command(f, "inF", 0x20041);
  CCmdItem& first = command(a, "x", 0x10042);
  command(tree.insertRemote("b"), "y", 0x10042);
  EXPECT_EQ(tree.findByHotKey(0x20041), &f);  // before its own commands
  EXPECT_EQ(tree.findByHotKey(0x10042), &first);
  EXPECT_EQ(tree.findByHotKey(0), nullptr);
  EXPECT_EQ(tree.findByHotKey(0x99), nullptr);

  CCmdArray& second = inF.command()->addLayout();
  inF.command()->addLayout();
  CCmdArray stray("stray");
  EXPECT_EQ(tree.findByObject(second), &inF);
  EXPECT_EQ(tree.findByObject(*plain.command()), &plain);
  EXPECT_EQ(tree.findByObject(*f.folder()), &f);
  EXPECT_EQ(tree.findByObject(stray), nullptr);
  EXPECT_EQ(tree.findByObject(f.folder()->appCommand()), nullptr);  // not an item

  EXPECT_EQ(tree.appFolderOf(second), f.folder());
  EXPECT_EQ(tree.appFolderOf(f.folder()->appCommand()), f.folder());
  EXPECT_EQ(tree.appFolderOf(*plain.command()), nullptr);
  EXPECT_EQ(tree.appFolderOf(stray), nullptr);

  CCmdItem& g = folder(a, "g");
  CCmdTree::FolderCursor cursor, other;
  EXPECT_EQ(tree.nextAppFolder("a", cursor), f.folder());
  EXPECT_EQ(tree.nextAppFolder("a", cursor), g.folder());
  EXPECT_EQ(tree.nextAppFolder("a", cursor), nullptr);
  EXPECT_EQ(tree.nextAppFolder("A", other), nullptr);
}

TEST_F(CmdTreeTest, FindCommand) {
  CCmdItem& r = tree.insertRemote("tv");
  CCmdItem& play = command(r, "Play");
  CCmdItem& player = folder(r, "Player");  // its application command only executes
  player.folder()->setCommandName("Play");
  CCmdItem& inPlayer = command(player, "Play");
  CCmdItem& other = folder(r, "Other");
  other.folder()->setCommandName("Play");
  CCmdArray& otherApp = other.folder()->appCommand();
  otherApp.addLayout().appendAction(std::make_unique<CMD>()).typeName = "execute/close APPLICATION";
  CCmdItem& inOther = command(other, "Play");

  const auto all = [&](std::optional<std::string_view> in, const char* name = "Play", const char* remote = "tv") {
    std::vector<CCmdArray*> found;
    CCmdTree::FindPosition pos;
    while (CCmdArray* c = tree.findCommand(remote, name, in, pos)) found.push_back(c);
    return found;
  };
  using Found = std::vector<CCmdArray*>;
  EXPECT_EQ(all(std::nullopt), (Found{&otherApp, play.command(), &player.folder()->appCommand()}));
  EXPECT_EQ(all("Player"), (Found{inPlayer.command()}));
  EXPECT_EQ(all("Other"), (Found{&otherApp, inOther.command()}));
  EXPECT_EQ(all("player"), Found{});
  EXPECT_EQ(all("Player", "play"), Found{});
  EXPECT_EQ(all(std::nullopt, "Play", "TV"), Found{});
  EXPECT_EQ(all(std::nullopt, "App:Play"), Found{});
}

TEST_F(CmdTreeTest, CopyPasteMakesIndependentDeepCopies) {
  CCmdItem& r = tree.insertRemote("tv");
  CCmdItem& dvd = tree.insertRemote("dvd");
  CCmdItem& play = command(r, "Play", 0x20050);
  CCmdArray& cmd = *play.command();
  cmd.setFlags(CCmdArray::kAllowRepeat);
  cmd.addLayout("Night").appendAction(std::make_unique<CMD>());
  cmd.switchToLayout(1);

  EXPECT_EQ(tree.paste(&r), nullptr);  // nothing held
  tree.copy(play);
  EXPECT_EQ(tree.clipboard().mode(), CTreeClipboard::Mode::Copy);
  CCmdItem* copy = tree.paste(&dvd);
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->parent(), &dvd);
  EXPECT_EQ(copy->label(), "Play");
  CCmdArray& c = *copy->command();
  ASSERT_EQ(c.layoutCount(), 2u);
  EXPECT_EQ(c.next()->layoutName(), "Night");
  EXPECT_EQ((std::pair{c.hotKey(), c.flags()}), (std::pair{0x20050u, CCmdArray::kAllowRepeat}));
  EXPECT_EQ(c.activeLayoutNumber(), 1);
  ASSERT_EQ(c.next()->actions().size(), 1u);
  EXPECT_NE(c.next()->actions()[0].get(), cmd.next()->actions()[0].get());

  // The clipboard stays; a command selected pastes beside it.
  CCmdItem* again = tree.paste(copy);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->command()->next()->name(), "Play_1");
  EXPECT_EQ(tree.paste(&r)->label(), "Play_1");
  EXPECT_EQ(labels(dvd), (Labels{"Play", "Play_1"}));
  EXPECT_EQ(tree.clipboard().item(), &play);
  EXPECT_EQ(tree.paste(nullptr), nullptr);
  EXPECT_EQ(modified, 3);
}

TEST_F(CmdTreeTest, CutPasteMoves) {
  CCmdItem& r = tree.insertRemote("tv");
  CCmdItem& f = folder(tree.insertRemote("dvd"), "f");
  CCmdItem& a = command(r, "a");
  CCmdItem& b = command(r, "b");
  command(f, "a");

  tree.cut(a);
  EXPECT_TRUE(a.isCut());
  tree.cut(b);  // a new cut clears the old cut state
  EXPECT_TRUE(!a.isCut() && b.isCut());
  tree.copy(a);
  EXPECT_FALSE(b.isCut());

  tree.cut(a);
  EXPECT_EQ(tree.paste(&b), nullptr);  // onto its own parent
  EXPECT_FALSE(a.isCut());
  EXPECT_EQ(labels(r), (Labels{"a", "b"}));

  tree.cut(a);
  CCmdItem* item = tree.paste(&f);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->label(), "a_1");
  EXPECT_FALSE(item->isCut());
  EXPECT_EQ(labels(r), (Labels{"b"}));
  EXPECT_EQ(labels(f), (Labels{"a", "a_1"}));
  EXPECT_FALSE(tree.clipboard().holds());
  EXPECT_EQ(modified, 1);
}

TEST_F(CmdTreeTest, DragAndDrop) {
  CCmdItem& r = tree.insertRemote("tv");
  CCmdItem& dvd = tree.insertRemote("dvd");
  CCmdItem& f = folder(r, "f");
  CCmdItem& a = command(r, "a");
  CCmdItem& k = command(r, "k");
  command(dvd, "b");
  CCmdItem& m = command(dvd, "m");
  command(dvd, "z");

  EXPECT_EQ(tree.drop(a, k), nullptr);  // onto its own parent: stays
  EXPECT_EQ(tree.drop(a, r), nullptr);
  EXPECT_EQ(labels(r), (Labels{"a", "f", "k"}));
  EXPECT_EQ(tree.drop(f, dvd), nullptr);  // only commands are dragged

  tree.cut(a);
  CCmdItem* moved = tree.drop(a, m);  // after the drop item, not sorted
  ASSERT_TRUE(moved);
  EXPECT_EQ(labels(dvd), (Labels{"b", "m", "a", "z"}));
  EXPECT_FALSE(moved->isCut() || tree.clipboard().holds());

  EXPECT_EQ(tree.drop(*moved, f)->parent(), &f);
  CCmdItem* renamed = tree.drop(command(dvd, "k"), r);
  ASSERT_TRUE(renamed);
  EXPECT_EQ(labels(r), (Labels{"f", "k", "k_1"}));
  EXPECT_EQ(modified, 3);
}

TEST_F(CmdTreeTest, StartupMacroHoldsOneCommandAndNoFolders) {
  CCmdItem& startup = tree.insertRemote("Startup Macro");
  CCmdItem& r = tree.insertRemote("tv");
  EXPECT_EQ(tree.newApplication(startup), nullptr);
  EXPECT_EQ(menu(&startup), "&New Remote+;&Delete Remote+;&Rename Remote+;New &Command+;&Paste Command-;");

  EXPECT_EQ(tree.drop(command(r, "x"), startup)->parent(), &startup);  // empty: accepted
  CCmdItem& only = *startup.children()[0];
  EXPECT_EQ(tree.newCommand(startup), nullptr);
  EXPECT_EQ(tree.newCommand(only), nullptr);
  EXPECT_EQ(tree.newApplication(only), nullptr);
  CCmdItem& y = command(r, "y");
  EXPECT_EQ(tree.drop(y, startup), nullptr);
  EXPECT_EQ(tree.drop(y, only), nullptr);
  tree.copy(y);
  EXPECT_EQ(tree.paste(&startup), nullptr);
  tree.cut(y);
  EXPECT_EQ(tree.paste(&only), nullptr);
  EXPECT_EQ(startup.children().size(), 1u);
  EXPECT_EQ(menu(&startup), "&New Remote+;&Delete Remote+;&Rename Remote+;New &Command-;&Paste Command-;");
  EXPECT_EQ(menu(&only), "&New Command-;&Delete Command+;&Rename Command+;&Copy+;Cu&t+;&Paste-;T&est+;");

  CCmdItem& lower = tree.insertRemote("startup macro");  // compared exactly
  command(lower, "one");
  EXPECT_TRUE(tree.newCommand(lower) && tree.newApplication(lower));
}

TEST_F(CmdTreeTest, EveryWayIntoTheStartupMacroNamesTheCommandStartupActions) {
  CCmdItem& startup = tree.insertRemote("Startup Macro");
  CCmdItem& r = tree.insertRemote("tv");
  const auto only = [&]() -> CCmdItem& { return *startup.children().at(0); };

  ASSERT_TRUE(tree.newCommand(startup));
  EXPECT_EQ(labels(startup), (Labels{"Startup Actions"}));
  tree.deleteItem(only());

  ASSERT_TRUE(tree.drop(command(r, "x"), startup));
  EXPECT_EQ(labels(startup), (Labels{"Startup Actions"}));
  tree.deleteItem(only());

  tree.copy(command(r, "y"));
  ASSERT_TRUE(tree.paste(&startup));
  EXPECT_EQ(labels(startup), (Labels{"Startup Actions"}));
  EXPECT_EQ(labels(r), (Labels{"y"}));  // the original keeps its name
  tree.deleteItem(only());

  tree.cut(*r.children().at(0));
  ASSERT_TRUE(tree.paste(&startup));
  EXPECT_EQ(labels(startup), (Labels{"Startup Actions"}));
  EXPECT_TRUE(r.children().empty());

  // Out of the start-up remote a command is an ordinary one again.
  command(r, "Startup Actions");
  ASSERT_TRUE(tree.drop(only(), r));
  EXPECT_EQ(labels(r), (Labels{"Startup Actions", "Startup Actions_1"}));
  EXPECT_EQ(tree.newCommand(r)->label(), "New Command");

  CCmdItem& lower = tree.insertRemote("startup macro");  // compared exactly
  EXPECT_EQ(tree.newCommand(lower)->label(), "New Command");
}

TEST_F(CmdTreeTest, ContextMenus) {
  EXPECT_EQ(menu(nullptr),
            "&New Remote+;&Delete Remote-;&Rename Remote-;New &Command-;&Paste Command-;New Application-;");
  CCmdItem& r = tree.insertRemote("tv");
  CCmdItem& f = folder(r, "f");
  CCmdItem& c = command(f, "c");
  EXPECT_EQ(menu(&r), "&New Remote+;&Delete Remote+;&Rename Remote+;New &Command+;&Paste Command-;New Application+;");
  EXPECT_EQ(menu(&f),
            "New Application+;Delete Application+;Rename Application+;Export Application+;New &Command+;"
            "&Paste Command-;");
  EXPECT_EQ(menu(&c), "&New Command+;&Delete Command+;&Rename Command+;&Copy+;Cu&t+;&Paste-;T&est+;");
  tree.cut(c);
  for (const CCmdItem* item : {static_cast<CCmdItem*>(nullptr), &r, &f})
    EXPECT_NE(menu(item).find("&Paste Command+;"), std::string::npos);
  EXPECT_NE(menu(&c).find("&Paste+;"), std::string::npos);
}

TEST_F(CmdTreeTest, SwitchingLayoutsTogetherPadsCommands) {
  CCmdItem& f = folder(tree.insertRemote("tv"), "f");
  CCmdItem& one = command(f, "one");
  CCmdItem& three = command(f, "three");
  three.command()->addLayout();
  three.command()->addLayout();
  CCmdItem& two = command(f, "two");
  two.command()->addLayout("Main");

  tree.switchLayoutsTogether(f, false);
  EXPECT_TRUE(f.folder()->flags & APPFOLDER::kSwitchLayoutsTogether);
  EXPECT_EQ(one.command()->layoutCount(), 1u);
  f.folder()->flags = 0;
  tree.switchLayoutsTogether(f, true);
  EXPECT_EQ(f.folder()->flags, APPFOLDER::kSwitchLayoutsTogether);
  for (const CCmdItem* c : {&one, &two, &three}) EXPECT_EQ(c->command()->layoutCount(), 3u) << c->label();
  EXPECT_EQ(one.command()->layoutAt(2)->layoutName(), "Layout 3");
  EXPECT_EQ(two.command()->layoutAt(2)->layoutName(), "Layout 3");
  EXPECT_EQ(modified, 2);
}

TEST(CmdTreeAppFolderTest, FileNameAndButtonNameFollowIntoTheApplicationCommand) {
  auto f = APPFOLDER::createNew("Player");
  f->setCommandName("Play");
  EXPECT_EQ(f->appCommand().name(), "App:Play");
  EXPECT_EQ(f->commandName(), "Play");

  f->setFileName("C:\\Old\\p.exe");
  CCmdArray& app = f->appCommand();
  app.actions()[0]->fileName = "c:\\old\\P.EXE";
  CCmdArray& night = app.addLayout();
  EXPECT_EQ(night.name(), "App:Play");
  night.appendAction(std::make_unique<CMD>()).fileName = "C:\\Other.exe";
  f->setFileName("D:\\New\\p.exe");
  EXPECT_EQ(app.actions()[0]->fileName, "D:\\New\\p.exe");
  EXPECT_EQ(night.actions()[0]->fileName, "C:\\Other.exe");
}

}  // namespace
}  // namespace vexa
