// The configuration window as a person builds a command in it: the pages the
// selection shows, the command editor with its layouts, the Action
// Definition dialog and its pickers, drag and drop, Apply and a new start;
// and a remote's button landing in the waiting capture field.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "support/win/input_recorder.h"
#include "support/win/pump.h"
#include "support/win/window_answers.h"
#include "support/win/recording_system_actions.h"
#include "vexa/base/program_messages.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/exec/win/actions/action_choices.h"
#include "vexa/exec/win/actions/action_context.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/presets/config_files.h"
#include "vexa/shell/res/editor_resource.h"
#include "vexa/shell/win/action_sources.h"
#include "vexa/shell/win/app_folder_page.h"
#include "vexa/shell/win/command_pages.h"
#include "vexa/shell/win/command_tree_editor.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/shell/win/window_picker.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/winlib/unicode.h"

namespace vexa::shell {
namespace {

using test::CTempFolder;

// ---- Driving modal dialogs from inside their own message loops ----------------------

// What to do when a dialog of a title appears; each runs once.
struct DialogStep {
  std::wstring title;
  std::function<void(HWND)> act;
  bool standing = false;  // answers each time the dialog shows; never due
};
std::vector<DialogStep>& pendingSteps() {
  static std::vector<DialogStep> steps;
  return steps;
}

void CALLBACK watchDialogs(HWND, UINT, UINT_PTR, DWORD) {
  auto& steps = pendingSteps();
  for (size_t i = 0; i < steps.size(); ++i) {
    const HWND dialog = FindWindowW(L"#32770", steps[i].title.c_str());
    if (!dialog || !IsWindowVisible(dialog)) continue;
    if (steps[i].standing) {
      const auto act = steps[i].act;
      act(dialog);
      return;
    }
    DialogStep step = std::move(steps[i]);
    steps.erase(steps.begin() + static_cast<std::ptrdiff_t>(i));
    step.act(dialog);
    return;
  }
}

class CDialogDriver {
 public:
  CDialogDriver() { m_timer = SetTimer(nullptr, 0, 30, watchDialogs); }
  ~CDialogDriver() {
    KillTimer(nullptr, m_timer);
    pendingSteps().clear();
  }
  void on(const wchar_t* title, std::function<void(HWND)> act) { pendingSteps().push_back({title, std::move(act)}); }
  // A question that may come and must not hold the test.
  void always(const wchar_t* title, std::function<void(HWND)> act) {
    pendingSteps().push_back({title, std::move(act), true});
  }
  bool allDone() const {
    return std::all_of(pendingSteps().begin(), pendingSteps().end(), [](const DialogStep& s) { return s.standing; });
  }

 private:
  UINT_PTR m_timer = 0;
};

std::wstring textOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

void click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// The tree item of the Action Definition dialog with that label.
HTREEITEM findTreeItem(HWND tree, HTREEITEM from, const std::wstring& label) {
  for (HTREEITEM i = from; i; i = TreeView_GetNextSibling(tree, i)) {
    if (win::treeItemText(tree, i) == label) return i;
    if (const HTREEITEM below = findTreeItem(tree, TreeView_GetChild(tree, i), label)) return below;
  }
  return nullptr;
}

void chooseType(HWND dialog, const wchar_t* type) {
  const HWND tree = GetDlgItem(dialog, IDC_AD_TREE);
  const HTREEITEM item = findTreeItem(tree, TreeView_GetRoot(tree), type);
  ASSERT_NE(item, nullptr) << win::toUtf8(type);
  TreeView_SelectItem(tree, item);
}

// Selects the window picker's item with that label, at any level.
void pickItem(HWND picker, const std::wstring& label) {
  const HWND tree = GetDlgItem(picker, IDC_WP_TREE);
  const HTREEITEM item = findTreeItem(tree, TreeView_GetRoot(tree), label);
  ASSERT_NE(item, nullptr) << win::toUtf8(label);
  TreeView_SelectItem(tree, item);
}

// Puts the pointer at `at` and waits until the system reports it there, over
// `window` (any with null): the move reaches the display a while after the call.
bool pointerOver(HWND window, POINT at) {
  return test::pumpUntil(
      [&] {
        POINT now{};
        if (GetCursorPos(&now) && now.x == at.x && now.y == at.y) return !window || WindowFromPoint(at) == window;
        SetCursorPos(at.x, at.y);
        return false;
      },
      3000);
}

// The window of the picker's selected item and its label.
std::pair<HWND, std::wstring> pickedItem(HWND picker) {
  const HWND tree = GetDlgItem(picker, IDC_WP_TREE);
  TVITEMW item{};
  item.mask = TVIF_PARAM;
  item.hItem = TreeView_GetSelection(tree);
  if (!item.hItem || !TreeView_GetItem(tree, &item)) return {};
  return {reinterpret_cast<HWND>(item.lParam), win::treeItemText(tree, item.hItem)};
}

// The file dialog's name box, whichever form the system shows.
void chooseFile(HWND dialog, const std::wstring& path) {
  HWND box = GetDlgItem(dialog, cmb13);
  if (!box) box = GetDlgItem(dialog, edt1);
  ASSERT_NE(box, nullptr);
  SetWindowTextW(box, path.c_str());
  click(dialog, IDOK);
}

std::vector<std::vector<std::wstring>> listRows(HWND list) {
  std::vector<std::vector<std::wstring>> rows;
  const int count = ListView_GetItemCount(list);
  for (int r = 0; r < count; ++r) {
    std::vector<std::wstring> row;
    for (int c = 0; c < 2; ++c) {
      wchar_t text[256] = {};
      ListView_GetItemText(list, r, c, text, 256);
      row.push_back(text);
    }
    rows.push_back(row);
  }
  return rows;
}

void selectRows(HWND list, std::initializer_list<int> rows) {
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  for (int r : rows) ListView_SetItemState(list, r, LVIS_SELECTED, LVIS_SELECTED);
}

// A window the picker offers.
class CTargetWindow {
 public:
  explicit CTargetWindow(const wchar_t* title) {
    m_hwnd = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 60, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  }
  ~CTargetWindow() { DestroyWindow(m_hwnd); }

