// Both ways of enumerating processes against a running marker application,
// and the run's use of the shared process-name cache.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/temp_folder.h"
#include "exec_test_support.h"
#include "vexa/base/strings.h"
#include "vexa/exec/win/process_list.h"
#include "vexa/exec/win/run_environment.h"
#include "vexa/winlib/unicode.h"

namespace vexa::test {
namespace {

using exec::IProcessList;
using exec::WindowOperation;

std::unique_ptr<IProcessList> makeList(const std::string& kind) {
  return kind == "tool-help" ? exec::makeToolhelpProcessList() : exec::makeProcessStatusList();
}

std::string markerFile() { return win::toUtf8(markerApp().wstring()); }

class ProcessListTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    list = makeList(GetParam());
    ASSERT_TRUE(list) << GetParam() << " is not available under this system";
  }

  DWORD start(int windows = 1) {
    const DWORD pid = startMarker(title, folder.path() / "start.txt", closeMarker(), windows);
    EXPECT_NE(pid, 0u);
    return pid;
  }
  std::filesystem::path closeMarker() const { return folder.path() / "close.txt"; }

  CTempFolder folder;
  std::string title = uniqueName("vexa-proc");
  CMarkerCleanup cleanup{title};
  std::unique_ptr<IProcessList> list;
};

TEST_P(ProcessListTest, FindsTheApplicationByItsKeyAndSeesOtherProcesses) {
  const DWORD pid = start();
  // Any folder, any case: the key is the file name.
  const exec::ProcessSearch byKey = list->find("C:\\elsewhere\\MARKER_APP.EXE", nullptr);
  EXPECT_EQ(byKey.pid, pid);
  EXPECT_FALSE(byKey.seen.empty());

  const exec::ProcessSearch missing = list->find("no_such_program_here.exe", nullptr);
  EXPECT_EQ(missing.pid, 0u);
  EXPECT_TRUE(missing.seenAll);
  EXPECT_TRUE(std::any_of(missing.seen.begin(), missing.seen.end(),
                          [](const std::string& k) { return iequals(k, "marker_app.exe"); }));
}

TEST_P(ProcessListTest, ADllCountsAsRunningWhileSomeProcessHasItLoaded) {
  EXPECT_NE(list->find("kernel32.dll", nullptr).pid, 0u);
  EXPECT_NE(list->find("C:\\windows\\system32\\KERNEL32.DLL", nullptr).pid, 0u);
  EXPECT_EQ(list->find("vexa_never_loaded.dll", nullptr).pid, 0u);
}

TEST_P(ProcessListTest, CloseReachesTheWindowAndTheApplicationEnds) {
  const DWORD pid = start();
  WindowOperation close = exec::closeOperation();
  EXPECT_EQ(list->find(markerFile(), &close).pid, pid);
  EXPECT_TRUE(close.done);
  EXPECT_TRUE(pumpUntil([&] { return !processAlive(pid); }, 5000));
  EXPECT_EQ(countLines(closeMarker(), "syscommand"), 1);
}

TEST_P(ProcessListTest, CloseOfTwoWindowsFollowsThePath) {
  const DWORD pid = start(2);
  WindowOperation close = exec::closeOperation();
  list->find(markerFile(), &close);
  if (GetParam() == "tool-help") {
    // The filter applies every operation but activation and the test to one window.
    pumpFor(300);
    EXPECT_EQ(countLines(closeMarker(), "syscommand"), 1);
    EXPECT_TRUE(processAlive(pid));
  } else {
    EXPECT_TRUE(pumpUntil([&] { return !processAlive(pid); }, 5000));
    EXPECT_EQ(countLines(closeMarker(), "syscommand"), 2);
  }
}

TEST_P(ProcessListTest, ShowOperationsToggleTheWindow) {
  start();
  const HWND window = findTitled(title);
  ASSERT_TRUE(window);
  const auto apply = [&](UINT code) {
    WindowOperation op{code};
    list->find(markerFile(), &op);
    EXPECT_TRUE(op.done) << code;
  };
  const auto state = [&] { return IsIconic(window) ? 'i' : IsZoomed(window) ? 'z' : 'n'; };
  const auto becomes = [&](char wanted) { return pumpUntil([&] { return state() == wanted; }, 3000); };
  apply(exec::WindowOp::kMinimiseToggle);
  EXPECT_TRUE(becomes('i'));
  apply(exec::WindowOp::kMinimiseToggle);
  EXPECT_TRUE(becomes('n'));
  apply(exec::WindowOp::kMaximiseToggle);
  EXPECT_TRUE(becomes('z'));
  apply(exec::WindowOp::kMaximiseToggle);
  EXPECT_TRUE(becomes('n'));
  // Cycle: normal -> maximised -> minimised -> restored.
  apply(exec::WindowOp::kCycle);
  EXPECT_TRUE(becomes('z'));
  apply(exec::WindowOp::kCycle);
  EXPECT_TRUE(becomes('i'));
  apply(exec::WindowOp::kRestore);
  EXPECT_TRUE(pumpUntil([&] { return state() != 'i'; }, 3000));
}

