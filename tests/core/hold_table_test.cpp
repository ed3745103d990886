#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "vexa/model/cmd_tree.h"
#include "vexa/model/hold_table.h"

namespace vexa {
namespace {

using Result = CHoldTable::SetResult;

// TV: Menu, Play, Player\Pause, Stop; Radio: Play.
class HoldTableTest : public ::testing::Test {
 protected:
  CCmdItem& command(CCmdItem& parent, std::string name) {
    return tree.insertCommand(parent, std::make_unique<CCmdArray>(std::move(name)));
  }
  Result set(const CCmdItem& c, uint32_t ms, const CCmdItem* target) {
    return tree.holds().set(tree, c, ms, target ? target->command() : nullptr);
  }
  std::string entries() const {
    std::string out;
    for (const HoldEntry& e : tree.holds().entries(tree))
      out += e.path + "=" + std::to_string(e.holdMs) + ">" + e.target + "; ";
    return out;
  }
  const HoldSetting* find(const CCmdItem& c) const { return tree.holds().find(*c.command()); }

  CCmdTree tree;
  CCmdItem& tv = tree.insertRemote("TV");
  CCmdItem& radio = tree.insertRemote("Radio");
  CCmdItem& player = tree.insertFolder(tv, APPFOLDER::createNew("Player"));
  CCmdItem& menu = command(tv, "Menu");
  CCmdItem& play = command(tv, "Play");
  CCmdItem& stop = command(tv, "Stop");
  CCmdItem& pause = command(player, "Pause");
  CCmdItem& radioPlay = command(radio, "Play");
};

TEST_F(HoldTableTest, SetChecksTheTimeAndTheTarget) {
  std::vector<std::string> targets;
  for (const CCmdItem* t : CHoldTable::targetsFor(tree, play)) targets.push_back(commandPath(*t));
  EXPECT_EQ(targets, (std::vector<std::string>{"TV\\Menu", "TV\\Player\\Pause", "TV\\Stop"}));

  EXPECT_EQ(set(play, 300, &stop), Result::Set);
  EXPECT_EQ(set(play, 5000, &pause), Result::Set);  // a folder's command
  for (uint32_t ms : {299u, 5001u, 1u}) EXPECT_EQ(set(play, ms, &stop), Result::OutOfRange) << ms;
  for (const CCmdItem* t : {&radioPlay, &play, static_cast<CCmdItem*>(nullptr)})
    EXPECT_EQ(set(play, 400, t), Result::NotATarget);
  EXPECT_EQ(set(play, 400, &player), Result::NotATarget);
  EXPECT_EQ(set(player, 400, &stop), Result::NotATarget);
  ASSERT_TRUE(find(play));
  EXPECT_EQ(find(play)->holdMs, 5000u);
  EXPECT_EQ(find(play)->target, pause.command());

  // Any layout stands for its command, as a target too.
  const CCmdArray& second = play.command()->addLayout();
  EXPECT_EQ(tree.holds().find(second), find(play));
  EXPECT_EQ(tree.holds().set(tree, pause, 800, &stop.command()->addLayout()), Result::Set);
  EXPECT_EQ(find(pause)->target, stop.command());

  EXPECT_EQ(set(play, 0, nullptr), Result::Cleared);
  EXPECT_FALSE(find(play));
  EXPECT_EQ(tree.holds().size(), 1u);
}

TEST_F(HoldTableTest, RenamesAndMovesKeepTheSetting) {
  ASSERT_EQ(set(play, 700, &pause), Result::Set);
  ASSERT_EQ(tree.rename(tv, "Telly"), RenameResult::Renamed);
  ASSERT_EQ(tree.rename(player, "Deck"), RenameResult::Renamed);
  ASSERT_EQ(tree.rename(play, "Start"), RenameResult::Renamed);
  EXPECT_EQ(entries(), "Telly\\Start=700>Telly\\Deck\\Pause; ");

  CCmdItem* moved = tree.drop(play, player);
  ASSERT_TRUE(moved);
  EXPECT_EQ(entries(), "Telly\\Deck\\Start=700>Telly\\Deck\\Pause; ");
  tree.cut(*moved);
  moved = tree.paste(&tv);
  ASSERT_TRUE(moved);
  ASSERT_TRUE(tree.drop(pause, menu));
  EXPECT_EQ(entries(), "Telly\\Start=700>Telly\\Pause; ");
  EXPECT_TRUE(tree.holds().anyFor(tree, "Telly", "start"));
}

TEST_F(HoldTableTest, AMoveToAnotherRemoteDropsTheSettingsThatWouldCrossRemotes) {
  ASSERT_EQ(set(play, 700, &stop), Result::Set);
  ASSERT_EQ(set(menu, 700, &play), Result::Set);
  ASSERT_EQ(set(stop, 700, &menu), Result::Set);
  // Play may not run Stop from Radio, nor Menu run Play there.
  ASSERT_TRUE(tree.drop(play, radio));
  EXPECT_EQ(entries(), "TV\\Stop=700>TV\\Menu; ");
}

TEST_F(HoldTableTest, DeletingACommandItsTargetOrTheirFolderDropsTheSetting) {
  ASSERT_EQ(set(play, 700, &stop), Result::Set);
  ASSERT_EQ(set(stop, 700, &menu), Result::Set);
  ASSERT_EQ(set(pause, 700, &play), Result::Set);
  ASSERT_EQ(set(menu, 700, &pause), Result::Set);
  tree.deleteItem(stop);
  EXPECT_EQ(entries(), "TV\\Menu=700>TV\\Player\\Pause; TV\\Player\\Pause=700>TV\\Play; ");
  tree.deleteItem(player);
  EXPECT_EQ(entries(), "");

  ASSERT_EQ(set(menu, 700, &play), Result::Set);
  tree.clear();
  EXPECT_TRUE(tree.holds().empty());
}

TEST_F(HoldTableTest, AnyForLooksAtTheRemoteAndItsFolders) {
  EXPECT_FALSE(tree.holds().anyFor(tree, "TV", "Play"));
  ASSERT_EQ(set(play, 700, &stop), Result::Set);
  ASSERT_EQ(set(pause, 700, &menu), Result::Set);
  EXPECT_TRUE(tree.holds().anyFor(tree, "TV", "PLAY"));
  EXPECT_TRUE(tree.holds().anyFor(tree, "TV", "Pause"));
  EXPECT_FALSE(tree.holds().anyFor(tree, "TV", "Stop"));
  EXPECT_FALSE(tree.holds().anyFor(tree, "Radio", "Play"));
  EXPECT_FALSE(tree.holds().anyFor(tree, "Nowhere", "Play"));
}

TEST_F(HoldTableTest, AssignResolvesAndKeepsWhatItCannot) {
  const std::vector<std::string> ignored = tree.holds().assign(
      tree, {{"tv\\PLAY", 400, "TV\\player\\pause"},
             {"TV\\Gone", 500, "TV\\Menu"},
             {"TV\\Menu", 500, "TV\\Nothing"},
             {"TV\\Player\\Pause", 100, "TV\\Play"},
             {"TV\\Play", 900, "TV\\Menu"},  // a second section of a name: the first counts
             {"Radio\\Play", 500, "TV\\Play"},
             {"TV\\Stop", 6000, "TV\\Menu"}});
  ASSERT_EQ(ignored.size(), 5u);
  EXPECT_NE(ignored[0].find("TV\\Gone"), std::string::npos);
  EXPECT_NE(ignored[1].find("TV\\Nothing"), std::string::npos);
  EXPECT_NE(ignored[2].find("HoldMs=100"), std::string::npos);
  ASSERT_TRUE(find(play));
  EXPECT_EQ(find(play)->holdMs, 400u);
  EXPECT_EQ(find(play)->target, pause.command());
  EXPECT_FALSE(find(radioPlay));
  EXPECT_FALSE(find(stop));
  EXPECT_EQ(entries(),
            "TV\\Play=400>TV\\Player\\Pause; TV\\Gone=500>TV\\Menu; TV\\Menu=500>TV\\Nothing; "
            "TV\\Player\\Pause=100>TV\\Play; Radio\\Play=500>TV\\Play; TV\\Stop=6000>TV\\Menu; ");

  // A setting made since replaces the kept one of its path.
  ASSERT_EQ(set(menu, 600, &stop), Result::Set);
  EXPECT_EQ(entries().find("TV\\Nothing"), std::string::npos);
  EXPECT_NE(entries().find("TV\\Menu=600>TV\\Stop"), std::string::npos);

  EXPECT_TRUE(tree.holds().assign(tree, {}).empty());
  EXPECT_EQ(entries(), "");
}

}  // namespace
}  // namespace vexa
