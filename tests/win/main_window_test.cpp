#include "vexa/shell/win/main_window.h"

#include <gtest/gtest.h>


#include <commctrl.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "support/win/pump.h"
#include "support/win/recording_system_actions.h"
#include "vexa/base/program_messages.h"
#include "vexa/exec/actions/shutdown_rules.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/app_folder.h"
#include "vexa/model/cmd_tree_store.h"
#include "vexa/shell/win/command_dispatch.h"
#include "vexa/shell/win/registry_profile.h"
#include "vexa/winlib/reg_key.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/presets/config_files.h"
#include "vexa/winlib/message_loop.h"
#include "vexa/winlib/notify_icon.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/winlib/unicode.h"
#include "support/quiet_settings.h"
#include "support/win/window_answers.h"
#include "vexa/shell/res/resource.h"

namespace vexa::shell {
namespace {

// Reads the tree-view control through its messages, independently of our wrapper.
struct TreeNode {
  std::wstring text;
  bool expanded = false;
  std::vector<TreeNode> children;
};

std::vector<TreeNode> readLevel(HWND tree, HTREEITEM first) {
  std::vector<TreeNode> nodes;
  for (HTREEITEM item = first; item != nullptr;
       item = reinterpret_cast<HTREEITEM>(
           SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    wchar_t text[256] = {};
    TVITEMW tv{};
    tv.mask = TVIF_TEXT | TVIF_STATE;
    tv.stateMask = TVIS_EXPANDED;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = 256;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    const auto child = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
    nodes.push_back({text, (tv.state & TVIS_EXPANDED) != 0, readLevel(tree, child)});
  }
  return nodes;
}

std::vector<TreeNode> readTree(HWND tree) {
  const auto root =
      reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  return readLevel(tree, root);
}

// Two remotes, one with a non-ASCII name, as the user would have saved them:
// in the system's code page (Windows-1252 here).
constexpr const char* kConfiguration =
    "[Commands]\n"
    "[Commands\\TV Remote]\nID=0\n"
    "[Commands\\TV Remote\\Power]\nID=1\n"
    "[Commands\\TV Remote\\Power\\Layout 1]\nHotKey=0\nIndex=0\nFlags=0\nID=1\n"
    "[Commands\\TV Remote\\Volume Up]\nID=1\n"
    "[Commands\\TV Remote\\Volume Up\\Layout 1]\nHotKey=0\nIndex=1\nFlags=0\nID=1\n"
    "[Commands\\Stereo K\xFC" "che]\nID=0\n"
    "[Commands\\Stereo K\xFC" "che\\Play]\nID=1\n"
    "[Commands\\Stereo K\xFC" "che\\Play\\Layout 1]\nHotKey=0\nIndex=0\nFlags=0\nID=1\n";

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    ASSERT_TRUE(window.Create(icon, icon));
    window.SetProgramSettings(test::settingsWithoutExitQuestion());
    treeView = GetDlgItem(window.Handle(), CMainWindow::kTreeViewId);
    ASSERT_NE(treeView, nullptr);
  }
  void TearDown() override {
    window.Exit();
    drainQuit();
  }

  // Destroying the main window ends the message loop; keep the quit away from later tests.
  static bool drainQuit() {
    MSG msg;
    bool sawQuit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) sawQuit |= msg.message == WM_QUIT;
    return sawQuit;
  }

  static void loadSample(CCmdTree& tree) {
    test::CTempFolder temp;
    const auto file = temp.path() / "current.vcp";
    test::writeFile(file, kConfiguration);
    const LoadResult result = loadCommandPart(file, tree, win::CSystemCodePage());
    ASSERT_TRUE(result.ok) << result.error;
  }

  HICON icon = nullptr;
  CMainWindow window;
  HWND treeView = nullptr;
};