TEST_P(ProcessListTest, ForegroundTestTellsWhetherTheWindowIsInFront) {
  start();
  const HWND window = findTitled(title);
  ASSERT_TRUE(window);
  SetForegroundWindow(window);
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == window; }, 3000));
  WindowOperation test{exec::WindowOp::kTestForeground};
  list->find(markerFile(), &test);
  EXPECT_TRUE(test.done);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, ProcessListTest, ::testing::Values("tool-help", "process-status"),
                         [](const auto& info) { return info.param == "tool-help" ? "Toolhelp" : "ProcessStatus"; });

TEST(ProcessListChoice, ToolHelpIsPreferredWhereItExists) {
  EXPECT_STREQ(exec::chooseProcessList()->name(), "tool-help");
}

// A list that counts its searches and answers from a fixed set of keys.
class CCountingList final : public IProcessList {
 public:
  const char* name() const override { return "counting"; }
  exec::ProcessSearch find(std::string_view fileName, WindowOperation*) override {
    ++searches;
    exec::ProcessSearch s;
    s.seen = running;
    s.seenAll = complete;
    for (const auto& k : running)
      if (iequals(k, fileName)) s.pid = 42;
    return s;
  }
  std::vector<std::string> running{"player.exe", "editor.exe"};
  bool complete = true;
  int searches = 0;
};

TEST(RunEnvironment, AFirstPressSearchesOnceAndThenAnswersFromTheCache) {
  CCountingList list;
  exec::CProcessNameCache cache;
  exec::CRunEnvironment run(list, cache, false);
  EXPECT_TRUE(run.isRunning("player.exe", true));
  EXPECT_FALSE(run.isRunning("other.exe", true));
  EXPECT_TRUE(run.isRunning("EDITOR.EXE", true));
  EXPECT_EQ(list.searches, 1);
  // An action's test without the cache searches again.
  EXPECT_TRUE(run.isRunning("player.exe", false));
  EXPECT_EQ(list.searches, 2);
  // Modules are never answered from the cache.
  run.isRunning("some.dll", true);
  EXPECT_EQ(list.searches, 3);
}

TEST(RunEnvironment, AHeldButtonUsesWhatAnEarlierRunCollected) {
  CCountingList list;
  exec::CProcessNameCache cache;
  exec::CRunEnvironment first(list, cache, false);
  first.isRunning("player.exe", true);
  list.running = {};  // the application ended meanwhile
  exec::CRunEnvironment held(list, cache, true);
  EXPECT_TRUE(held.isRunning("player.exe", true));
  EXPECT_EQ(list.searches, 1);
  exec::CRunEnvironment press(list, cache, false);
  EXPECT_FALSE(press.isRunning("player.exe", true));
  EXPECT_EQ(list.searches, 2);
}

TEST(RunEnvironment, AnIncompleteSearchIsNotTrustedLater) {
  CCountingList list;
  list.complete = false;
  exec::CProcessNameCache cache;
  exec::CRunEnvironment run(list, cache, false);
  EXPECT_TRUE(run.isRunning("player.exe", true));
  // "editor.exe" was seen, but a partial list could miss others: search again.
  EXPECT_TRUE(run.isRunning("editor.exe", true));
  EXPECT_EQ(list.searches, 2);
  EXPECT_TRUE(cache.empty());
}

TEST(RunEnvironment, ExpansionOfVariablesWithFallbackToTheText) {
  CCountingList list;
  exec::CProcessNameCache cache;
  exec::CRunEnvironment run(list, cache, false);
  SetEnvironmentVariableA("VEXA_EXEC_DIR", "C:\\apps\\tools");
  EXPECT_EQ(run.expand("%VEXA_EXEC_DIR%\\player.exe"), "C:\\apps\\tools\\player.exe");
  EXPECT_EQ(run.expand("%VEXA_NOT_SET_ANYWHERE%\\x.exe"), "%VEXA_NOT_SET_ANYWHERE%\\x.exe");
  // Longer than a path can be: used as written.
  SetEnvironmentVariableA("VEXA_EXEC_LONG", std::string(300, 'a').c_str());
  EXPECT_EQ(run.expand("%VEXA_EXEC_LONG%.exe"), "%VEXA_EXEC_LONG%.exe");
  EXPECT_EQ(run.expand(""), "");
}

}  // namespace
}  // namespace vexa::test
