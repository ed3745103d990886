// A folder and a program whose names the ANSI code page holds but ASCII does
// not: the command comes from a file in that code page, the press from a
// plug-in's record in it, and the program starts in its own folder with the
// status line naming it intact.
#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "exec_test_support.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/presets/config_files.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/system_code_page.h"
#include "vexa/winlib/unicode.h"
#include "support/quiet_settings.h"

namespace vexa::test {
namespace {

const std::string kRemote = "T\xC3\xA9l\xC3\xA9";  // "Télé"
const std::string kCommand = "Lecture";

class NonAsciiPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetTerminateEvent();
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(std::filesystem::copy_file(markerApp(), program));
    const HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    ASSERT_TRUE(window.Create(icon, icon));
    window.SetProgramSettings(test::settingsWithoutExitQuestion());
  }
  void TearDown() override {
    window.SetCommandTree(nullptr);
    window.Exit();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    resetTerminateEvent();
  }

  // The command "Lecture" of remote "Télé" starting the program, as a text
  // configuration file in the system's code page.
  std::string configuration() const {
    const std::string layout = "[Commands\\" + kRemote + "\\" + kCommand + "\\Layout 1";
    const std::string text = "[Commands]\n[Commands\\" + kRemote + "]\nID=0\n[Commands\\" + kRemote + "\\" + kCommand +
                             "]\nID=1\n" + layout + "]\nHotKey=0\nIndex=0\nFlags=0\nID=1\n" + layout +
                             "\\D\xC3\xA9marrer]\nID=3\nIndex=0\nAction=Execute application\nFilename=" +
                             win::toUtf8(program.wstring()) + "\nParam=" + markerParams(title, start, close) +
                             "\nFlags=0\nDelay=0\n";
    return win::CSystemCodePage().fromUtf8(text);
  }

  CTempFolder temp;
  const std::filesystem::path folder = temp.path() / L"Caf\u00E9";
  const std::filesystem::path program = folder / L"March\u00E9.exe";
  const std::filesystem::path start = folder / L"d\u00E9marr\u00E9.txt";
  const std::filesystem::path close = folder / L"ferm\u00E9.txt";
  std::string title = uniqueName("vexa-non-ascii");
  CMarkerCleanup cleanup{title};
  shell::CMainWindow window;
};

TEST_F(NonAsciiPathTest, ACommandFromAnAnsiFileStartsItsProgramInItsFolder) {
  const std::filesystem::path file = temp.path() / "current.vcp";
  const std::string bytes = configuration();
  ASSERT_NE(bytes.find("\\Caf\xE9\\March\xE9.exe"), std::string::npos);  // the file really is in the code page
  writeFile(file, bytes);

  CCmdTree tree;
  const LoadResult loaded = loadCommandPart(file, tree, win::CSystemCodePage());
  ASSERT_TRUE(loaded.ok) << loaded.error;
  const CCmdItem* remote = tree.findRemote(kRemote);
  ASSERT_NE(remote, nullptr);
  ASSERT_EQ(remote->children().size(), 1u);
  const CCmdArray& command = *remote->children()[0]->command();
  ASSERT_EQ(command.activeLayout()->actions().size(), 1u);
  EXPECT_EQ(command.activeLayout()->actions()[0]->fileName, win::toUtf8(program.wstring()));
  window.SetCommandTree(&tree);

  // The press as a plug-in reports it: names in the code page.
  auto* record = new abi::CommandRecord{};
  abi::copyField(record->remote, "T\xE9l\xE9");
  abi::copyField(record->command, kCommand.c_str());
  ASSERT_EQ(SendMessageW(window.Handle(), abi::kVexaMessage, abi::MainCode::kCommand, reinterpret_cast<LPARAM>(record)),
            1);

  ASSERT_TRUE(pumpUntil([&] { return findTitled(title) != nullptr && std::filesystem::exists(start); }, 10000));
  // The marker writes its working folder: the program's own.
  EXPECT_EQ(fileText(start), win::toUtf8(folder.wstring()) + "\n");
  EXPECT_TRUE(pumpUntil([&] { return window.StatusText() == L"Executed application " + program.wstring(); }, 3000))
      << win::toUtf8(window.StatusText());
}

}  // namespace
}  // namespace vexa::test