 private:
  HWND m_hwnd;
};

class CommandEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    ASSERT_TRUE(window.Create(icon, icon));
    window.SetKeyboardHookHandler([this](bool install) { (install ? resumes : suspends)++; });
    window.SetStartObserver([this](const CommandStart& start) { starts.push_back(start.command); });
    window.SetCommandStarter([](const CommandStart&) {});
    window.SetCommandTree(&tree);
    window.Open();
    treeView = GetDlgItem(window.Handle(), CMainWindow::kTreeViewId);
  }
  void TearDown() override {
    // Quit: yes; save the changes: no.
    const test::CWindowAnswers answering(window, [](const std::wstring& question, UINT) {
      return question == L"Do you really want to quit?" ? IDYES : IDNO;
    });
    window.Exit();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // A new item from the tree's menu, named through the control's own label editing.
  CCmdItem& made(TreeOp op, CCmdItem* on, const wchar_t* name) {
    window.TreeEditor()->Execute(op, on);
    const HWND edit = TreeView_GetEditControl(treeView);
    EXPECT_NE(edit, nullptr);
    SetWindowTextW(edit, name);
    TreeView_EndEditLabelNow(treeView, FALSE);
    CCmdItem* item = window.TreeEditor()->Selected();
    EXPECT_NE(item, nullptr);
    EXPECT_EQ(item->label(), win::toUtf8(name));
    return *item;
  }

  HWND page() { return window.Pages()->CommandPage().Handle(); }
  HWND pageItem(int id) { return GetDlgItem(page(), id); }
  void pageCommand(int id) { SendMessageW(page(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(pageItem(id))); }
  // The toolbar's buttons tell the page as any button does.
  void tool(int id) { SendMessageW(page(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(pageItem(IDC_CE_TOOLBAR))); }
  bool toolEnabled(int id) { return SendMessageW(pageItem(IDC_CE_TOOLBAR), TB_ISBUTTONENABLED, id, 0) != 0; }

  HICON icon = nullptr;
  CCmdTree tree;
  CMainWindow window;
  HWND treeView = nullptr;
  int suspends = 0;
  int resumes = 0;
  std::vector<std::string> starts;
};

TEST_F(CommandEditorTest, SelectionShowsHintsRemotePageCommandEditorAndFolderPage) {
  CCommandPages& pages = *window.Pages();
  EXPECT_EQ(pages.ExplanationText(), kNothingSelectedHint);
  EXPECT_TRUE(IsWindowVisible(pages.CurrentPage()));

  CCmdItem& remote = made(TreeOp::NewRemote, nullptr, L"TV");
  EXPECT_EQ(pages.Current(), CCommandPages::Shown::Remote);
  CCmdItem& startup = made(TreeOp::NewRemote, nullptr, L"Startup Macro");
  EXPECT_EQ(pages.Current(), CCommandPages::Shown::Hint);
  EXPECT_NE(pages.ExplanationText().find("predefined remote control name"), std::string::npos);
  (void)startup;

  CCmdItem& special = made(TreeOp::NewApplication, &remote, L"no running applications");
  EXPECT_EQ(pages.Current(), CCommandPages::Shown::Explanation);
  EXPECT_EQ(pages.ExplanationText(), kNoRunningApplicationsText);
  (void)special;
  made(TreeOp::NewApplication, &remote, L"Player");
  EXPECT_EQ(pages.Current(), CCommandPages::Shown::Folder);
  EXPECT_TRUE(IsWindowVisible(window.FolderPage()->Handle()));

  made(TreeOp::NewCommand, &remote, L"Power");
  EXPECT_EQ(pages.Current(), CCommandPages::Shown::Command);
  EXPECT_TRUE(IsWindowVisible(page()));
  EXPECT_FALSE(IsWindowVisible(window.FolderPage()->Handle()));
  EXPECT_EQ(textOf(pageItem(IDC_CE_TITLE)), L"Command Definition -  Power");

  // Another page group of the window hides the whole area; coming back shows it again.
  window.ShowPage(CMainWindow::PageId::HardwareSetup);
  EXPECT_FALSE(IsWindowVisible(page()));
  window.ShowPage(CMainWindow::PageId::Commands);
  EXPECT_TRUE(IsWindowVisible(page()));
}

TEST_F(CommandEditorTest, PersonBuildsACommandAppliesItAndFindsItAfterANewStart) {
  CTempFolder temp;
  const auto saved = temp.path() / "current.vcp";
  window.SetSaveHandler([&] {
    saveCommandPart(saved, tree, win::CSystemCodePage());
    return true;
  });
  const auto player = temp.path() / "player.exe";
  std::ofstream(player) << "MZ";
  CTargetWindow target(L"Vexa Test Target");
  CDialogDriver driver;

  CCmdItem& remote = made(TreeOp::NewRemote, nullptr, L"TV");
  CCmdItem& folder = made(TreeOp::NewApplication, &remote, L"Player");
  CCmdItem& command = made(TreeOp::NewCommand, &remote, L"Power");
  window.SetApplyReason(CMainWindow::ApplyReason::CommandTree, false);

  // Hot key: the field keeps the keyboard hook away while it has the focus.
  const HWND hotKey = pageItem(IDC_CE_HOTKEY);
  SetFocus(hotKey);
  EXPECT_EQ(suspends, 1);
  SendMessageW(hotKey, HKM_SETHOTKEY, MAKEWORD('P', HOTKEYF_CONTROL | HOTKEYF_ALT), 0);
  SendMessageW(page(), WM_COMMAND, MAKEWPARAM(IDC_CE_HOTKEY, EN_CHANGE), reinterpret_cast<LPARAM>(hotKey));
  SetFocus(treeView);
  EXPECT_EQ(resumes, 1);
  EXPECT_EQ(command.command()->hotKey(), (6u << 16) + 'P');
  EXPECT_TRUE(window.IsApplyEnabled());

  // Three actions through the Action Definition dialog, one of each field kind.
  driver.on(L"Action Definition", [&](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_AD_NAME, L"Start");
    chooseType(dialog, L"Execute application");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_AD_BROWSE1)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_AD_DELAY)));  // the first action has no delay
    driver.on(L"Open", [&](HWND open) { chooseFile(open, player.wstring()); });
    click(dialog, IDC_AD_BROWSE1);
    SetDlgItemTextW(dialog, IDC_AD_FIELD2, L"-fullscreen");
    click(dialog, IDOK);
  });
  tool(IDC_ACTION_NEW);
  ASSERT_TRUE(driver.allDone());

  driver.on(L"Action Definition", [&](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_AD_NAME, L"Sleep");
    chooseType(dialog, L"Suspend Windows");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_AD_CHOICES1)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_AD_FIELD1)));
    EXPECT_EQ(textOf(GetDlgItem(dialog, IDC_AD_LABEL1)), L"How");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_AD_FIELD2)));
    const HWND choices = GetDlgItem(dialog, IDC_AD_CHOICES1);
    EXPECT_EQ(SendMessageW(choices, CB_GETCOUNT, 0, 0), 2);
    SendMessageW(choices, CB_SETCURSEL, SendMessageW(choices, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(L"Hibernate")), 0);
    click(dialog, IDC_AD_DELAY);
    const HWND slider = GetDlgItem(dialog, IDC_AD_SLIDER);
    EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0), 10000);
    EXPECT_EQ(SendMessageW(slider, TBM_GETLINESIZE, 0, 0), 100);
    EXPECT_EQ(SendMessageW(slider, TBM_GETPAGESIZE, 0, 0), 1000);
    SendMessageW(slider, TBM_SETPOS, TRUE, 1500);
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 1500), reinterpret_cast<LPARAM>(slider));
    EXPECT_EQ(textOf(GetDlgItem(dialog, IDC_AD_DELAY_MS)), L"1500");
    click(dialog, IDOK);
  });
  tool(IDC_ACTION_NEW);
  ASSERT_TRUE(driver.allDone());

  driver.on(L"Action Definition", [&](HWND dialog) {
    // A reserved character is refused before the dialog closes.
    SetDlgItemTextW(dialog, IDC_AD_NAME, L"Fo=cus");
    chooseType(dialog, L"Switch to window");
    driver.on(L"Available windows", [&](HWND picker) {
      pickItem(picker, L"Vexa Test Target (Static)");
      click(picker, IDOK);
    });
    click(dialog, IDC_AD_BROWSE1);
    EXPECT_EQ(textOf(GetDlgItem(dialog, IDC_AD_FIELD1)), L"Vexa Test Target (Static)");
    driver.on(L"Action Definition", [&, dialog](HWND refusal) {
      EXPECT_NE(refusal, dialog);  // the message box of that title, on top
      click(refusal, IDOK);
    });
    click(dialog, IDOK);
    EXPECT_TRUE(IsWindow(dialog));
    SetDlgItemTextW(dialog, IDC_AD_NAME, L"Focus");
    click(dialog, IDOK);
  });
  tool(IDC_ACTION_NEW);
  ASSERT_TRUE(driver.allDone());

  const HWND list = pageItem(IDC_CE_ACTIONS);
  EXPECT_EQ(listRows(list), (std::vector<std::vector<std::wstring>>{
                                {L"Start", L"Execute application"},
                                {L"Sleep", L"Suspend Windows"},
                                {L"Focus", L"Switch to window"}}));

  // Move up and down, with the toolbar's rules.
  selectRows(list, {0});
  EXPECT_FALSE(toolEnabled(IDC_ACTION_UP));
  EXPECT_TRUE(toolEnabled(IDC_ACTION_DOWN));
  selectRows(list, {2});
  EXPECT_TRUE(toolEnabled(IDC_ACTION_UP));
  EXPECT_FALSE(toolEnabled(IDC_ACTION_DOWN));
  tool(IDC_ACTION_UP);
  selectRows(list, {0});
  tool(IDC_ACTION_DOWN);
  EXPECT_EQ(listRows(list)[0][0], L"Focus");
  EXPECT_EQ(listRows(list)[1][0], L"Start");
  EXPECT_EQ(listRows(list)[2][0], L"Sleep");
  selectRows(list, {0, 1});
  EXPECT_FALSE(toolEnabled(IDC_ACTION_EDIT));
  EXPECT_TRUE(toolEnabled(IDC_ACTION_DELETE));

  // Copy an action, add a second layout, name it, paste it there.
  selectRows(list, {2});
  pageCommand(IDC_ACTION_COPY);
  pageCommand(IDC_CE_ADD_LAYOUT);
  EXPECT_EQ(TabCtrl_GetItemCount(pageItem(IDC_CE_TABS)), 2);
  EXPECT_EQ(TabCtrl_GetCurSel(pageItem(IDC_CE_TABS)), 1);
  EXPECT_EQ(textOf(pageItem(IDC_CE_LAYOUT_NAME)), L"Layout 2");
  SetWindowTextW(pageItem(IDC_CE_LAYOUT_NAME), L"Evening");
  SendMessageW(page(), WM_COMMAND, MAKEWPARAM(IDC_CE_LAYOUT_NAME, EN_KILLFOCUS),
               reinterpret_cast<LPARAM>(pageItem(IDC_CE_LAYOUT_NAME)));
  pageCommand(IDC_ACTION_PASTE);
  EXPECT_EQ(listRows(list), (std::vector<std::vector<std::wstring>>{{L"Sleep", L"Suspend Windows"}}));

  // Drag the command into the application folder.
  NMTREEVIEWW begin{};
  begin.hdr = {treeView, CMainWindow::kTreeViewId, TVN_BEGINDRAGW};
  begin.itemNew.hItem = window.TreeEditor()->ItemOf(&command);
  begin.itemNew.lParam = reinterpret_cast<LPARAM>(&command);
  SendMessageW(window.Handle(), WM_NOTIFY, CMainWindow::kTreeViewId, reinterpret_cast<LPARAM>(&begin));
  ASSERT_EQ(window.TreeEditor()->Dragged(), &command);
  RECT folderRect{};
  TreeView_GetItemRect(treeView, window.TreeEditor()->ItemOf(&folder), &folderRect, TRUE);
  const LPARAM at = MAKELPARAM((folderRect.left + folderRect.right) / 2, (folderRect.top + folderRect.bottom) / 2);
  SendMessageW(treeView, WM_MOUSEMOVE, MK_LBUTTON, at);
  EXPECT_EQ(window.TreeEditor()->DropTarget(), window.TreeEditor()->ItemOf(&folder));
  EXPECT_TRUE(TreeView_GetItemState(treeView, window.TreeEditor()->ItemOf(&folder), TVIS_DROPHILITED) &
              TVIS_DROPHILITED);
  SendMessageW(treeView, WM_LBUTTONUP, 0, at);
  EXPECT_EQ(window.TreeEditor()->Dragged(), nullptr);
  ASSERT_EQ(folder.children().size(), 1u);
  EXPECT_EQ(folder.children()[0]->label(), "Power");

  // Apply, then a new start from the saved file.
  ASSERT_TRUE(window.SaveAll());
  EXPECT_FALSE(window.IsApplyEnabled());
  CCmdTree reloaded;
  ASSERT_TRUE(loadCommandPart(saved, reloaded, win::CSystemCodePage()).ok);
  CCmdItem* power = reloaded.findChild(*reloaded.findChild(*reloaded.findRemote("TV"), "Player"), "Power");
  ASSERT_NE(power, nullptr);
  const CCmdArray& first = *power->command();
  EXPECT_EQ(first.hotKey(), (6u << 16) + 'P');
  ASSERT_EQ(first.layoutCount(), 2u);
  EXPECT_EQ(first.layoutAt(1)->layoutName(), "Evening");
  ASSERT_EQ(first.actions().size(), 3u);
  EXPECT_EQ(first.actions()[0]->fileName, "Vexa Test Target (Static)");
  EXPECT_EQ(first.actions()[1]->fileName, win::toUtf8(player.wstring()));
  EXPECT_EQ(first.actions()[1]->param, "-fullscreen");
  EXPECT_EQ(first.actions()[2]->fileName, "Hibernate");
  EXPECT_EQ(first.actions()[2]->delay, 1500);
  EXPECT_TRUE(first.actions()[2]->delayEnabled());
  ASSERT_EQ(first.layoutAt(1)->actions().size(), 1u);
  CMD pasted = *first.layoutAt(1)->actions()[0];
  EXPECT_EQ(pasted.index, 0);
  pasted.index = first.actions()[2]->index;
  EXPECT_EQ(pasted, *first.actions()[2]);

  // Saved again unchanged, the file is the same byte for byte.
  const auto again = temp.path() / "again.vcp";
  saveCommandPart(again, reloaded, win::CSystemCodePage());
  EXPECT_EQ(test::readFile(saved), test::readFile(again));

  // The window of the new start shows it all.
  window.SetCommandTree(&reloaded);
  window.TreeEditor()->Select(power);
  EXPECT_EQ(window.Pages()->Current(), CCommandPages::Shown::Command);
  EXPECT_EQ(listRows(pageItem(IDC_CE_ACTIONS)).size(), 3u);
  EXPECT_EQ(TabCtrl_GetItemCount(pageItem(IDC_CE_TABS)), 2);
  EXPECT_EQ(SendMessageW(pageItem(IDC_CE_HOTKEY), HKM_GETHOTKEY, 0, 0), MAKEWORD('P', HOTKEYF_CONTROL | HOTKEYF_ALT));
  window.SetCommandTree(nullptr);
}