TEST_F(MainWindowTest, IsResizableTopLevelWindowTitledVexaWithTreeFillingItsPage) {
  wchar_t title[64] = {};
  GetWindowTextW(window.Handle(), title, 64);
  EXPECT_STREQ(title, L"Vexa");
  EXPECT_EQ(GetAncestor(window.Handle(), GA_PARENT), GetDesktopWindow());
  EXPECT_TRUE(GetWindowLongW(window.Handle(), GWL_STYLE) & WS_THICKFRAME);

  window.Open();
  ASSERT_TRUE(SetWindowPos(window.Handle(), nullptr, 0, 0, 500, 400, SWP_NOZORDER | SWP_NOMOVE));
  RECT client{}, tree{};
  GetClientRect(window.Handle(), &client);
  GetWindowRect(treeView, &tree);
  MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&tree), 2);
  // The page area: right of the group list, below the page tabs, above the
  // buttons and the status line, taking most of the window.
  RECT groups{};
  GetWindowRect(GetDlgItem(window.Handle(), CMainWindow::kGroupListId), &groups);
  MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&groups), 2);
  EXPECT_GT(tree.left, groups.right);
  EXPECT_GT(tree.top, 0);
  EXPECT_LE(tree.right, client.right);
  EXPECT_LT(tree.bottom, client.bottom);
  EXPECT_GT(tree.right - tree.left, client.right * 6 / 10);
  EXPECT_GT(tree.bottom - tree.top, client.bottom * 6 / 10);
  EXPECT_TRUE(IsWindowVisible(treeView));
}

TEST_F(MainWindowTest, ShowsRemotesWithTheirCommandsExpanded) {
  CCmdTree tree;
  ASSERT_NO_FATAL_FAILURE(loadSample(tree));
  window.ShowCommandTree(tree);

  EXPECT_EQ(SendMessageW(treeView, TVM_GETCOUNT, 0, 0), 5);
  // In the model's order: remotes by name, commands by index.
  const auto nodes = readTree(treeView);
  ASSERT_EQ(nodes.size(), 2u);
  EXPECT_EQ(nodes[0].text, L"Stereo K\u00FCche");
  EXPECT_EQ(nodes[1].text, L"TV Remote");
  EXPECT_TRUE(nodes[0].expanded);
  EXPECT_TRUE(nodes[1].expanded);
  ASSERT_EQ(nodes[0].children.size(), 1u);
  EXPECT_EQ(nodes[0].children[0].text, L"Play");
  ASSERT_EQ(nodes[1].children.size(), 2u);
  EXPECT_EQ(nodes[1].children[0].text, L"Power");
  EXPECT_EQ(nodes[1].children[1].text, L"Volume Up");
}

