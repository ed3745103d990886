#include <gtest/gtest.h>

#include <string>

#include "vexa/winlib/module.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/sync.h"

namespace vexa::win {
namespace {

class RegKeyTest : public ::testing::Test {
 protected:
  const std::wstring path =
      L"Software\\Vexa Tests\\winlib " + std::to_wstring(GetCurrentProcessId());

  void TearDown() override {
    CRegKey parent;
    if (parent.Open(HKEY_CURRENT_USER, L"Software", KEY_ALL_ACCESS)) {
      parent.DeleteTree(L"Vexa Tests");
    }
  }
};

TEST_F(RegKeyTest, StoresAndReadsBackValues) {
  {
    CRegKey key;
    ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, path));
    EXPECT_TRUE(key.SetString(L"Name", L"Stereo K\u00FCche"));
    EXPECT_TRUE(key.SetString(L"Empty", L""));
    EXPECT_TRUE(key.SetDword(L"Options", 0x80000001u));
  }  // closed and opened again: values must come from the registry, not from us
  CRegKey key;
  ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, path));
  EXPECT_EQ(key.QueryString(L"Name"), L"Stereo K\u00FCche");
  EXPECT_EQ(key.QueryString(L"Empty"), L"");
  EXPECT_EQ(key.QueryDword(L"Options"), 0x80000001u);
  EXPECT_FALSE(key.QueryString(L"Missing").has_value());
  // A value of the other type is not silently converted.
  EXPECT_FALSE(key.QueryDword(L"Name").has_value());
  EXPECT_FALSE(key.QueryString(L"Options").has_value());
}

TEST_F(RegKeyTest, DeletesValuesAndFailsOnMissingKeys) {
  CRegKey key;
  ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, path));
  ASSERT_TRUE(key.SetDword(L"FirstRun", 1));
  EXPECT_TRUE(key.DeleteValue(L"FirstRun"));
  EXPECT_FALSE(key.QueryDword(L"FirstRun").has_value());
  EXPECT_FALSE(key.DeleteValue(L"FirstRun"));

  CRegKey missing;
  EXPECT_FALSE(missing.Open(HKEY_CURRENT_USER, path + L"\\does not exist"));
  EXPECT_FALSE(missing.IsValid());
}

TEST(ModuleTest, LooksUpExportsAtRunTime) {
  CModule kernel;
  ASSERT_TRUE(kernel.Load(L"kernel32.dll"));
  using GetTickCountFn = DWORD(WINAPI*)();
  const auto tick = kernel.GetProc<GetTickCountFn>("GetTickCount");
  ASSERT_NE(tick, nullptr);
  EXPECT_GT(tick(), 0u);
  EXPECT_EQ(kernel.GetProc<GetTickCountFn>("NoSuchExportAnywhere"), nullptr);

  CModule missing;
  EXPECT_FALSE(missing.Load(L"no-such-library-vexa.dll"));
}

TEST(SyncTest, NamedEventIsSharedAndSignals) {
  const std::wstring name = L"VexaTestEvent " + std::to_wstring(GetCurrentProcessId());
  CEvent first;
  ASSERT_TRUE(first.Create(name, true, false));
  EXPECT_FALSE(first.AlreadyExisted());
  CEvent second;
  ASSERT_TRUE(second.Create(name, true, false));
  EXPECT_TRUE(second.AlreadyExisted());

  EXPECT_FALSE(second.Wait(0));
  ASSERT_TRUE(first.Set());
  EXPECT_TRUE(second.Wait(0));
  EXPECT_TRUE(second.Wait(0));  // manual reset: stays signalled
  ASSERT_TRUE(first.Reset());
  EXPECT_FALSE(second.Wait(0));
}

TEST(SyncTest, MovedHandleIsClosedOnce) {
  CEvent event;
  ASSERT_TRUE(event.CreateAnonymous(false, true));
  const HANDLE raw = event.Get();
  CHandle moved(std::move(event));
  EXPECT_FALSE(event.IsValid());
  EXPECT_EQ(moved.Get(), raw);
  EXPECT_TRUE(moved.Close());
  EXPECT_FALSE(moved.IsValid());
  EXPECT_TRUE(moved.Close());  // nothing left to close
}

}  // namespace
}  // namespace vexa::win
