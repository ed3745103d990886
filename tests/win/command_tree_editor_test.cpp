// The command tree as the user edits it in the main window: context-menu
// routing, renaming and its refusals, the application folder page, and
// loading a library layout by renaming a folder.
#include "vexa/shell/win/command_tree_editor.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "support/win/pump.h"
#include "vexa/model/app_library.h"
#include "vexa/model/catalogue.h"
#include "vexa/shell/win/app_folder_page.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/unicode.h"
#include "vexa/winlib/system_code_page.h"
#include "support/quiet_settings.h"

namespace vexa::shell {
namespace {

using test::CTempFolder;

std::unique_ptr<CMD> action(std::string file) {
  auto a = std::make_unique<CMD>();
  a->name = "Run";
  a->typeName = std::string(kExecuteApplication);
  a->fileName = std::move(file);
  return a;
}

std::unique_ptr<CCmdArray> command(const std::string& name, std::string file = "C:\\x\\tool.exe") {
  auto c = std::make_unique<CCmdArray>(name);
  c->appendAction(action(std::move(file)));
  return c;
}

// The labels of an item's children as the control shows them.
std::vector<std::wstring> shownChildren(const win::CTreeView& view, HTREEITEM parent) {
  std::vector<std::wstring> labels;
  for (HTREEITEM i = parent ? view.FirstChild(parent) : view.Root(); i; i = view.NextSibling(i))
    labels.push_back(view.ItemText(i));
  return labels;
}

class TreeEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 400, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(view.Create(parent, 1));
    remote = &tree.insertRemote("TV");
    folder = &tree.insertFolder(*remote, APPFOLDER::createNew("Player"));
    play = &tree.insertCommand(*remote, command("Play"));
    TreeEditorHooks hooks;
    hooks.prompt = &prompt;
    hooks.modified = [this] { ++modified; };
    hooks.programFolder = programFolder.path();
    hooks.resolve = [](std::string_view p) { return "C:\\here\\" + std::string(p.substr(1, p.size() - 2)); };
    editor = std::make_unique<CCommandTreeEditor>(view, tree, std::move(hooks));
    editor->Refresh();
  }
  void TearDown() override {
    editor.reset();
    DestroyWindow(parent);
    test::pumpPending();
  }
  HWND editControl() const { return TreeView_GetEditControl(view.Handle()); }

  HWND parent = nullptr;
  win::CTreeView view;
  CCmdTree tree;
  CCmdItem* remote = nullptr;
  CCmdItem* folder = nullptr;
  CCmdItem* play = nullptr;
  CTempFolder programFolder;
  std::vector<std::wstring> asked;
  int answer = IDOK;
  win::CPromptFunction prompt{[this](const std::wstring& text, const std::wstring&, UINT) {
    asked.push_back(text);
    return answer;
  }};
  int modified = 0;
  std::unique_ptr<CCommandTreeEditor> editor;
};

TEST_F(TreeEditorTest, EveryMenuEntryKeepsItsLabelAndReachesItsOperation) {
  for (const CCmdItem* item : {static_cast<const CCmdItem*>(nullptr), static_cast<const CCmdItem*>(remote),
                               static_cast<const CCmdItem*>(folder), static_cast<const CCmdItem*>(play)}) {
    const auto model = tree.contextMenu(item);
    const auto menu = editor->MenuFor(item);
    ASSERT_EQ(menu.size(), model.size());
    for (size_t i = 0; i < menu.size(); ++i) {
      EXPECT_EQ(menu[i].second.label, model[i].label);
      EXPECT_EQ(menu[i].second.enabled, model[i].enabled);
    }
  }
  EXPECT_EQ(editor->MenuFor(play).back().second.label, "T&est");
  EXPECT_EQ(treeOpOf("Cu&t"), TreeOp::Cut);
  EXPECT_EQ(treeOpOf("Export Application"), TreeOp::Export);
  EXPECT_FALSE(treeOpOf("Cut"));  // without its access key it is no entry of ours
}