// ---- "Held for [ ] ms runs [command]" ---------------------------------------------------------

class HeldForRowTest : public CommandEditorTest {
 protected:
  void SetUp() override {
    CommandEditorTest::SetUp();
    CCmdItem& remote = made(TreeOp::NewRemote, nullptr, L"TV");
    CCmdItem& folder = made(TreeOp::NewApplication, &remote, L"Player");
    playlist = &made(TreeOp::NewCommand, &folder, L"Playlist");
    standby = &made(TreeOp::NewCommand, &remote, L"Standby");
    power = &made(TreeOp::NewCommand, &remote, L"Power");
    window.SetApplyReason(CMainWindow::ApplyReason::CommandTree, false);
  }
  void typeMs(const wchar_t* text, int notification = EN_CHANGE) {
    SetWindowTextW(pageItem(IDC_CE_HOLD_MS), text);
    SendMessageW(page(), WM_COMMAND, MAKEWPARAM(IDC_CE_HOLD_MS, notification),
                 reinterpret_cast<LPARAM>(pageItem(IDC_CE_HOLD_MS)));
  }
  void choose(const wchar_t* target) {
    const HWND list = pageItem(IDC_CE_HOLD_TARGET);
    SendMessageW(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(target));
    SendMessageW(page(), WM_COMMAND, MAKEWPARAM(IDC_CE_HOLD_TARGET, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  }
  std::vector<std::wstring> targets() {
    const HWND list = pageItem(IDC_CE_HOLD_TARGET);
    std::vector<std::wstring> names;
    for (int i = 0, n = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0)); i < n; ++i) {
      wchar_t text[128] = {};
      SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      names.emplace_back(text);
    }
    return names;
  }
  const HoldSetting* hold() { return tree.holds().find(*power->command()); }

