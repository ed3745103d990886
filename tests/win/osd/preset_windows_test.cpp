// The export wizard and the preset manager as the tray menu opens them,
// driven by a "person" thread through the windows' own messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <atomic>
#include <functional>
#include <thread>

#include "support/temp_folder.h"
#include "vexa/presets/win/presets_resource.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/unicode.h"

namespace vexa::presets::win {
namespace {

namespace fs = std::filesystem;

// Polls from the person's thread; false when `done` did not hold within the time.
bool waitFor(const std::function<bool()>& done, unsigned timeoutMs = 10000) {
  for (const ULONGLONG end = GetTickCount64() + timeoutMs; GetTickCount64() < end; Sleep(10))
    if (done()) return true;
  return done();
}

HWND waitForWindow(const wchar_t* title) {
  HWND found = nullptr;
  // Visible once its initialisation is done.
  waitFor([&] { return (found = FindWindowW(nullptr, title)) && IsWindowVisible(found); });
  return found && IsWindowVisible(found) ? found : nullptr;
}

// A wizard the steps did not finish is cancelled, so that a failure cannot hang the run.
void closeIfOpen(HWND sheet) {
  if (!waitFor([&] { return !IsWindow(sheet); })) PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

struct FindControl {
  int id;
  HWND found = nullptr;
};

BOOL CALLBACK matchControl(HWND w, LPARAM lp) {
  auto* f = reinterpret_cast<FindControl*>(lp);
  if (GetDlgCtrlID(w) != f->id || !IsWindowVisible(w)) return TRUE;
  f->found = w;
  return FALSE;
}

HWND findDescendant(HWND parent, int id) {
  FindControl find{id};
  EnumChildWindows(parent, matchControl, reinterpret_cast<LPARAM>(&find));
  return find.found;
}

// A control of a page the sheet turns to: there once the page is shown.
HWND waitForDescendant(HWND parent, int id) {
  HWND found = nullptr;
  waitFor([&] { return (found = findDescendant(parent, id)) != nullptr; });
  return found;
}

std::vector<std::wstring> listRows(HWND list) {
  std::vector<std::wstring> rows;
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    wchar_t name[MAX_PATH] = L"", type[64] = L"";
    LVITEMW item{};
    item.pszText = name;
    item.cchTextMax = MAX_PATH;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = type;
    item.cchTextMax = 64;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    rows.push_back(std::wstring(name) + L"|" + type);
  }
  return rows;
}

void selectRow(HWND list, int row) {
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

class PresetWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(main.Create(LoadIconW(nullptr, IDI_APPLICATION), LoadIconW(nullptr, IDI_APPLICATION)));
    fs::create_directories(root.path() / "presets");
    PresetUi ui;
    ui.programFolder = root.path();
    ui.resources = GetModuleHandleW(nullptr);
    ui.actions.saveCommandPart = [](const fs::path& f) {
      test::writeFile(f, "commands");
      return true;
    };
    ui.actions.saveDevicePart = [](const fs::path& f) {
      test::writeFile(f, "device");
      return true;
    };
    ui.actions.applyAndStore = [this] { ++applied; };
    ui.actions.ask = [this](std::string_view q) {
      questions.emplace_back(q);
      ++asked;
      return false;
    };
    ui.actions.warn = [this](std::string_view w) {
      warnings.emplace_back(w);
      ++warned;
    };
    main.SetPresetUi(std::move(ui));
  }
  fs::path preset(const std::string& file) const { return root / ("presets/" + file); }