TEST_F(MainWindowTest, ShowingAnotherTreeReplacesTheItems) {
  CCmdTree tree;
  ASSERT_NO_FATAL_FAILURE(loadSample(tree));
  window.ShowCommandTree(tree);
  window.ShowCommandTree(tree);
  EXPECT_EQ(SendMessageW(treeView, TVM_GETCOUNT, 0, 0), 5);

  window.ShowCommandTree(CCmdTree());
  EXPECT_EQ(SendMessageW(treeView, TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(MainWindowTest, ClosingHidesAndExitEndsTheLoopAndRemovesTrayIcon) {
  window.Open();
  ASSERT_TRUE(IsWindowVisible(window.Handle()));
  SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window.Handle()));
  EXPECT_FALSE(IsWindowVisible(window.Handle()));

  // The tray menu's commands arrive as WM_COMMAND.
  SendMessageW(window.Handle(), WM_COMMAND, CMainWindow::kCmdOpen, 0);
  EXPECT_TRUE(IsWindowVisible(window.Handle()));

  EXPECT_TRUE(window.HasTrayIcon());
  const HWND hwnd = window.Handle();
  SendMessageW(hwnd, WM_COMMAND, CMainWindow::kCmdExit, 0);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(window.HasTrayIcon());
  EXPECT_TRUE(drainQuit());
}

TEST_F(MainWindowTest, ARemoteShutdownEndsTheProgramInOrderBeforeTheSession) {
  const std::wstring programKey = L"Software\\Marlix\\VexaTest\\Shutdown" + std::to_wstring(GetCurrentProcessId());
  CRegistryProfile profile(programKey);
  CCmdTree tree;
  auto folder = std::make_unique<APPFOLDER>("Player");
  folder->flags = APPFOLDER::kRememberLayout;
  CCmdItem& player = tree.insertFolder(tree.insertRemote("TV"), std::move(folder));
  auto command = std::make_unique<CCmdArray>("Play");
  command->addLayout("Second");
  CCmdArray& play = *command;
  tree.insertCommand(player, std::move(command));
  play.switchToLayout(1);
  window.SetCommandTree(&tree);
  std::vector<std::string> steps;
  // However the test ends, the window lets go of what goes out of scope here.
  struct Detach {
    CMainWindow& window;
    ~Detach() {
      window.SetShutdownHooks({});
      window.SetCommandTree(nullptr);
    }
  } detach{window};
  window.SetShutdownHooks({[&] { steps.push_back("server stopped"); }, {}, [&] {
                             storeActiveLayouts(tree, profile, true);
                             steps.push_back("layouts stored");
                           }});
  auto* system = new test::CRecordingSystemActions;
  system->onCall = [&](const std::string& call) { steps.push_back(call); };
  window.Dispatch()->Engine().Services().system.reset(system);

  SendMessageW(window.Handle(), ProgramMessage::kShutdown, 1, ShutdownType::kShutdown | kShutdownNoOsd);
  EXPECT_TRUE(test::pumpUntil([&] { return !system->calls().empty(); }, 5000));
  EXPECT_EQ(steps, (std::vector<std::string>{"server stopped", "layouts stored", "exit 9"}));
  win::CRegKey key;
  EXPECT_TRUE(key.Open(HKEY_CURRENT_USER, programKey + L"\\Commands\\TV\\Player\\Play"));
  EXPECT_EQ(key.QueryDword(L"ActiveLayout"), 1u);
  win::CRegKey root;
  if (root.Open(HKEY_CURRENT_USER, L"Software\\Marlix", KEY_ALL_ACCESS)) root.DeleteTree(L"VexaTest");
}

TEST_F(MainWindowTest, LeavingWithChangesAsksToSaveAndKeepsThemOnCancelOrFailure) {
  const HWND hwnd = window.Handle();
  int saves = 0;
  bool saveWorks = false;
  std::vector<int> answers{IDCANCEL, IDYES, IDYES};
  std::vector<std::wstring> asked;
  const test::CWindowAnswers answering(window, [&](const std::wstring& q, UINT) {
    asked.push_back(q);
    const int a = answers.front();
    answers.erase(answers.begin());
    return a;
  });
  window.SetSaveHandler([&] {
    ++saves;
    return saveWorks;
  });
  window.SetApplyReason(CMainWindow::ApplyReason::CommandTree, true);
  window.Exit();  // Cancel: stays
  EXPECT_TRUE(IsWindow(hwnd));
  window.Exit();  // Yes, but saving fails: stays with its changes
  EXPECT_TRUE(IsWindow(hwnd));
  EXPECT_TRUE(window.IsApplyEnabled());
  saveWorks = true;
  window.Exit();  // Yes and saved: leaves
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(saves, 2);
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[0], L"Save changes?");
  EXPECT_TRUE(drainQuit());
}

TEST_F(MainWindowTest, SaveFromTheMenuClearsTheUnsavedState) {
  int saves = 0;
  window.SetSaveHandler([&] { return ++saves == 2; });  // the first save fails
  window.SetApplyReason(CMainWindow::ApplyReason::CommandTree, true);
  SendMessageW(window.Handle(), WM_COMMAND, CMainWindow::kCmdSave, 0);
  EXPECT_TRUE(window.IsApplyEnabled());
  SendMessageW(window.Handle(), WM_COMMAND, CMainWindow::kCmdSave, 0);
  EXPECT_FALSE(window.IsApplyEnabled());
  EXPECT_EQ(saves, 2);
}

TEST_F(MainWindowTest, LeavingWithoutChangesAsksNothing) {
  bool asked = false;
  const test::CWindowAnswers answering(window, [&](const std::wstring&, UINT) {
    asked = true;
    return IDCANCEL;
  });
  const HWND hwnd = window.Handle();
  window.Exit();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(asked);
  EXPECT_TRUE(drainQuit());
}

TEST_F(MainWindowTest, LeavingAsksWhetherToQuitUnlessTheOptionSaysNot) {
  ProgramSettings asking;  // the defaults ask
  window.SetProgramSettings(asking);
  std::vector<std::pair<std::wstring, UINT>> asked;
  int answer = IDNO;
  const test::CWindowAnswers answering(window, [&](const std::wstring& q, UINT buttons) {
    asked.emplace_back(q, buttons);
    return answer;
  });
  const HWND hwnd = window.Handle();
  window.Exit();
  EXPECT_TRUE(IsWindow(hwnd));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].first, L"Do you really want to quit?");
  EXPECT_EQ(asked[0].second, static_cast<UINT>(MB_YESNO));
  answer = IDYES;
  window.Exit();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(drainQuit());
}