  CCmdItem* playlist = nullptr;
  CCmdItem* standby = nullptr;
  CCmdItem* power = nullptr;
};

TEST_F(HeldForRowTest, TimeAndCommandMakeTheSettingAndAnEmptyTimeRemovesIt) {
  EXPECT_EQ(targets(), (std::vector<std::wstring>{L"Player\\Playlist", L"Standby"}));
  typeMs(L"1200");
  EXPECT_EQ(hold(), nullptr) << "a time without its command is no setting yet";
  choose(L"Player\\Playlist");
  ASSERT_NE(hold(), nullptr);
  EXPECT_EQ(hold()->holdMs, 1200u);
  EXPECT_EQ(hold()->target, playlist->command());
  EXPECT_TRUE(window.HasApplyReason(CMainWindow::ApplyReason::CommandTree));

  // Shown again when the command is selected again.
  window.TreeEditor()->Select(standby);
  window.TreeEditor()->Select(power);
  EXPECT_EQ(textOf(pageItem(IDC_CE_HOLD_MS)), L"1200");
  EXPECT_EQ(textOf(pageItem(IDC_CE_HOLD_TARGET)), L"Player\\Playlist");

  typeMs(L"");
  EXPECT_EQ(hold(), nullptr);
}

TEST_F(HeldForRowTest, ATimeOutsideTheRangeIsSaidAndTheSettingStaysAsItWas) {
  typeMs(L"800");
  choose(L"Standby");
  ASSERT_NE(hold(), nullptr);
  std::vector<std::wstring> said;
  const test::CWindowAnswers answering(window, [&](const std::wstring& text, UINT) {
    said.push_back(text);
    return IDOK;
  });
  typeMs(L"200");  // on its way to more digits: nothing yet
  EXPECT_TRUE(said.empty());
  typeMs(L"200", EN_KILLFOCUS);
  EXPECT_EQ(said, std::vector<std::wstring>{win::toWide(kMsgHoldRange)});
  ASSERT_NE(hold(), nullptr);
  EXPECT_EQ(hold()->holdMs, 800u);
  EXPECT_EQ(textOf(pageItem(IDC_CE_HOLD_MS)), L"800");
}

