// Texts that loaded actions share: one copy per distinct value, yet each
// action's text stays its own to change.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "vexa/base/shared_text.h"
#include "vexa/base/windows_1252.h"
#include "vexa/model/cmd.h"
#include "vexa/model/cmd_tree_store.h"

using namespace vexa;

namespace {

TEST(SharedText, EmptyAndValueSemantics) {
  const CSharedText none, blank(""), fromString{std::string()};
  EXPECT_TRUE(none.empty());
  EXPECT_TRUE(blank.empty());
  EXPECT_EQ(none, blank);
  EXPECT_EQ(fromString, "");
  EXPECT_STREQ(none.c_str(), "");
  EXPECT_EQ(none.size(), 0u);

  CSharedText a("Mute");
  CSharedText b = a;
  EXPECT_TRUE(b.sharesWith(a));
  b = "Close window";  // gives b other text, never rewrites the one a holds
  EXPECT_EQ(a, "Mute");
  EXPECT_EQ(b, std::string("Close window"));
  EXPECT_FALSE(b.sharesWith(a));
  // Equal text compares equal whether or not it is shared.
  EXPECT_EQ(CSharedText("Mute"), a);
  EXPECT_NE(CSharedText("mute"), a);
}

TEST(SharedText, InternerSharesRepeatsAndBoundsWhatItRemembers) {
  CTextInterner interner;
  const CSharedText first = interner.intern("Keystroke to application");
  const CSharedText other = interner.intern("Mute");
  const CSharedText again = interner.intern(std::string("Keystroke to application"));  // not the last one asked
  EXPECT_TRUE(again.sharesWith(first));
  EXPECT_FALSE(other.sharesWith(first));
  EXPECT_EQ(other, "Mute");
  EXPECT_TRUE(interner.intern("").empty());

  for (size_t i = 0; i < CTextInterner::kMaxDistinct; ++i) interner.intern("value " + std::to_string(i));
  // Past the bound new texts are still right, only no longer shared...
  const CSharedText late = interner.intern("late");
  EXPECT_EQ(late, "late");
  EXPECT_FALSE(interner.intern("unseen").sharesWith(interner.intern("other")));
  // ...and what it remembered still is.
  EXPECT_TRUE(interner.intern("Mute").sharesWith(other));
}

TEST(SharedText, CopiesOnTwoThreadsLeaveTheTextIntact) {
  // The user-interface thread copies actions into a run's snapshot while a
  // run thread drops its own copies of the same texts.
  CTextInterner interner;
  CMD action;
  action.typeName = interner.intern("Keystroke to application");
  action.fileName = interner.intern("C:\\Program Files\\Player\\player.exe");
  const CMD original = action;
  std::vector<CMD> snapshots(64, action);
  std::thread run([&] {
    for (int round = 0; round < 2000; ++round)
      for (CMD& s : snapshots) s = CMD(s);
  });
  for (int round = 0; round < 2000; ++round) {
    CMD copy = action;
    copy.typeName = "Mute";
  }
  run.join();
  EXPECT_EQ(action, original);
  for (const CMD& s : snapshots) EXPECT_EQ(s, original);
}

const std::string kRepeated =
    "[Commands]\n"
    "[Commands\\TV]\nID=0\n"
    "[Commands\\TV\\Play]\nID=1\n"
    "[Commands\\TV\\Play\\Layout 1]\nID=1\n"
    "[Commands\\TV\\Play\\Layout 1\\A]\nID=3\nAction=Keystroke to application\nFilename=C:\\player.exe\nParam=P\n"
    "[Commands\\TV\\Play\\Layout 1\\B]\nID=3\nAction=Keystroke to application\nFilename=C:\\player.exe\nParam=Q\n"
    "[Commands\\TV\\Stop]\nID=1\n"
    "[Commands\\TV\\Stop\\Layout 1]\nID=1\n"
    "[Commands\\TV\\Stop\\Layout 1\\A]\nID=3\nAction=Keystroke to application\nFilename=C:\\player.exe\nxParam1=x\n";

const CMD& actionOf(const CCmdTree& tree, size_t command, size_t action) {
  return *tree.remotes()[0]->children()[command]->command()->actions()[action];
}

TEST(SharedText, LoadedActionsShareRepeatedTextsButChangeAlone) {
  for (ProfileEncoding form : {ProfileEncoding::Text, ProfileEncoding::Binary}) {
    CCmdTree source;
    ASSERT_TRUE(decodeCommandTree(source, kRepeated, CWindows1252()).ok);
    const std::string bytes = encodeCommandTree(source, form, CWindows1252());
    CCmdTree tree;
    ASSERT_TRUE(decodeCommandTree(tree, bytes, CWindows1252()).ok);
    const CMD& a = actionOf(tree, 0, 0);
    const CMD& b = actionOf(tree, 0, 1);
    const CMD& c = actionOf(tree, 1, 0);
    EXPECT_TRUE(a.typeName.sharesWith(b.typeName));
    EXPECT_TRUE(a.typeName.sharesWith(c.typeName));
    EXPECT_TRUE(a.fileName.sharesWith(c.fileName));
    EXPECT_EQ(c.extraParam, "x");

    // A change to one action (as the definition dialog or an application
    // found elsewhere makes) reaches only that action, and saving shows it.
    CMD& changed = *tree.remotes()[0]->children()[0]->command()->actions()[1];
    changed.fileName = "D:\\other.exe";
    changed.typeName = "Mute";
    EXPECT_EQ(a.fileName, "C:\\player.exe");
    EXPECT_EQ(c.typeName, "Keystroke to application");
    const std::string saved = encodeCommandTree(tree, ProfileEncoding::Text, CWindows1252());
    EXPECT_NE(saved.find("Action=Mute\nFilename=D:\\other.exe"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("Action=Keystroke to application\nFilename=D:"), std::string::npos) << saved;
  }
}

}  // namespace