TEST_F(TreeEditorTest, NewItemsAppearSortedAndInLabelEditing) {
  editor->Execute(TreeOp::NewCommand, remote);
  EXPECT_NE(editControl(), nullptr);
  TreeView_EndEditLabelNow(view.Handle(), TRUE);
  editor->Execute(TreeOp::NewCommand, play);  // on a command: its parent takes it
  TreeView_EndEditLabelNow(view.Handle(), TRUE);
  EXPECT_EQ(shownChildren(view, editor->ItemOf(remote)),
            (std::vector<std::wstring>{L"New Command", L"New Command_1", L"Play", L"Player"}));
  editor->Execute(TreeOp::NewRemote, nullptr);
  TreeView_EndEditLabelNow(view.Handle(), TRUE);
  EXPECT_EQ(shownChildren(view, nullptr), (std::vector<std::wstring>{L"New Remote", L"TV"}));
  editor->Execute(TreeOp::NewApplication, play);
  TreeView_EndEditLabelNow(view.Handle(), TRUE);
  EXPECT_EQ(editor->Selected()->label(), "New Application");
  EXPECT_EQ(editor->Selected()->parent(), remote);
  EXPECT_EQ(modified, 4);
}

TEST_F(TreeEditorTest, CopyCutPasteAndDeleteKeepTheControlInStep) {
  editor->Execute(TreeOp::Copy, play);
  editor->Execute(TreeOp::Paste, folder);
  EXPECT_EQ(shownChildren(view, editor->ItemOf(folder)), (std::vector<std::wstring>{L"Play"}));
  editor->Execute(TreeOp::Paste, play);
  EXPECT_EQ(shownChildren(view, editor->ItemOf(remote)), (std::vector<std::wstring>{L"Play", L"Play_1", L"Player"}));

  CCmdItem* copy = editor->Selected();
  ASSERT_EQ(copy->label(), "Play_1");
  editor->Execute(TreeOp::Cut, copy);
  EXPECT_EQ(TreeView_GetItemState(view.Handle(), editor->ItemOf(copy), TVIS_CUT) & TVIS_CUT, TVIS_CUT);
  editor->Execute(TreeOp::Paste, folder);
  EXPECT_EQ(shownChildren(view, editor->ItemOf(folder)), (std::vector<std::wstring>{L"Play", L"Play_1"}));
  EXPECT_EQ(TreeView_GetItemState(view.Handle(), editor->ItemOf(copy), TVIS_CUT) & TVIS_CUT, 0u);

  editor->Execute(TreeOp::Delete, play);  // no question; the next sibling is selected
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(shownChildren(view, editor->ItemOf(remote)), (std::vector<std::wstring>{L"Player"}));
  EXPECT_EQ(editor->Selected(), folder);
  editor->Execute(TreeOp::Delete, remote);
  EXPECT_EQ(view.Count(), 0u);
  EXPECT_TRUE(tree.empty());
}

TEST_F(TreeEditorTest, RenamingRefusesReservedCharactersAndNamesOfSiblings) {
  EXPECT_FALSE(editor->EndLabelEdit(*play, L"Pl#ay"));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], L"Please do not use reserved characters.\n\\#[]@=| are reserved for internal use.");
  EXPECT_EQ(play->label(), "Play");
  EXPECT_EQ(modified, 0);

  EXPECT_FALSE(editor->EndLabelEdit(*play, L"player"));  // the folder's name, in other letters
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1], L"This name already exists.\nPlease choose another");
  test::pumpPending();
  EXPECT_NE(editControl(), nullptr);  // editing goes on
  TreeView_EndEditLabelNow(view.Handle(), TRUE);

  EXPECT_FALSE(editor->EndLabelEdit(*play, nullptr));  // cancelled
  EXPECT_FALSE(editor->EndLabelEdit(*play, L""));
  EXPECT_TRUE(editor->EndLabelEdit(*play, L"Pause"));
  EXPECT_EQ(play->command()->name(), "Pause");
  EXPECT_EQ(modified, 1);
  EXPECT_EQ(asked.size(), 2u);
}