TEST_F(CommandEditorTest, ButtonPressedWhileTheCaptureFieldWaitsNamesTheCommandAndRunsNothing) {
  CCmdItem& remote = made(TreeOp::NewRemote, nullptr, L"TV");
  CCmdItem& command = made(TreeOp::NewCommand, &remote, L"New Command");
  click(page(), IDC_CE_CAPTURE);
  ASSERT_TRUE(window.Pages()->CommandPage().IsCapturing());
  EXPECT_EQ(textOf(pageItem(IDC_CE_BUTTON)), kCaptureWaiting);

  const auto press = [&](const char* button) {
    auto* record = new abi::CommandRecord{};
    strcpy(record->command, button);
    strcpy(record->remote, "TV");
    SendMessageW(window.Handle(), abi::kVexaMessage, abi::MainCode::kCommand, reinterpret_cast<LPARAM>(record));
  };
  press("Play");
  EXPECT_TRUE(starts.empty());
  EXPECT_FALSE(window.Pages()->CommandPage().IsCapturing());
  EXPECT_EQ(command.label(), "Play");
  EXPECT_EQ(win::treeItemText(treeView, window.TreeEditor()->ItemOf(&command)), L"Play");
  EXPECT_EQ(textOf(pageItem(IDC_CE_TITLE)), L"Command Definition -  Play");

  // The field waits no more: the next press (after the repeat time-out) runs.
  Sleep(300);
  press("Stop");
  EXPECT_EQ(starts, std::vector<std::string>{"Stop"});

  // The command of "Startup Macro" keeps its one name.
  CCmdItem& startup = made(TreeOp::NewRemote, nullptr, L"Startup Macro");
  made(TreeOp::NewCommand, &startup, L"Startup Actions");
  EXPECT_FALSE(IsWindowEnabled(pageItem(IDC_CE_CAPTURE)));
}

