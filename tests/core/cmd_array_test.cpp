#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "vexa/model/cmd_array.h"

namespace vexa {
namespace {

std::vector<std::string> layoutNames(const CCmdArray& command) {
  std::vector<std::string> names;
  for (const CCmdArray* l = &command.first(); l; l = l->next()) names.push_back(l->layoutName());
  return names;
}

std::unique_ptr<CMD> action(std::string name) {
  auto a = std::make_unique<CMD>();
  a->name = std::move(name);
  a->typeName = "Mute";
  return a;
}

using Names = std::vector<std::string>;

TEST(CmdArrayTest, NewCommandIsOneLayoutActiveOnItself) {
  CCmdArray c("Play");
  EXPECT_EQ(c.layoutCount(), 1u);
  EXPECT_EQ(c.activeLayout(), &c);
  EXPECT_EQ(c.layoutName(), "Layout 1");
  EXPECT_EQ(c.appendAction(action("a")).index, 0);
  EXPECT_EQ(c.appendAction(action("b")).index, 1);
}

TEST(CmdArrayTest, GeneratedLayoutNames) {
  CCmdArray c("Play");
  c.setLayoutName("Layout 3");
  EXPECT_EQ(c.addLayout().layoutName(), "Layout 4");

  CCmdArray main("Play");
  main.addLayout("Main");
  EXPECT_EQ(main.addLayout().layoutName(), "Layout 3");

  CCmdArray clash("Play");
  clash.addLayout("layout 4");
  clash.addLayout("Layout 3");
  EXPECT_EQ(clash.addLayout().layoutName(), "Layout 4_1");
  clash.addLayout("LAYOUT 4");  // given names are made unique too
  EXPECT_EQ(layoutNames(clash), (Names{"Layout 1", "layout 4", "Layout 3", "Layout 4_1", "LAYOUT 4_2"}));
  EXPECT_EQ(clash.uniqueLayoutName("layout 3", clash.layoutAt(2)), "layout 3");

  // The word may be in any case and anywhere; a 0 or missing number counts.
  CCmdArray words("Play");
  words.setLayoutName("My LAYOUT 7");
  EXPECT_EQ(words.addLayout().layoutName(), "Layout 8");
  words.addLayout("layout 0");
  EXPECT_EQ(words.addLayout().layoutName(), "Layout 4");
  words.addLayout("Layout");
  EXPECT_EQ(words.addLayout().layoutName(), "Layout 6");
}

TEST(CmdArrayTest, CommandWideFieldsReachEveryLayout) {
  const auto fields = [](const CCmdArray& l) { return std::tuple{l.name(), l.index(), l.hotKey(), l.flags()}; };
  CCmdArray c("Play");
  c.setIndex(2);
  c.setHotKey(0x20041);
  c.setFlags(CCmdArray::kAllowRepeat);
  CCmdArray& second = c.addLayout();  // copies them
  EXPECT_EQ(fields(second), (std::tuple{std::string("Play"), 2, 0x20041u, CCmdArray::kAllowRepeat}));

  CCmdArray& third = c.addLayout();
  second.setName("Stop");
  second.setIndex(7);
  second.setHotKey(0x10042);
  second.setFlags(CCmdArray::kDisableOsd);
  const auto want = std::tuple{std::string("Stop"), 7, 0x10042u, CCmdArray::kDisableOsd};
  EXPECT_EQ(fields(c), want);
  EXPECT_EQ(fields(third), want);
  second.setOwnFields(1, 2, 3);  // this layout only
  EXPECT_EQ(fields(c), want);
  EXPECT_EQ(second.hotKey(), 2u);
}

TEST(CmdArrayTest, ActiveLayoutIsSharedAndSwitchingChecksTheNumber) {
  CCmdArray c("Play");
  CCmdArray& l2 = c.addLayout();
  CCmdArray& l3 = c.addLayout();
  EXPECT_EQ(l3.layoutCount(), 3u);
  EXPECT_EQ(c.activeLayout(), &c);  // adding does not switch

  l3.setActiveLayout(&l2);
  for (const CCmdArray* l : {&c, &l2, &l3}) EXPECT_EQ(l->activeLayout(), &l2);
  EXPECT_EQ(c.activeLayoutNumber(), 1);

  EXPECT_FALSE(c.switchToLayout(5));
  EXPECT_FALSE(c.switchToLayout(3));
  EXPECT_EQ(c.activeLayout(), &l2);
  EXPECT_TRUE(l2.switchToLayout(2));
  EXPECT_EQ(c.activeLayout(), &l3);
  EXPECT_TRUE(l3.switchToLayout(0));
  EXPECT_EQ(l3.activeLayout(), &c);
  EXPECT_EQ(c.layoutAt(2), &l3);
  EXPECT_EQ(c.layoutAt(3), nullptr);
  EXPECT_EQ(l3.layoutNumber(&l2), 1);
}

TEST(CmdArrayTest, RemovingLayouts) {
  CCmdArray c("Play");
  CCmdArray& l2 = c.addLayout();
  CCmdArray& l3 = c.addLayout();
  CCmdArray other("Other");

  EXPECT_EQ(c.removeLayout(c), nullptr);  // the first stands for the command
  EXPECT_EQ(c.removeLayout(other), nullptr);
  EXPECT_EQ(c.layoutCount(), 3u);

  c.setActiveLayout(&l3);
  auto removed = c.removeLayout(l2);
  ASSERT_EQ(removed.get(), &l2);
  EXPECT_EQ(layoutNames(c), (Names{"Layout 1", "Layout 3"}));
  EXPECT_EQ(l3.previous(), &c);
  EXPECT_EQ(c.activeLayout(), &l3);  // removing another layout keeps it
  EXPECT_EQ(removed->layoutCount(), 1u);
  EXPECT_EQ(removed->activeLayout(), removed.get());

  auto last = l3.removeLayout(l3);
  ASSERT_TRUE(last);
  EXPECT_EQ(c.activeLayout(), &c);
  EXPECT_EQ(c.layoutCount(), 1u);
}

TEST(CmdArrayTest, CloneIsDeep) {
  CCmdArray c("Play");
  c.setHotKey(0x30041);
  c.setFlags(CCmdArray::kAllowRepeat | CCmdArray::kDisableOsd);
  c.appendAction(action("a"));
  CCmdArray& l2 = c.addLayout("Night");
  l2.appendAction(action("b"));
  c.addLayout();
  c.switchToLayout(1);

  auto copy = c.layoutAt(2)->clone();  // from any layout: the whole command
  ASSERT_EQ(copy->layoutCount(), 3u);
  EXPECT_EQ(layoutNames(*copy), layoutNames(c));
  EXPECT_EQ(copy->activeLayout(), copy->layoutAt(1));
  for (size_t n = 0; n < 3; ++n) {
    const CCmdArray& from = *c.layoutAt(n);
    const CCmdArray& to = *copy->layoutAt(n);
    EXPECT_EQ(to.name(), "Play");
    EXPECT_EQ(to.hotKey(), 0x30041u);
    EXPECT_EQ(to.flags(), 3u);
    ASSERT_EQ(to.actions().size(), from.actions().size());
    for (size_t i = 0; i < to.actions().size(); ++i) {
      EXPECT_NE(to.actions()[i].get(), from.actions()[i].get());
      EXPECT_EQ(*to.actions()[i], *from.actions()[i]);
    }
  }
  copy->layoutAt(1)->actions()[0]->name = "changed";
  copy->switchToLayout(2);
  EXPECT_EQ(l2.actions()[0]->name, "b");
  EXPECT_EQ(c.activeLayoutNumber(), 1);
}

// Runs `fn(arg)` on a thread with a small stack; false if it could not run.
struct Call {
  void (*fn)(void*);
  void* arg;
};
#ifdef _WIN32
DWORD WINAPI runCall(LPVOID p) {
  static_cast<Call*>(p)->fn(static_cast<Call*>(p)->arg);
  return 0;
}
#else
void* runCall(void* p) {
  static_cast<Call*>(p)->fn(static_cast<Call*>(p)->arg);
  return nullptr;
}
#endif

bool runOnSmallStack(void (*fn)(void*), void* arg) {
  constexpr size_t kStack = 128 * 1024;
  Call call{fn, arg};
#ifdef _WIN32
  HANDLE thread = CreateThread(nullptr, kStack, runCall, &call, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread) return false;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return true;
#else
  pthread_attr_t attr;
  pthread_t thread;
  if (pthread_attr_init(&attr) != 0 || pthread_attr_setstacksize(&attr, kStack) != 0) return false;
  const bool started = pthread_create(&thread, &attr, runCall, &call) == 0;
  pthread_attr_destroy(&attr);
  return started && pthread_join(thread, nullptr) == 0;
#endif
}

// A destructor that recursed once per layout would overflow the small stack.
TEST(CmdArrayTest, LongChainDestroysWithoutDeepRecursion) {
  auto c = std::make_unique<CCmdArray>("Play");
  for (int i = 0; i < 4000; ++i) c->addLayout("L" + std::to_string(i)).appendAction(action("a"));
  ASSERT_EQ(c->layoutCount(), 4001u);
  EXPECT_TRUE(runOnSmallStack([](void* p) { delete static_cast<CCmdArray*>(p); }, c.release()));
}

}  // namespace
}  // namespace vexa