TEST_F(TreeEditorTest, RenamingAFolderToALibraryLayoutLoadsIt) {
  // A layout made elsewhere: its application action names player.exe by placeholder.
  {
    CCmdTree other;
    CCmdItem& r = other.insertRemote("R");
    CCmdItem& f = other.insertFolder(r, APPFOLDER::createNew("Jukebox"));
    f.folder()->setFileName("D:\\Apps\\player.exe");
    other.insertCommand(f, command("Next", "D:\\Apps\\player.exe"));
    exportLayout(f, layoutFile(programFolder.path(), "Jukebox"), win::CSystemCodePage());
  }
  tree.insertCommand(*folder, command("Old"));
  editor->Refresh();

  answer = IDNO;
  EXPECT_FALSE(editor->EndLabelEdit(*folder, L"jukebox"));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], kLoadLayoutQuestion);
  EXPECT_EQ(folder->label(), "Player");
  ASSERT_EQ(folder->children().size(), 1u);
  EXPECT_EQ(folder->children()[0]->label(), "Old");

  answer = IDYES;
  EXPECT_TRUE(editor->EndLabelEdit(*folder, L"Jukebox"));
  EXPECT_EQ(folder->label(), "Jukebox");
  ASSERT_EQ(folder->children().size(), 1u);
  const CCmdArray& next = *folder->children()[0]->command();
  EXPECT_EQ(next.name(), "Next");
  EXPECT_EQ(next.actions()[0]->fileName, "C:\\here\\player.exe");
  EXPECT_EQ(folder->folder()->fileName(), "C:\\here\\player.exe");
  EXPECT_EQ(shownChildren(view, editor->ItemOf(folder)), (std::vector<std::wstring>{L"Next"}));
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(asked[2], kCustomizeHint);

  // Export: an existing file is only replaced on OK; Cancel goes back to editing the name.
  answer = IDCANCEL;
  editor->Execute(TreeOp::Export, folder);
  EXPECT_EQ(asked.back(), kExportOverwriteQuestion);
  EXPECT_NE(editControl(), nullptr);
  TreeView_EndEditLabelNow(view.Handle(), TRUE);
  EXPECT_EQ(listLayouts(programFolder.path()), (std::vector<std::string>{"Jukebox"}));
}

class FolderPageTest : public TreeEditorTest {
 protected:
  void SetUp() override {
    TreeEditorTest::SetUp();
    AppFolderPageHooks hooks;
    hooks.prompt = &prompt;
    page = std::make_unique<CAppFolderPage>(tree, std::move(hooks));
    ASSERT_TRUE(page->Create(parent, {0, 0, 400, 340}));
    page->ShowFolder(folder);
  }
  void TearDown() override {
    page.reset();
    TreeEditorTest::TearDown();
  }
  void click(CAppFolderPage::ControlId id) { SendMessageW(page->Control(id), BM_CLICK, 0, 0); }
  std::wstring text(CAppFolderPage::ControlId id) {
    wchar_t buffer[256] = {};
    GetWindowTextW(page->Control(id), buffer, 256);
    return buffer;
  }

  std::unique_ptr<CAppFolderPage> page;
};

TEST_F(FolderPageTest, TheCheckBoxesSetAndClearTheirFlagBits) {
  EXPECT_EQ(text(CAppFolderPage::kFrame), L" Application: Player ");
  EXPECT_FALSE(IsWindowEnabled(page->Control(CAppFolderPage::kWindowName)));
  const std::pair<CAppFolderPage::ControlId, uint32_t> boxes[] = {{CAppFolderPage::kForeground, 2},
                                                                  {CAppFolderPage::kDisableServer, 1},
                                                                  {CAppFolderPage::kRememberLayout, 8}};
  for (const auto& [box, bit] : boxes) {
    click(box);
    EXPECT_EQ(folder->folder()->flags & bit, bit);
  }
  EXPECT_TRUE(IsWindowEnabled(page->Control(CAppFolderPage::kWindowName)));
  EXPECT_EQ(folder->folder()->flags, 11u);
  EXPECT_EQ(modified, 3);
  for (const auto& [box, bit] : boxes) {
    click(box);
    EXPECT_EQ(folder->folder()->flags & bit, 0u);
  }
  EXPECT_FALSE(IsWindowEnabled(page->Control(CAppFolderPage::kWindowName)));

  // A page shown again reads the bits back.
  folder->folder()->flags = APPFOLDER::kMustBeForeground | APPFOLDER::kRememberLayout;
  page->ShowFolder(folder);
  EXPECT_EQ(IsDlgButtonChecked(page->Handle(), CAppFolderPage::kForeground), BST_CHECKED);
  EXPECT_EQ(IsDlgButtonChecked(page->Handle(), CAppFolderPage::kDisableServer), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(page->Handle(), CAppFolderPage::kRememberLayout), BST_CHECKED);
}