TEST_F(CommandEditorTest, KeystrokeTableAlwaysGivesTheKeyboardHookBack) {
  CCmdItem& remote = made(TreeOp::NewRemote, nullptr, L"TV");
  made(TreeOp::NewCommand, &remote, L"Type");
  CDialogDriver driver;
  std::wstring keyTableMessage;
  int rows = 0;
  driver.on(L"Action Definition", [&](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_AD_NAME, L"Enter");
    chooseType(dialog, L"Keystroke to current window");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_AD_FIELD1)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_AD_BROWSE2)));
    // Cancelled while the key field has the focus.
    driver.on(L"Keystroke Table", [&](HWND table) {
      SetFocus(GetDlgItem(table, IDC_KT_HOTKEY));
      EXPECT_EQ(suspends, 1);
      click(table, IDCANCEL);
    });
    click(dialog, IDC_AD_BROWSE2);
    EXPECT_EQ(resumes, 1);
    // A key of the table.
    driver.on(L"Keystroke Table", [&](HWND table) {
      const HWND list = GetDlgItem(table, IDC_KT_LIST);
      rows = ListView_GetItemCount(list);
      keyTableMessage = textOf(GetDlgItem(table, IDC_KT_MESSAGE));
      LVFINDINFOW find{};
      find.flags = LVFI_STRING;
      find.psz = L"VK_RETURN";
      ListView_SetItemState(list, ListView_FindItem(list, -1, &find), LVIS_SELECTED, LVIS_SELECTED);
      click(table, IDOK);
    });
    click(dialog, IDC_AD_BROWSE2);
    EXPECT_EQ(textOf(GetDlgItem(dialog, IDC_AD_FIELD2)), L"{0x0d}");
    click(dialog, IDOK);
  });
  tool(IDC_ACTION_NEW);
  EXPECT_TRUE(driver.allDone());
  EXPECT_EQ(suspends, resumes);
  EXPECT_GT(rows, 100) << "vk.key beside the program";
  EXPECT_EQ(keyTableMessage, L"");
}