TEST_F(MainWindowTest, PagesGroupsButtonsAndMenusAsAPersonFindsThem) {
  window.Open();
  // Three groups on the left; each shows its pages in the tabs.
  const HWND groups = GetDlgItem(window.Handle(), CMainWindow::kGroupListId);
  ASSERT_NE(groups, nullptr);
  EXPECT_EQ(SendMessageW(groups, LVM_GETITEMCOUNT, 0, 0), 3);
  wchar_t text[64] = {};
  LVITEMW item{};
  item.pszText = text;
  item.cchTextMax = 64;
  SendMessageW(groups, LVM_GETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, L"Hardware\nSetup");
  const HWND tabs = GetDlgItem(window.Handle(), CMainWindow::kTabsId);
  SendMessageW(window.Handle(), WM_COMMAND, CMainWindow::kCmdShowPage + static_cast<UINT>(CMainWindow::PageId::Server), 0);
  EXPECT_EQ(window.CurrentGroup(), CMainWindow::PageGroup::GeneralConfig);
  EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 4);  // with the on-screen display's page
  EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 2);
  // Choosing the "Actions" group in the list shows the command tree.
  LVITEMW select{};
  select.stateMask = LVIS_SELECTED;
  select.state = LVIS_SELECTED;
  SendMessageW(groups, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&select));
  EXPECT_EQ(window.CurrentPage(), CMainWindow::PageId::Commands);
  EXPECT_TRUE(IsWindowVisible(treeView));
  EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 1);

  // "Apply" follows the reasons; the status line begins "Status:".
  HWND apply = nullptr;
  for (HWND child = GetWindow(window.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    GetWindowTextW(child, text, 64);
    if (std::wstring(text) == L"Apply") apply = child;
  }
  ASSERT_NE(apply, nullptr);
  EXPECT_FALSE(IsWindowEnabled(apply));
  window.SetApplyReason(CMainWindow::ApplyReason::Pages, true);
  EXPECT_TRUE(IsWindowEnabled(apply));
  window.SetApplyReason(CMainWindow::ApplyReason::Pages, false);
  const HWND status = GetDlgItem(window.Handle(), CMainWindow::kStatusBarId);
  SendMessageW(status, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(std::wstring(text).rfind(L"Status:", 0), 0u);

  // The menu bar has the four menus.
  const HMENU menu = GetMenu(window.Handle());
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetMenuItemCount(menu), 4);
  GetMenuStringW(menu, 2, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&Preferences");
}

TEST_F(MainWindowTest, OptionPagesShowTheSettingsAndRefuseWhatCannotBeSaved) {
  ProgramSettings settings = test::settingsWithoutExitQuestion();
  settings.repThresholdMs = 333;
  settings.serverPort = 4321;
  settings.options.set(ProgramOptions::kDisableMultithreading, true);
  window.SetProgramSettings(settings);
  std::vector<ProgramSettings> told;
  window.SetSettingsHandler([&](const ProgramSettings& s) { told.push_back(s); });
  EXPECT_TRUE(window.UpdateSettingsFromPages());
  EXPECT_TRUE(told.empty());  // nothing changed
  EXPECT_FALSE(window.IsApplyEnabled());  // showing settings is no change

  // A person ticks a box and types a port: Apply lights up, the settings follow.
  // The pages are the main window's child dialogs holding those controls.
  HWND pages[2] = {};
  for (HWND child = GetWindow(window.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetDlgItem(child, IDC_LEAVE_FOCUS)) pages[0] = child;
    if (GetDlgItem(child, IDC_SERVER_PORT)) pages[1] = child;
  }
  ASSERT_NE(pages[0], nullptr);
  ASSERT_NE(pages[1], nullptr);
  const HWND leaveFocus = GetDlgItem(pages[0], IDC_LEAVE_FOCUS);
  ASSERT_NE(leaveFocus, nullptr);
  SendMessageW(leaveFocus, BM_CLICK, 0, 0);
  EXPECT_TRUE(window.HasApplyReason(CMainWindow::ApplyReason::Pages));
  SetDlgItemTextW(pages[1], IDC_SERVER_PORT, L"8080");
  ASSERT_TRUE(window.UpdateSettingsFromPages());
  ASSERT_EQ(told.size(), 1u);
  EXPECT_TRUE(told[0].options.has(ProgramOptions::kLeaveFocusAfterKeystroke));
  EXPECT_TRUE(told[0].options.has(ProgramOptions::kDisableMultithreading));
  EXPECT_EQ(told[0].serverPort, 8080u);
  EXPECT_EQ(told[0].repThresholdMs, 333u);

  // A port out of range keeps the settings as they were and shows that page.
  int saves = 0;
  window.SetSaveHandler([&] { return ++saves > 0; });
  std::vector<std::wstring> told2;
  const test::CWindowAnswers answering(window, [&](const std::wstring& text, UINT buttons) {
    told2.push_back(text);
    return buttons == MB_OK ? IDOK : IDNO;
  });
  SetDlgItemTextW(pages[1], IDC_SERVER_PORT, L"70000");
  EXPECT_FALSE(window.SaveAll());
  EXPECT_EQ(told2, (std::vector<std::wstring>{L"Please enter a number from 1 to 65535."}));
  EXPECT_EQ(saves, 0);
  EXPECT_EQ(window.CurrentPage(), CMainWindow::PageId::Server);
  EXPECT_EQ(window.Settings().serverPort, 8080u);
  // The handlers above see this test's variables, which end here.
  window.SetSaveHandler({});
  window.SetSettingsHandler({});
}

TEST_F(MainWindowTest, HelpSaysWhereTheReadmeIsWithoutAHelpFileAndAboutShowsTheVersion) {
  window.Open();
  std::vector<std::wstring> told;
  const test::CWindowAnswers answering(window, [&](const std::wstring& text, UINT) {
    told.push_back(text);
    return IDOK;
  });
  const HWND help = GetDlgItem(window.Handle(), CMainWindow::kHelpButtonId);
  ASSERT_NE(help, nullptr);
  SendMessageW(help, BM_CLICK, 0, 0);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find(L"help\\Vexa.hlp"), std::wstring::npos) << win::toUtf8(told[0]);
  EXPECT_NE(told[0].find(L"README.md"), std::wstring::npos) << win::toUtf8(told[0]);
  window.RunMenuCommand(ID_HELP_ABOUT);  // the "&Help" menu's item and the tray's
  ASSERT_EQ(told.size(), 2u);
  EXPECT_NE(told[1].find(L"Version " + win::toWide(VEXA_PROJECT_VERSION)), std::wstring::npos)
      << win::toUtf8(told[1]);
}

