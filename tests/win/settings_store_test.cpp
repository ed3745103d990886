#include "vexa/shell/win/settings_store.h"

#include <gtest/gtest.h>

#include "vexa/winlib/reg_key.h"

namespace vexa::shell {
namespace {

// Everything under a test key of the current user, the machine-wide keys included.
class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring root = L"Software\\Marlix\\VexaTest\\Settings" + std::to_wstring(GetCurrentProcessId());
    where.programKey = root + L"\\Vexa";
    where.machineRoot = HKEY_CURRENT_USER;
    where.runKey = root + L"\\Run";
    where.appPathsKey = root + L"\\App Paths";
  }
  void TearDown() override {
    win::CRegKey marlix;
    if (marlix.Open(HKEY_CURRENT_USER, L"Software\\Marlix", KEY_ALL_ACCESS)) marlix.DeleteTree(L"VexaTest");
  }
  std::optional<DWORD> value(const wchar_t* name) const {
    win::CRegKey key;
    return key.Open(HKEY_CURRENT_USER, where.programKey) ? key.QueryDword(name) : std::nullopt;
  }

  SettingsLocation where;
  const std::filesystem::path exe = L"C:\\Program Files\\Vexa\\vexa.exe";
};

TEST_F(SettingsStoreTest, NothingSavedGivesTheDefaults) {
  const ProgramSettings s = loadProgramSettings(where);
  EXPECT_EQ(s, ProgramSettings{});
  EXPECT_EQ(s.options.word, 0x44u);
  EXPECT_EQ(s.serverPort, 1234u);
}

TEST_F(SettingsStoreTest, SaveAndLoadAgainKeepEveryValueAndTheRunValueFollowsItsBox) {
  ProgramSettings s;
  s.options.set(ProgramOptions::kStartWithWindows, true);
  s.options.set(ProgramOptions::kEnableLog, true);
  s.options.set(ProgramOptions::kShowShutdownWindow, false);
  s.serverPort = 4000;
  s.repThresholdMs = 100;
  s.typematicDelayMs = 750;
  ASSERT_TRUE(saveProgramSettings(s, exe, where));
  ProgramSettings loaded = loadProgramSettings(where);
  EXPECT_FALSE(loaded.firstRun);
  loaded.firstRun = true;
  EXPECT_EQ(loaded, s);
  win::CRegKey run;
  ASSERT_TRUE(run.Open(HKEY_CURRENT_USER, where.runKey));
  EXPECT_EQ(run.QueryString(kRunValueName), exe.wstring());
  win::CRegKey appPaths;
  ASSERT_TRUE(appPaths.Open(HKEY_CURRENT_USER, where.appPathsKey + L"\\vexa.exe"));
  EXPECT_EQ(appPaths.QueryString(L""), L"C:\\Program Files\\Vexa\\vexa.exe");
  EXPECT_EQ(appPaths.QueryString(L"Path"), L"C:\\Program Files\\Vexa");

  // Turning "Start with windows" off removes the Run value at the next save.
  s.options.set(ProgramOptions::kStartWithWindows, false);
  ASSERT_TRUE(saveProgramSettings(s, exe, where));
  EXPECT_FALSE(run.QueryString(kRunValueName).has_value());
  EXPECT_FALSE(loadProgramSettings(where).options.has(ProgramOptions::kStartWithWindows));
}

TEST_F(SettingsStoreTest, TheRunValueDecidesStartWithWindowsAndUnshownBitsSurvive) {
  win::CRegKey key;
  ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, where.programKey));
  ASSERT_TRUE(key.SetDword(L"Options", 0x400 | 0x100 | ProgramOptions::kStartWithWindows));
  // Someone removed the Run value outside the program: the box reads unticked.
  EXPECT_FALSE(loadProgramSettings(where).options.has(ProgramOptions::kStartWithWindows));

  ProgramSettings s = loadProgramSettings(where);
  s.options.word = ProgramOptions::kHideOnStartup;  // the pages know nothing of bits 8 and 10
  ASSERT_TRUE(saveProgramSettings(s, exe, where));
  EXPECT_EQ(value(L"Options"), 0x400u | 0x100u | ProgramOptions::kHideOnStartup);
  EXPECT_EQ(value(L"FirstRun"), 0u);
}

}  // namespace
}  // namespace vexa::shell