TEST_F(CommandEditorTest, DragScrollsAtTheEdgesAndEscapeLeavesTheTreeAsItWas) {
  CCmdItem& remote = tree.insertRemote("TV");
  for (int i = 0; i < 60; ++i) tree.insertCommand(remote, std::make_unique<CCmdArray>("Button " + std::to_string(100 + i)));
  window.TreeEditor()->Refresh();
  window.SetApplyReason(CMainWindow::ApplyReason::CommandTree, false);
  CCmdItem& first = *remote.children().front();
  window.TreeEditor()->Select(&first);
  window.TreeEditor()->BeginDrag(first);
  RECT area{};
  GetClientRect(treeView, &area);
  const HTREEITEM top = TreeView_GetFirstVisible(treeView);
  SendMessageW(treeView, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, area.bottom - 2));
  EXPECT_NE(TreeView_GetFirstVisible(treeView), top) << "scrolled down near the bottom edge";
  const HTREEITEM lower = TreeView_GetFirstVisible(treeView);
  SendMessageW(treeView, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 2));
  EXPECT_NE(TreeView_GetFirstVisible(treeView), lower) << "and up near the top edge";
  const HTREEITEM middle = TreeView_GetNextVisible(treeView, TreeView_GetNextVisible(treeView, TreeView_GetFirstVisible(treeView)));
  RECT label{};
  TreeView_GetItemRect(treeView, middle, &label, TRUE);
  SendMessageW(treeView, WM_MOUSEMOVE, MK_LBUTTON,
               MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2));
  EXPECT_EQ(window.TreeEditor()->DropTarget(), middle);
  SendMessageW(treeView, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(window.TreeEditor()->Dragged(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(remote.children().size(), 60u);
  EXPECT_EQ(remote.children().front().get(), &first);
  EXPECT_FALSE(window.IsApplyEnabled());
}

TEST_F(CommandEditorTest, FolderPageOpensTheEditorOnTheApplicationCommandAndPicksTheWindow) {
  CCmdItem& remote = made(TreeOp::NewRemote, nullptr, L"TV");
  CCmdItem& folder = made(TreeOp::NewApplication, &remote, L"Player");
  folder.folder()->setCommandName("Power");
  window.TreeEditor()->Select(&folder);
  CAppFolderPage& page = *window.FolderPage();
  CTargetWindow target(L"Vexa Player Window");
  CDialogDriver driver;

  std::wstring title;
  size_t rows = 0;
  driver.on(L"Command definition", [&](HWND dialog) {
    const HWND editor = FindWindowExW(dialog, nullptr, L"#32770", nullptr);
    title = textOf(GetDlgItem(editor, IDC_CE_TITLE));
    rows = listRows(GetDlgItem(editor, IDC_CE_ACTIONS)).size();
    click(dialog, IDOK);
  });
  SendMessageW(page.Control(CAppFolderPage::kAdvanced), BM_CLICK, 0, 0);
  EXPECT_TRUE(driver.allDone());
  EXPECT_EQ(title, L"Command Definition -  Power");
  EXPECT_EQ(rows, 1u) << "the new folder's \"Execute\" action";

  SendMessageW(page.Control(CAppFolderPage::kForeground), BM_CLICK, 0, 0);
  ASSERT_TRUE(IsWindowEnabled(page.Control(CAppFolderPage::kWindowBrowse)));
  driver.on(L"Available windows", [&](HWND picker) {
    pickItem(picker, L"Vexa Player Window (Static)");
    click(picker, IDOK);
  });
  SendMessageW(page.Control(CAppFolderPage::kWindowBrowse), BM_CLICK, 0, 0);
  EXPECT_TRUE(driver.allDone());
  EXPECT_EQ(folder.folder()->windowName, "Vexa Player Window (Static)");
}

TEST_F(CommandEditorTest, ChangingTheTypeClearsTheFieldsWhoseMeaningChanged) {
  CCmdItem& remote = made(TreeOp::NewRemote, nullptr, L"TV");
  made(TreeOp::NewCommand, &remote, L"Seven");
  CDialogDriver driver;
  std::wstring parameter, keystroke, location;
  driver.on(L"Action Definition", [&](HWND dialog) {
    chooseType(dialog, L"Keystroke to application");
    SetDlgItemTextW(dialog, IDC_AD_FIELD2, L"7");
    chooseType(dialog, L"Keystroke to window");  // still a keystroke
    keystroke = textOf(GetDlgItem(dialog, IDC_AD_FIELD2));
    chooseType(dialog, L"Execute application");  // a keystroke is no parameter
    parameter = textOf(GetDlgItem(dialog, IDC_AD_FIELD2));
    chooseType(dialog, L"Suspend Windows");
    chooseType(dialog, L"Open Location");  // "Hibernate" is no location
    location = textOf(GetDlgItem(dialog, IDC_AD_FIELD1));
    click(dialog, IDCANCEL);
  });
  tool(IDC_ACTION_NEW);
  EXPECT_TRUE(driver.allDone());
  EXPECT_EQ(keystroke, L"7");
  EXPECT_EQ(parameter, L"");
  EXPECT_EQ(location, L"");
}

// A machine without sound: no mixer line at all.
class CSilentMixer final : public IMixer {
 public:
  bool adjust(MixerKind, int, std::string_view, MixerDestination, int64_t&) override { return false; }
  std::string masterLine() override { return {}; }
  std::vector<std::string> lines(MixerDestination, bool) override { return {}; }
};

TEST_F(CommandEditorTest, ChoicesAreTheActionsOwnAndAnEmptyMixerListSaysWhyOnOk) {
  exec::CActionServices& services = window.Dispatch()->Engine().Services();
  auto system = std::make_unique<test::CRecordingSystemActions>();
  system->modes = {{800, 600, 16, 0}, {800, 600, 16, 0}, {1024, 768, 32, 60}};
  services.system = std::move(system);
  services.mixer = std::make_unique<CSilentMixer>();
  CCmdItem& remote = made(TreeOp::NewRemote, nullptr, L"TV");
  made(TreeOp::NewCommand, &remote, L"Quiet");
  CDialogDriver driver;
  std::vector<std::wstring> modes;
  std::wstring told;
  bool stayedOpen = false;
  driver.on(L"Action Definition", [&](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_AD_NAME, L"Silence");
    const HWND choices = GetDlgItem(dialog, IDC_AD_CHOICES1);
    chooseType(dialog, L"Change display mode");
    for (int i = 0; i < SendMessageW(choices, CB_GETCOUNT, 0, 0); ++i) {
      wchar_t text[64] = {};
      SendMessageW(choices, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      modes.push_back(text);
    }
    chooseType(dialog, L"Mute");
    driver.on(L"Action Definition", [&, dialog](HWND box) {
      if (box != dialog) told = textOf(GetDlgItem(box, 0xFFFF));  // a message box's text
      click(box, IDOK);
    });
    click(dialog, IDOK);
    stayedOpen = IsWindow(dialog) && IsWindowVisible(dialog);
    click(dialog, IDCANCEL);
  });
  tool(IDC_ACTION_NEW);
  EXPECT_TRUE(driver.allDone());
  EXPECT_EQ(modes, (std::vector<std::wstring>{L"800x600 16-Bit", L"1024x768 32-Bit @60 Hz"}));
  EXPECT_NE(told.find(L"no mixer control"), std::wstring::npos) << win::toUtf8(told);
  EXPECT_TRUE(stayedOpen);
  EXPECT_TRUE(listRows(pageItem(IDC_CE_ACTIONS)).empty());
}

TEST_F(CommandEditorTest, PickedControlOfAnotherProgramIsWhereThePostMessageActionLands) {
  CTempFolder temp;
  const auto record = temp.path() / "recorder.txt";
  const HWND recorder = test::startInputRecorder("Vexa Picker Target", record);
  ASSERT_NE(recorder, nullptr);
  const HWND list = FindWindowExW(recorder, nullptr, L"ComboBox", nullptr);
  ASSERT_NE(list, nullptr);
  CCmdItem& remote = made(TreeOp::NewRemote, nullptr, L"TV");
  CCmdItem& command = made(TreeOp::NewCommand, &remote, L"Choose");
  // The pointer over the control before any dialog opens, so that no stale
  // position of the display comes after it.
  SetWindowPos(recorder, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  RECT box{};
  GetWindowRect(list, &box);
  const POINT at{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  ASSERT_TRUE(pointerOver(list, at));
  CDialogDriver driver;
  int questions = 0;
  driver.always(L"Vexa", [&](HWND question) {
    ++questions;
    click(question, IDNO);
  });
  std::pair<HWND, std::wstring> picked;
  std::wstring field1;
  driver.on(L"Action Definition", [&](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_AD_NAME, L"Select");
    chooseType(dialog, L"PostMessage");
    driver.on(L"Available windows", [&](HWND picker) {
      // F2 as the hook module hands it to the main window, until the system
      // reports the pointer where it was put when the key comes.
      for (int attempt = 0; attempt < 5 && pickedItem(picker).first != list; ++attempt) {
        if (!pointerOver(list, at)) continue;
        SendMessageW(window.Handle(), abi::kVexaMessage, ProgramMessage::kHotKeyEvent, 0x71);
        test::pumpUntil([&] { return pickedItem(picker).first == list; }, 1000);
      }
      picked = pickedItem(picker);
      click(picker, IDOK);
    });
    click(dialog, IDC_AD_BROWSE1);
    field1 = textOf(GetDlgItem(dialog, IDC_AD_FIELD1));
    SetDlgItemTextW(dialog, IDC_AD_FIELD2, L"WM_COMMAND:0x4d:0");
    click(dialog, IDOK);
  });
  tool(IDC_ACTION_NEW);
  ASSERT_TRUE(driver.allDone());
  EXPECT_EQ(picked.first, list);
  EXPECT_EQ(picked.second, L" (ComboBox)");
  EXPECT_EQ(field1, L"Vexa Picker Target (VexaInputRecorder)\\\\\\ (ComboBox)");
  // The tree's "Test" runs the command: the control's command reaches its window.
  window.TreeEditor()->Execute(TreeOp::Test, &command);
  const std::string landed = "command 77 " + std::to_string(reinterpret_cast<uintptr_t>(list));
  EXPECT_TRUE(test::waitForLine(record, landed, 5000)) << landed;
  test::endInputRecorder(recorder);
}

// A plain window of the test at a known place.
struct CProbeWindow {
  HWND handle;
  CProbeWindow(int x, int y, bool visible) {
    WNDCLASSW type{};
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"VexaPickerProbe";
    RegisterClassW(&type);  // fails harmlessly once registered
    handle = CreateWindowExW(WS_EX_TOPMOST, L"VexaPickerProbe", L"Picker Probe", WS_POPUP | (visible ? WS_VISIBLE : 0),
                             x, y, 120, 90, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~CProbeWindow() { DestroyWindow(handle); }
};

TEST(WindowPicker, F2OverAWindowOpenedSinceAsksToRefreshAndNoLeavesTheList) {
  std::vector<int> answers{IDNO, IDYES};
  std::vector<std::wstring> asked;
  CWindowPicker picker([&](const std::wstring& text, UINT) {
    asked.push_back(text);
    const int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  });
  CDialogDriver driver;
  std::pair<HWND, std::wstring> afterNo, afterYes;
  HWND probeWindow = nullptr;
  ASSERT_TRUE(pointerOver(nullptr, {40, 40}));  // before the picker, so no older position follows
  driver.on(L"Available windows", [&](HWND dialog) {
    CProbeWindow probe(10, 10, true);
    probeWindow = probe.handle;
    EXPECT_TRUE(pointerOver(probe.handle, {40, 40}));
    const auto f2 = [&] {
      SendMessageW(dialog, abi::kVexaMessage, ProgramMessage::kHotKeyEvent, 0x71);
      const size_t before = asked.size();
      test::pumpUntil([&] { return asked.size() > before; }, 3000);
      test::pumpPending();
      return pickedItem(dialog);
    };
    afterNo = f2();
    afterYes = f2();
    click(dialog, IDCANCEL);
  });
  EXPECT_FALSE(picker.Run(nullptr));
  EXPECT_TRUE(driver.allDone());
  EXPECT_EQ(asked, (std::vector<std::wstring>(2, L"The window could not be found. Refresh list?")));
  EXPECT_EQ(afterNo.first, nullptr);
  EXPECT_EQ(afterYes.first, probeWindow);
  EXPECT_EQ(afterYes.second, L"Picker Probe (VexaPickerProbe)");
}

TEST(WindowPicker, HiddenWindowsAndClassOnlyNamesFollowTheirBoxes) {
  CProbeWindow hidden(10, 10, false);
  CWindowPicker picker;
  CDialogDriver driver;
  bool listedWhileVisibleOnly = true;
  driver.on(L"Available windows", [&](HWND dialog) {
    const HWND tree = GetDlgItem(dialog, IDC_WP_TREE);
    listedWhileVisibleOnly = findTreeItem(tree, TreeView_GetRoot(tree), L"Picker Probe (VexaPickerProbe)") != nullptr;
    click(dialog, IDC_WP_VISIBLE);
    pickItem(dialog, L"Picker Probe (VexaPickerProbe)");
    click(dialog, IDC_WP_CLASS_ONLY);
    click(dialog, IDOK);
  });
  const auto chosen = picker.Run(nullptr);
  EXPECT_TRUE(driver.allDone());
  EXPECT_FALSE(listedWhileVisibleOnly);
  EXPECT_EQ(chosen, std::optional<std::string>(" (VexaPickerProbe)"));
}

TEST(ActionSources, DialUpWithoutItsLibraryOffersNotAvailable) {
  exec::CWindowsSystemActions noLibrary(L"no-such-dialup.dll"), noEnumeration(L"kernel32.dll");
  EXPECT_EQ(exec::dialUpChoices(noLibrary), std::vector<std::string>{"Not available"});
  EXPECT_EQ(exec::dialUpChoices(noEnumeration), std::vector<std::string>{"Not available"});
  // The display always has its current mode.
  const auto modes = exec::displayModeChoices(noLibrary);
  ASSERT_FALSE(modes.empty());
  EXPECT_NE(modes[0].find("-Bit"), std::string::npos);
}

}  // namespace
}  // namespace vexa::shell
