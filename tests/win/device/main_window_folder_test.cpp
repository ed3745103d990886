// The application folder page of the main window offers, for its "Execute
// command", the button names the current device knows for the folder's remote.
#include "main_window_host_test.h"

#include <commctrl.h>

#include <map>

#include "vexa/model/app_folder.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/shell/win/app_folder_page.h"
#include "vexa/shell/win/command_tree_editor.h"

namespace vexa::test {
namespace {

using shell::CAppFolderPage;

class MainWindowFolderPageTest : public MainWindowHostTest {
 protected:
  void SetUp() override {
    MainWindowHostTest::SetUp();
    for (const char* remote : {"TV", "Radio", "Classic Remote", "Unknown"})
      folders[remote] = &tree.insertFolder(tree.insertRemote(remote), APPFOLDER::createNew("Player"));
  }
  void TearDown() override {
    window.SetCommandTree(nullptr);
    MainWindowHostTest::TearDown();
  }
  device::CDevice& selectDevice(const std::string& name) {
    device::CDevice& host = makeHost();
    window.AttachDevice(&host);
    EXPECT_TRUE(host.SelectDevice(name, window.Handle()));
    window.RefreshDevicePage();
    window.SetCommandTree(&tree);
    return host;
  }
  // The list as it is when the user opens it on the folder of that remote.
  std::vector<std::wstring> offered(const char* remote) {
    window.TreeEditor()->Select(folders.at(remote));
    EXPECT_EQ(window.FolderPage()->Folder(), folders.at(remote));
    const HWND combo = window.FolderPage()->Control(CAppFolderPage::kCommand);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    std::vector<std::wstring> names;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      std::wstring name(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
      name.resize(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name.data()))));
      names.push_back(name);
    }
    return names;
  }
  std::wstring typed() {
    wchar_t text[256] = {};
    GetWindowTextW(window.FolderPage()->Control(CAppFolderPage::kCommand), text, 256);
    return text;
  }

  CCmdTree tree;
  std::map<std::string, CCmdItem*> folders;
};

using Names = std::vector<std::wstring>;

TEST_F(MainWindowFolderPageTest, SecondGenerationOffersTheLearnedButtonsOfTheFoldersRemote) {
  writeGood2Settings(0, "",
                     "[TV]\r\ndwTolerance=0\r\ndwMode=0\r\n[Radio]\r\ndwTolerance=0\r\ndwMode=0\r\n"
                     "[Power@TV]\r\nFlags=32\r\nSignature=BACADA\r\n[Mute@TV]\r\nFlags=32\r\nSignature=EA\r\n"
                     "[Tune@Radio]\r\nFlags=32\r\nSignature=FA\r\n");
  selectDevice("Fake Receiver");
  EXPECT_EQ(offered("TV"), (Names{L"Mute", L"Power"}));
  EXPECT_EQ(offered("Radio"), (Names{L"Tune"}));
  EXPECT_EQ(offered("Unknown"), Names{});
  // Opening the list keeps what the folder's command is called.
  folders.at("TV")->folder()->setCommandName("Power");
  EXPECT_EQ(offered("TV"), (Names{L"Mute", L"Power"}));
  EXPECT_EQ(typed(), L"Power");
}

TEST_F(MainWindowFolderPageTest, FirstGenerationOffersThePluginsOwnEnumeration) {
  selectDevice("Fake Classic");
  EXPECT_EQ(offered("Classic Remote"), (Names{L"Play", L"Pause"}));
}

TEST_F(MainWindowFolderPageTest, WithoutADeviceNothingIsOffered) {
  window.SetCommandTree(&tree);
  EXPECT_EQ(offered("TV"), Names{});
}

}  // namespace
}  // namespace vexa::test