TEST_F(FolderPageTest, SwitchingLayoutsTogetherAsksAndPadsOnOk) {
  CCmdArray& one = *tree.insertCommand(*folder, command("One")).command();
  CCmdArray& three = *tree.insertCommand(*folder, command("Three")).command();
  three.addLayout();
  three.addLayout();
  answer = IDCANCEL;
  click(CAppFolderPage::kSwitchLayouts);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], kSwitchLayoutsQuestion);
  EXPECT_EQ(folder->folder()->flags & APPFOLDER::kSwitchLayoutsTogether, APPFOLDER::kSwitchLayoutsTogether);
  EXPECT_EQ(one.layoutCount(), 1u);
  click(CAppFolderPage::kSwitchLayouts);
  EXPECT_EQ(folder->folder()->flags & APPFOLDER::kSwitchLayoutsTogether, 0u);
  answer = IDOK;
  click(CAppFolderPage::kSwitchLayouts);
  EXPECT_EQ(one.layoutCount(), 3u);
  EXPECT_EQ(three.layoutCount(), 3u);
}

TEST_F(FolderPageTest, FileNameCommandAndWindowNameGoToTheFolder) {
  const std::string old = folder->folder()->fileName();
  folder->folder()->appCommand().actions()[0]->fileName = "C:\\old\\app.exe";
  folder->folder()->loadFileName("C:\\old\\app.exe");
  page->ShowFolder(folder);
  SetWindowTextW(page->Control(CAppFolderPage::kFileName), L"C:\\new\\app.exe");
  EXPECT_EQ(folder->folder()->fileName(), "C:\\new\\app.exe");
  EXPECT_EQ(folder->folder()->appCommand().actions()[0]->fileName, "C:\\new\\app.exe");
  SetWindowTextW(page->Control(CAppFolderPage::kCommand), L"Power");
  SendMessageW(page->Handle(), WM_COMMAND, MAKEWPARAM(CAppFolderPage::kCommand, CBN_EDITCHANGE),
               reinterpret_cast<LPARAM>(page->Control(CAppFolderPage::kCommand)));
  EXPECT_EQ(folder->folder()->commandName(), "Power");
  EXPECT_EQ(folder->folder()->appCommand().name(), "App:Power");
  SetWindowTextW(page->Control(CAppFolderPage::kWindowName), L"Main Window");
  EXPECT_EQ(folder->folder()->windowName, "Main Window");
  page->ShowFolder(nullptr);
  EXPECT_EQ(text(CAppFolderPage::kFrame), L"No Selection");
}

TEST(MainWindowEditing, SelectingAFolderShowsItsPageAndEditsEnableApply) {
  CCmdTree tree;
  CCmdItem& remote = tree.insertRemote("TV");
  CCmdItem& folder = tree.insertFolder(remote, APPFOLDER::createNew("Player"));
  CMainWindow window;
  const HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  ASSERT_TRUE(window.Create(icon, icon));
    window.SetProgramSettings(test::settingsWithoutExitQuestion());
  window.SetCommandTree(&tree);
  ASSERT_NE(window.TreeEditor(), nullptr);
  window.TreeEditor()->Select(&folder);  // the control notifies the main window
  ASSERT_NE(window.FolderPage(), nullptr);
  EXPECT_EQ(window.FolderPage()->Folder(), &folder);
  EXPECT_FALSE(window.IsApplyEnabled());
  SendMessageW(window.FolderPage()->Control(CAppFolderPage::kDisableServer), BM_CLICK, 0, 0);
  EXPECT_EQ(folder.folder()->flags, APPFOLDER::kDisableServer);
  EXPECT_TRUE(window.IsApplyEnabled());
  window.TreeEditor()->Select(&remote);
  EXPECT_EQ(window.FolderPage()->Folder(), nullptr);
  window.SetCommandTree(nullptr);
  window.Exit();
  test::pumpPending();
}

}  // namespace
}  // namespace vexa::shell