  shell::CMainWindow main;
  test::CTempFolder root;
  int applied = 0;
  std::vector<std::string> questions;
  std::vector<std::string> warnings;
  std::atomic<int> asked{0}, warned{0};  // what the person's thread may read
};

TEST_F(PresetWindowsTest, WizardSavesAnActionPresetUnderANewName) {
  main.SetApplyReason(shell::CMainWindow::ApplyReason::CommandTree, true);
  std::thread person([] {
    const HWND sheet = waitForWindow(L"Export");
    if (!sheet) return;
    SendMessageW(findDescendant(sheet, IDC_TYPE_ACTION), BM_CLICK, 0, 0);
    SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    SendMessageW(waitForDescendant(sheet, IDC_NAME_NEW), BM_CLICK, 0, 0);
    SendMessageW(findDescendant(sheet, IDC_NAME_EDIT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"Living room"));
    SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    closeIfOpen(sheet);
  });
  main.RunMenuCommand(shell::CMainWindow::kCmdSavePreset);
  person.join();
  EXPECT_TRUE(warnings.empty()) << warnings.front();
  EXPECT_TRUE(fs::exists(preset("Living room.vcp")));
  EXPECT_FALSE(fs::exists(preset("Living room.vdp")));
  EXPECT_TRUE(questions.empty());
  // Only a preset was written: the settings are as unsaved as before.
  EXPECT_TRUE(main.IsApplyEnabled());
  EXPECT_EQ(applied, 0);
}

TEST_F(PresetWindowsTest, WizardAsksBeforeReplacingAndNoKeepsTheFiles) {
  test::writeFile(preset("Den.vcp"), "old");
  test::writeFile(preset("Den.vdp"), "old");
  std::thread person([this] {
    const HWND sheet = waitForWindow(L"Export");
    if (!sheet) return;
    SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
    SendMessageW(waitForDescendant(sheet, IDC_NAME_NEW), BM_CLICK, 0, 0);
    SendMessageW(findDescendant(sheet, IDC_NAME_EDIT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Den"));
    SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);  // No: back to the page
    EXPECT_TRUE(waitFor([this] { return asked > 0; }));
    SendMessageW(sheet, WM_NULL, 0, 0);  // the answer is handled by now
    EXPECT_TRUE(IsWindow(sheet));
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  });
  main.RunMenuCommand(shell::CMainWindow::kCmdSavePreset);
  person.join();
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], kOverwriteQuestion);
  EXPECT_EQ(test::readFile(preset("Den.vcp")), "old");
  EXPECT_EQ(test::readFile(preset("Den.vdp")), "old");
}

TEST_F(PresetWindowsTest, ManagerFiltersDeletesAndRenames) {
  test::writeFile(preset("Both.vcp"), "c");
  test::writeFile(preset("Both.vdp"), "d");
  test::writeFile(preset("Tuner.vdp"), "d");
  test::writeFile(preset("Taken.vcp"), "taken");
  std::vector<std::wstring> all, devices, afterDelete, afterRefusal, afterRename;
  std::thread person([&] {
    const HWND dialog = waitForWindow(L"Preset Manager");
    if (!dialog) return;
    const HWND list = GetDlgItem(dialog, IDC_MANAGER_LIST);
    const HWND filter = GetDlgItem(dialog, IDC_MANAGER_FILTER);
    all = listRows(list);
    SendMessageW(filter, CB_SETCURSEL, 2, 0);  // "Device configuration"
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_MANAGER_FILTER, CBN_SELCHANGE), reinterpret_cast<LPARAM>(filter));
    devices = listRows(list);
    selectRow(list, 0);  // Both: only its device part goes
    SendMessageW(GetDlgItem(dialog, IDC_MANAGER_DELETE), BM_CLICK, 0, 0);
    SendMessageW(filter, CB_SETCURSEL, 0, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_MANAGER_FILTER, CBN_SELCHANGE), reinterpret_cast<LPARAM>(filter));
    afterDelete = listRows(list);
    // Rename "Both" to a name that exists: refused, nothing moves.
    selectRow(list, 0);
    SendMessageW(GetDlgItem(dialog, IDC_MANAGER_RENAME), BM_CLICK, 0, 0);
    HWND edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Taken"));
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    waitFor([this] { return warned > 0; });
    afterRefusal = listRows(list);
    selectRow(list, 0);
    SendMessageW(GetDlgItem(dialog, IDC_MANAGER_RENAME), BM_CLICK, 0, 0);
    edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Lounge"));
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    waitFor([&] { return !listRows(list).empty() && listRows(list)[0].starts_with(L"Lounge"); });
    afterRename = listRows(list);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  main.RunMenuCommand(shell::CMainWindow::kCmdPresetManager);
  person.join();
  EXPECT_EQ(all, (std::vector<std::wstring>{L"Both|All settings", L"Taken|Action configuration",
                                            L"Tuner|Device configuration"}));
  EXPECT_EQ(devices, (std::vector<std::wstring>{L"Both|All settings", L"Tuner|Device configuration"}));
  ASSERT_EQ(afterDelete.size(), 3u);
  EXPECT_EQ(afterDelete[0], L"Both|Action configuration");
  EXPECT_FALSE(fs::exists(preset("Both.vdp")));  // its action part became "Lounge" below
  EXPECT_EQ(afterRefusal, afterDelete);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("exists"), std::string::npos);
  EXPECT_EQ(test::readFile(preset("Taken.vcp")), "taken");
  ASSERT_FALSE(afterRename.empty());
  EXPECT_EQ(afterRename[0], L"Lounge|Action configuration");
  EXPECT_TRUE(fs::exists(preset("Lounge.vcp")));
  EXPECT_FALSE(fs::exists(preset("Both.vcp")));
}

}  // namespace
}  // namespace vexa::presets::win
