#include <gtest/gtest.h>

#include "vexa/codec/profile_tree.h"

using namespace vexa;

TEST(ProfileTree, ChildrenKeepInsertionOrder) {
  CProfileTree tree;
  CProfileKey& top = tree.appendChild("Commands");
  CProfileKey& b = top.appendChild("B");
  top.appendChild("A");
  top.insertFirst("First");
  top.insertAfter(b, "AfterB");
  std::vector<std::string> names;
  for (const auto& c : top.children()) names.push_back(c->name());
  EXPECT_EQ(names, (std::vector<std::string>{"First", "B", "AfterB", "A"}));
  EXPECT_EQ(tree.findTopKey("Commands"), &top);
  EXPECT_EQ(tree.findTopKey("commands"), nullptr);  // top keys match exactly
  EXPECT_EQ(top.findChild("A")->parent(), &top);
  EXPECT_EQ(keyPath(*top.findChild("AfterB")), "Commands\\AfterB");
}

TEST(ProfileTree, ValuesAndTheirMap) {
  CProfileTree tree;
  CProfileKey& key = tree.appendChild("K");
  EXPECT_FALSE(key.hasValueMap());
  EXPECT_EQ(key.value("ID", "-1"), "-1");
  key.setValue("ID", "1");
  key.setValue("Name", "x");
  key.setValue("ID", "2");
  EXPECT_TRUE(key.hasValueMap());
  ASSERT_EQ(key.values().size(), 2u);
  EXPECT_EQ(key.values()[0], (CProfileKey::Value{"ID", "2"}));
  EXPECT_EQ(key.value("ID"), "2");
  EXPECT_EQ(key.findValue("id"), nullptr);  // value names are exact, like the map they come from
}

TEST(ProfileTree, ReplaceContentsReparentsAndEmptiesTheSource) {
  CProfileTree a, b;
  a.appendChild("Old");
  b.appendChild("New").appendChild("Child");
  a.replaceContents(b);
  ASSERT_EQ(a.childCount(), 1u);
  EXPECT_EQ(a.child(0)->name(), "New");
  EXPECT_EQ(a.child(0)->parent(), &a);
  EXPECT_EQ(b.childCount(), 0u);
}

TEST(ProfileTree, DeepTreesTearDownWithoutRecursion) {
  auto tree = std::make_unique<CProfileTree>();
  CProfileKey* k = tree.get();
  for (int i = 0; i < 200000; ++i) k = &k->appendChild("x");
  tree.reset();  // would overflow the stack if destruction recursed per level
  SUCCEED();
}
