// "Configure WinAmp PlugIn": offered only when the plug-in's App Paths entry
// exists, and it shows the plug-in's own configuration dialog.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "module_test_support.h"
#include "vexa/shell/res/resource.h"
#include "vexa/shell/win/winamp_plugin.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/reg_key.h"

namespace vexa::test {
namespace {

bool hasMenuItem(HWND window, UINT id) {
  wchar_t text[64] = L"";
  return GetMenuStringW(GetMenu(window), id, text, 64, MF_BYCOMMAND) > 0 && std::wstring(text) == shell::kWinAmpMenuItem;
}

class WinAmpPluginTest : public ::testing::Test {
 protected:
  void TearDown() override { RegDeleteKeyW(HKEY_LOCAL_MACHINE, shell::kWinAmpAppPath); }
  void registerPlugin(const std::wstring& path) {
    win::CRegKey key;
    ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, shell::kWinAmpAppPath));
    ASSERT_TRUE(key.SetString(L"", path));
  }
  const shell::ModuleLibraries noModules{L"no-such-tapmod.dll", L"no-such-vexanet.dll"};
};

TEST_F(WinAmpPluginTest, WithoutTheAppPathsEntryTheMenuHasNoItem) {
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, shell::kWinAmpAppPath);
  CModulesFixture fixture(noModules);
  EXPECT_FALSE(hasMenuItem(fixture.window.Handle(), ID_PREFS_WINAMP));
  EXPECT_FALSE(fixture.window.RunMenuCommand(ID_PREFS_WINAMP));
}

TEST_F(WinAmpPluginTest, TheMenuItemShowsThePluginsConfiguration) {
  registerPlugin((win::modulePath().parent_path() / L"gen_vexa.dll").wstring());
  CModulesFixture fixture(noModules);
  ASSERT_TRUE(hasMenuItem(fixture.window.Handle(), ID_PREFS_WINAMP));
  std::atomic<bool> shown{false};
  std::thread closer([&] {
    for (int i = 0; i < 500 && !shown; ++i) {
      if (const HWND dialog = FindWindowW(nullptr, L"Vexa WinAmp PlugIn")) {
        shown = true;
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
      }
      Sleep(10);
    }
  });
  EXPECT_TRUE(fixture.window.RunMenuCommand(ID_PREFS_WINAMP));
  closer.join();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(fixture.boxes.empty());
  // Loaded for the dialog only.
  EXPECT_EQ(GetModuleHandleW(L"gen_vexa.dll"), nullptr);
}

TEST_F(WinAmpPluginTest, AMissingPluginIsReportedWithItsPath) {
  registerPlugin(L"C:\\Player\\Plugins\\gen_vexa.dll");
  CModulesFixture fixture(noModules);
  EXPECT_TRUE(fixture.window.RunMenuCommand(ID_PREFS_WINAMP));
  EXPECT_EQ(fixture.boxes, std::vector<std::wstring>{
                               L"Winamp Plugin not found at\nC:\\Player\\Plugins\\gen_vexa.dll\n\nPlease start WinAmp "
                               L"and open the PlugIn configuration\ndialog to reinitialize the plugin location."});
}

}  // namespace
}  // namespace vexa::test
