// tunerbox.dll where the hardware-access library cannot load its driver: the
// user is told why, and the plug-in fails without harm, again and again.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "support/win/recording_window.h"
#include "tests/win/hwport/hwport_test_support.h"
#include "tests/win/tunerbox/tunerbox_exports.h"

namespace vexa::test {
namespace {

// Closes the plug-in's message boxes from another thread and keeps their texts.
class CBoxCloser {
 public:
  CBoxCloser() : m_thread([this] { Run(); }) {}
  ~CBoxCloser() {
    m_stop = true;
    m_thread.join();
  }
  std::vector<std::string> texts;

 private:
  void Run() {
    while (!m_stop) {
      HWND box = FindWindowA("#32770", "Tunerbox Receiver Device (tunerbox.dll)");
      if (box && IsWindowVisible(box)) {
        char text[512] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        texts.emplace_back(text);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        while (IsWindow(box) && !m_stop) Sleep(10);
      }
      Sleep(10);
    }
  }
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

TEST(TunerboxWithoutDriver, StartingShowsTheDriverMessageAndFails) {
  CServiceRemoval removal;
  ASSERT_NE(tunerbox().startMsgLoop, nullptr);
  CRecordingWindow window;
  ASSERT_TRUE(window.Create());
  std::vector<std::string> texts;
  {
    CBoxCloser closer;
    EXPECT_EQ(tunerbox().startMsgLoop(window.Handle()), 0);
    EXPECT_EQ(tunerbox().startMsgLoop(window.Handle()), 0);
    tunerbox().endMsgLoop();
    tunerbox().release();
    texts = closer.texts;
  }
  const std::string expected =
      "Could not load or initialize driver.\nMake sure you have the appropriate access rights to start a driver.\n"
      "Contact your system administrator.";
  EXPECT_EQ(texts, (std::vector<std::string>{expected, expected}));
  EXPECT_TRUE(window.records.empty());
  EXPECT_FALSE(QueryDriverService().state == SERVICE_RUNNING);
}

// A working library and driver in the current folder are not taken instead:
// a library planted there would run with the program's rights.
TEST(TunerboxPlantedLibrary, TheCurrentFolderIsNeverSearched) {
  CServiceRemoval removal;
  const std::wstring folder = ProgramFolder();
  const std::wstring withDriver = folder.substr(0, folder.find_last_of(L"\\/"));
  ASSERT_NE(GetFileAttributesW((withDriver + L"\\hwport.sys").c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(SetCurrentDirectoryW(withDriver.c_str()));
  CRecordingWindow window;
  ASSERT_TRUE(window.Create());
  std::vector<std::string> texts;
  {
    CBoxCloser closer;
    EXPECT_EQ(tunerbox().startMsgLoop(window.Handle()), 0);
    tunerbox().release();
    texts = closer.texts;
  }
  EXPECT_EQ(texts.size(), 1u);
  EXPECT_EQ(GetModuleHandleW((withDriver + L"\\hwport.dll").c_str()), nullptr);
}

}  // namespace
}  // namespace vexa::test
