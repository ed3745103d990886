// The application scan against an App Paths key and Start-menu shortcuts
// made for the test, and placeholder resolution through the registry.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shobjidl.h>

#include "support/temp_folder.h"
#include "exec_test_support.h"
#include "vexa/exec/win/app_scan.h"
#include "vexa/exec/win/com_scope.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/winlib/unicode.h"
#include "vexa/winlib/system_code_page.h"

namespace vexa::test {
namespace {

bool makeShortcut(const std::filesystem::path& link, const std::filesystem::path& target) {
  exec::CComScope com;
  IShellLinkW* shell = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shell))))
    return false;
  IPersistFile* file = nullptr;
  bool ok = SUCCEEDED(shell->SetPath(target.c_str())) &&
            SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Save(link.c_str(), TRUE));
  if (file) file->Release();
  shell->Release();
  return ok;
}

std::string shortPath(const std::filesystem::path& p) {
  wchar_t buffer[MAX_PATH] = {};
  GetShortPathNameW(p.c_str(), buffer, MAX_PATH);
  return win::toUtf8(buffer);
}

class AppScanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(appPath.Create(HKEY_LOCAL_MACHINE, win::toWide(std::string(kAppPathsKey) + "\\" + keyName)));
    ASSERT_TRUE(appPath.SetString(L"", markerApp().wstring()));
  }
  void TearDown() override {
    appPath.Close();
    win::CRegKey paths;
    if (paths.Open(HKEY_LOCAL_MACHINE, win::toWide(kAppPathsKey), KEY_ALL_ACCESS)) paths.DeleteTree(win::toWide(keyName));
  }

  CTempFolder program;
  CTempFolder menu;
  std::string keyName = uniqueName("vexa_scan") + ".exe";
  win::CRegKey appPath;
};

TEST_F(AppScanTest, LocationsComeFromAppPathsAndResolvableShortcuts) {
  // A name that is its own short form, so that the target's name and the
  // name in its file data agree on every system.
  const std::filesystem::path target = program.path() / "MARKER.EXE";
  std::filesystem::copy_file(markerApp(), target);
  std::filesystem::create_directories(menu.path() / "Programs" / "Tools");
  ASSERT_TRUE(makeShortcut(menu.path() / "Programs" / "Tools" / "Marker.lnk", target));
  // Not an application, and not a shortcut at all: both left out.
  ASSERT_TRUE(makeShortcut(menu.path() / "Readme.lnk", menu.path() / "readme.txt"));
  writeFile(menu.path() / "readme.txt", "text");
  writeFile(menu.path() / "Broken.lnk", "this is no shortcut");

  ASSERT_TRUE(exec::buildLocationsFile(program.path(), {menu.path()}));
  const CIniFile loc = CIniFile::load(program.path() / "apps" / "apps.loc", win::CSystemCodePage());
  EXPECT_EQ(loc.find("Registry", "%" + keyName + "%"),
            "HKEY_LOCAL_MACHINE\\" + std::string(kAppPathsKey) + "\\" + keyName + "\\");
  const auto locations = loc.entries("Locations");
  ASSERT_EQ(locations.size(), 1u);
  EXPECT_EQ(locations[0].first, "%MARKER.EXE%");
  // The short form where the system gives one.
  EXPECT_EQ(shortPath(win::toWide(locations[0].second)), shortPath(target));
}

TEST_F(AppScanTest, PlaceholdersResolveThroughTheRegistryThenTheLocations) {
  ASSERT_TRUE(exec::buildLocationsFile(program.path(), {}));
  const CIniFile loc = CIniFile::load(program.path() / "apps" / "apps.loc", win::CSystemCodePage());
  const RegistryReader registry = exec::registryReader();
  EXPECT_EQ(resolvePlaceholder("%" + keyName + "%", loc, registry), win::toUtf8(markerApp().wstring()));
  EXPECT_EQ(resolvePlaceholder("%not_installed_here.exe%", loc, registry), "n/a");
  EXPECT_EQ(registry("HKEY_NOWHERE", "Software", ""), std::nullopt);
  EXPECT_EQ(registry("hkey_local_machine", std::string(kAppPathsKey) + "\\" + keyName, ""),
            win::toUtf8(markerApp().wstring()));
}

TEST(AppScan, TheStartMenusOfThisMachineAreFound) {
  const auto menus = exec::startMenuFolders();
  ASSERT_FALSE(menus.empty());
  for (const auto& m : menus) EXPECT_FALSE(m.empty());
  EXPECT_TRUE(exec::appPathKeyNames().has_value());
}

}  // namespace
}  // namespace vexa::test
