#include <gtest/gtest.h>

#include "vexa/model/catalogue.h"
#include "vexa/presets/legacy_config.h"

using namespace vexa;

namespace {

CCmdArray* command(CCmdTree& tree, const std::string& remote, const std::string& name) {
  CCmdItem* r = tree.findRemote(remote);
  if (!r) return nullptr;
  CCmdItem* c = tree.findChild(*r, name);
  return c ? c->command() : nullptr;
}

}  // namespace

TEST(LegacyConfig, SectionNamesSplitIntoThreeParts) {
  auto p = splitLegacySectionName("Play@Remote1#3");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->command, "Play");
  EXPECT_EQ(p->remote, "Remote1");
  EXPECT_EQ(p->number, "3");
  p = splitLegacySectionName("Vol Up#Hauppauge#12");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->remote, "Hauppauge");
  EXPECT_FALSE(splitLegacySectionName("Vexa Config"));
  EXPECT_FALSE(splitLegacySectionName("Play@Remote1"));
  EXPECT_FALSE(splitLegacySectionName("@Remote#1"));
}

TEST(LegacyConfig, ImportsActionsInFileOrder) {
  const CIniFile ini = CIniFile::parse(
      "[Vexa Config]\nFormatVersion=1.0\nPlugIn=Serial\nCmdCount=5\n"
      "[Play@Remote1#3]\nAction=execute application\nFilename=C:\\player.exe\nParam=/play\nDelay=0\n"
      "[Play@Remote1#4]\nAction=Keystroke to current window\nParam=SPACE\nDelay=250\nbRepeat=1\nHotKey=131152\n"
      "[startup commands#Remote1#1]\nAction=Turn off display\n"
      "[broken section]\nAction=Mute\n");
  ASSERT_TRUE(isLegacyConfig(ini));
  CCmdTree tree;
  const LegacyImport result = importLegacyConfig(ini, tree);
  EXPECT_EQ(result.plugIn, "Serial");
  EXPECT_EQ(result.actions, 3u);
  CCmdArray* play = command(tree, "Remote1", "Play");
  ASSERT_NE(play, nullptr);
  ASSERT_EQ(play->actions().size(), 2u);
  const CMD& first = *play->actions()[0];
  EXPECT_EQ(actionTypeOf(first.typeName), ActionType::kExecute);
  EXPECT_EQ(first.fileName, "C:\\player.exe");
  EXPECT_EQ(first.param, "/play");
  EXPECT_FALSE(first.delayEnabled());
  const CMD& second = *play->actions()[1];
  EXPECT_TRUE(second.delayEnabled());
  EXPECT_EQ(second.delay, 250);
  EXPECT_EQ(second.index, 1);
  EXPECT_NE(first.name, "");
  EXPECT_NE(first.name, second.name);
  EXPECT_TRUE(play->flags() & CCmdArray::kAllowRepeat);
  EXPECT_EQ(play->hotKey(), 131152u);
  EXPECT_EQ(play->layoutName(), "Layout 1");
  CCmdArray* startup = command(tree, "Startup Macro", "Startup Actions");
  ASSERT_NE(startup, nullptr);
  EXPECT_EQ(startup->actions().size(), 1u);
}

TEST(LegacyConfig, OnlyVersionOnePointZeroIsLegacy) {
  EXPECT_FALSE(isLegacyConfig(CIniFile::parse("[Vexa Config]\nFormatVersion=1.01\n")));
  EXPECT_FALSE(isLegacyConfig(CIniFile::parse("[Commands]\nID=0\n")));
}

TEST(LegacyConfig, CmdCountBudgetsWholeSectionNamesOnly) {
  // 1 x 500 bytes: "Vexa Config" (12 with its NUL) plus names of 100 bytes each.
  std::string text = "[Vexa Config]\nFormatVersion=1.0\nCmdCount=1\n";
  for (int i = 0; i < 6; ++i)
    text += "[" + std::string(91, 'a' + i) + "@Remote#" + std::to_string(i) + "]\nAction=Mute\n";
  const CIniFile ini = CIniFile::parse(text);
  const auto names = legacySectionNames(ini);
  // 12 + 4 * 101 = 416 bytes fit; a fifth name would end at 517 > 499.
  ASSERT_EQ(names.size(), 5u);
  EXPECT_EQ(names.back().size(), 100u);
  CCmdTree tree;
  EXPECT_EQ(importLegacyConfig(ini, tree).actions, 4u);
  EXPECT_EQ(tree.findRemote("Remote")->children().size(), 4u);
}

TEST(LegacyConfig, ANameEndingExactlyAtTheBudgetIsKeptOneByteMoreIsNot) {
  // CmdCount 2: 999 bytes. "Vexa Config" takes 12, four names of 100 take 404;
  // a last name of 582 characters ends with its NUL at byte 999 exactly.
  const auto namesWithLast = [](size_t lastLength) {
    std::string text = "[Vexa Config]\nFormatVersion=1.0\nCmdCount=2\n";
    for (int i = 0; i < 4; ++i)
      text += "[" + std::string(91, 'a' + i) + "@Remote#" + std::to_string(i) + "]\nAction=Mute\n";
    text += "[" + std::string(lastLength - 9, 'z') + "@Remote#9]\nAction=Mute\n";
    return legacySectionNames(CIniFile::parse(text));
  };
  const auto fits = namesWithLast(582);
  ASSERT_EQ(fits.size(), 6u);
  EXPECT_EQ(fits.back().size(), 582u);
  EXPECT_EQ(fits.back().substr(582 - 9), "@Remote#9");
  const auto over = namesWithLast(583);
  ASSERT_EQ(over.size(), 5u);
  EXPECT_EQ(over.back().size(), 100u);
}

TEST(LegacyConfig, ZeroOrMissingCmdCountImportsNothing) {
  for (const char* count : {"CmdCount=0\n", ""}) {
    const CIniFile ini = CIniFile::parse(std::string("[Vexa Config]\nFormatVersion=1.0\nPlugIn=X\n") + count +
                                         "[Play@R#1]\nAction=Mute\n");
    CCmdTree tree;
    const LegacyImport result = importLegacyConfig(ini, tree);
    EXPECT_EQ(result.plugIn, "X");
    EXPECT_EQ(result.actions, 0u);
    EXPECT_TRUE(tree.empty());
  }
}
