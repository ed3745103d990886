#include "vexa/shell/win/instance_guard.h"

#include <gtest/gtest.h>

#include <string>

namespace vexa::shell {
namespace {

// A name of our own so that a running program in the same prefix does not interfere.
std::wstring uniqueName() {
  return L"Vexa Instance test " + std::to_wstring(GetCurrentProcessId());
}

TEST(InstanceGuardTest, SecondGuardSeesTheFirstUntilItEnds) {
  const std::wstring name = uniqueName();
  {
    CInstanceGuard first(name);
    ASSERT_TRUE(first.IsFirst());
    CInstanceGuard second(name);
    EXPECT_FALSE(second.IsFirst());
    // The loser must not keep the name alive: a third start still sees the first.
    CInstanceGuard third(name);
    EXPECT_FALSE(third.IsFirst());
  }
  CInstanceGuard afterwards(name);
  EXPECT_TRUE(afterwards.IsFirst());
}

TEST(InstanceGuardTest, SeesAnInstanceInAnotherThread) {
  const std::wstring name = uniqueName() + L" thread";
  CInstanceGuard first(name);
  ASSERT_TRUE(first.IsFirst());
  struct Probe {
    const std::wstring* name;
    bool first = true;
  } probe{&name};
  HANDLE thread = CreateThread(
      nullptr, 0,
      [](void* p) -> DWORD {
        auto* probe = static_cast<Probe*>(p);
        probe->first = CInstanceGuard(*probe->name).IsFirst();
        return 0;
      },
      &probe, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_FALSE(probe.first);
}

}  // namespace
}  // namespace vexa::shell
