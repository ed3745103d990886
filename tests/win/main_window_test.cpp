#include "vexa/shell/win/main_window.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/presets/config_files.h"
#include "vexa/winlib/message_loop.h"
#include "vexa/winlib/notify_icon.h"
#include "vexa/winlib/system_code_page.h"

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
  // The page area: below the page tabs, above the status line, nearly the full width.
  EXPECT_GE(tree.left, 0);
  EXPECT_GT(tree.top, 0);
  EXPECT_LE(tree.right, client.right);
  EXPECT_LT(tree.bottom, client.bottom);
  EXPECT_GT(tree.right - tree.left, client.right * 9 / 10);
  EXPECT_GT(tree.bottom - tree.top, client.bottom * 7 / 10);
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

TEST_F(MainWindowTest, LeavingWithChangesAsksToSaveAndKeepsThemOnCancelOrFailure) {
  const HWND hwnd = window.Handle();
  int saves = 0;
  bool saveWorks = false;
  std::vector<int> answers{IDCANCEL, IDYES, IDYES};
  std::vector<std::wstring> asked;
  window.SetAskHandler([&](const std::wstring& q) {
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
  window.SetAskHandler([&](const std::wstring&) {
    asked = true;
    return IDCANCEL;
  });
  const HWND hwnd = window.Handle();
  window.Exit();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(asked);
  EXPECT_TRUE(drainQuit());
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