TEST_F(MainWindowTest, SavingSaysSoMeanwhileAndTheTrayTipIsTheStatusCut) {
  window.Open();
  window.ShowStatusText(L"Before");
  std::wstring during;
  window.SetSaveHandler([&] {
    during = window.StatusText();
    return true;
  });
  EXPECT_TRUE(window.SaveAll());
  window.SetSaveHandler({});
  EXPECT_EQ(during, L"Saving configuration...");
  EXPECT_EQ(window.StatusText(), L"Before");

  window.ShowStatusText(std::wstring(70, L'x'));
  const std::wstring cut = std::wstring(60, L'x') + L"...";
  for (int i = 0; i < 100 && window.TrayTip() != cut; ++i) {
    win::PumpPendingMessages();
    Sleep(20);
  }
  EXPECT_EQ(window.TrayTip(), cut);
}

TEST(NotifyIconTest, AddsModifiesAndRemovesIcon) {
  // Any window will do as the owner: a message-only window needs no class of ours.
  const HWND owner = CreateWindowExW(0, L"STATIC", L"tray owner", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  const HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  {
    win::CNotifyIcon tray;
    EXPECT_FALSE(tray.SetTip(L"not added yet"));
    ASSERT_TRUE(tray.Add(owner, 7, WM_APP, icon, L"Vexa"));
    EXPECT_TRUE(tray.SetTip(std::wstring(200, L'x')));  // longer than the tip buffer
    EXPECT_TRUE(tray.Remove());
    EXPECT_FALSE(tray.IsAdded());
    ASSERT_TRUE(tray.Add(owner, 7, WM_APP, icon, L"Vexa"));
  }  // the destructor removes it: adding the same id again must succeed
  win::CNotifyIcon again;
  EXPECT_TRUE(again.Add(owner, 7, WM_APP, icon, L"Vexa"));
  EXPECT_TRUE(again.Remove());
  DestroyWindow(owner);
}

}  // namespace
}  // namespace vexa::shell
