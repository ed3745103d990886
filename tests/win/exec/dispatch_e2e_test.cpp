// The road of a press from a CommandRecord at the real main window to the
// effect of its action: which variant of "Play" runs for the applications
// that run, the foreground rule, a held button, and the status line.
#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "exec_test_support.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/app_folder.h"
#include "vexa/model/catalogue.h"
#include "vexa/model/names.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/unicode.h"
#include "support/quiet_settings.h"

namespace vexa::test {
namespace {

using shell::CMainWindow;

std::unique_ptr<CCmdArray> startsMarker(const std::string& name, const std::string& marker, const std::string& params) {
  auto command = std::make_unique<CCmdArray>(name);
  auto action = std::make_unique<CMD>();
  action->name = "Start";
  action->typeName = std::string(kExecuteApplication);
  action->fileName = marker;
  action->param = params;
  command->appendAction(std::move(action));
  return command;
}

class DispatchEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    resetTerminateEvent();
    const HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    ASSERT_TRUE(window.Create(icon, icon));
    window.SetProgramSettings(test::settingsWithoutExitQuestion());
    window.SetStartObserver([this](const shell::CommandStart& start) { started.push_back(start); });
    CCmdItem& remote = tree.insertRemote("TV");
    auto app = std::make_unique<APPFOLDER>("Marker");
    app->loadFileName(marker);
    folder = &tree.insertFolder(remote, std::move(app));
    tree.insertCommand(*folder, startsMarker("Play", marker, params(inFolder)));
    auto other = std::make_unique<APPFOLDER>("Other");
    other->loadFileName("C:\\nowhere\\other.exe");
    otherFolder = &tree.insertFolder(remote, std::move(other));
    CCmdItem& none = tree.insertFolder(remote, std::make_unique<APPFOLDER>(std::string(kNoRunningApplications)));
    tree.insertCommand(none, startsMarker("Play", marker, params(noApps)));
    tree.insertCommand(remote, startsMarker("Play", marker, params(global)));
    tree.insertCommand(remote, startsMarker("Hold", marker, params(held)));
    window.SetCommandTree(&tree);
  }
  void TearDown() override {
    window.SetCommandTree(nullptr);
    window.Exit();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    resetTerminateEvent();
  }

  std::filesystem::path startOf(const std::string& t) const { return temp.path() / (t + ".start"); }
  std::string params(const std::string& t) const {
    return markerParams(t, startOf(t), temp.path() / (t + ".close"));
  }
  int starts(const std::string& t) const { return countLines(startOf(t), win::toUtf8(markerApp().parent_path().wstring())); }
  void press(const char* command, int repeat = 0) {
    auto* r = new abi::CommandRecord{};
    abi::copyField(r->remote, "TV");
    abi::copyField(r->command, command);
    r->repeatCount = repeat;
    EXPECT_EQ(SendMessageW(window.Handle(), abi::kVexaMessage, abi::MainCode::kCommand, reinterpret_cast<LPARAM>(r)), 1);
  }
  bool idle() {
    return pumpUntil([&] { return !window.Dispatch()->Engine().Busy(); }, 10000);
  }
  // Presses "Play" and waits for the run and, when one is expected, for a
  // marker to start; the count of starts per marker.
  std::vector<int> playStarts(bool expectStart = true) {
    const auto counts = [&] { return std::vector<int>{starts(inFolder), starts(noApps), starts(global)}; };
    const std::vector<int> before = counts();
    press("Play");
    EXPECT_TRUE(idle());
    if (expectStart) pumpUntil([&] { return counts() != before; }, 10000);
    pumpFor(expectStart ? 300 : 1500);  // time for a start that should not happen
    return counts();
  }
  // Ends a started marker once its window is there (a process still
  // starting would count as running later).
  void end(const std::string& t) {
    EXPECT_TRUE(up(t));
    endProcessesTitled(t);
    EXPECT_TRUE(pumpUntil([&] { return findTitled(t) == nullptr; }, 5000));
  }
  bool up(const std::string& t) {
    return pumpUntil([&] { return findTitled(t) != nullptr && std::filesystem::exists(startOf(t)); }, 10000);
  }

  CTempFolder temp;
  std::string base = uniqueName("vexa-e2e");
  std::string inFolder = base + "-folder", noApps = base + "-none", global = base + "-global", held = base + "-held",
              app = base + "-app";
  CMarkerCleanup c1{inFolder}, c2{noApps}, c3{global}, c4{held}, c5{app};
  std::string marker = win::toUtf8(markerApp().wstring());
  CCmdTree tree;
  CCmdItem* folder = nullptr;
  CCmdItem* otherFolder = nullptr;
  CMainWindow window;
  std::vector<shell::CommandStart> started;
};

TEST_F(DispatchEndToEnd, TheRunningApplicationsChooseWhichPlayRuns) {
  // No defined application runs: "No running applications" has it.
  EXPECT_EQ(playStarts(), (std::vector<int>{0, 1, 0}));
  EXPECT_TRUE(pumpUntil([&] { return window.StatusText() == win::toWide("Executed application " + marker); }, 3000));
  end(noApps);

  // The folder's application runs: the folder's own Play.
  startMarker(app, startOf(app), temp.path() / "app.close");
  EXPECT_EQ(playStarts(), (std::vector<int>{1, 1, 0}));
  end(inFolder);

  // It must be in front, and this window is: nothing runs at all.
  folder->folder()->flags |= APPFOLDER::kMustBeForeground;
  window.Open();
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == window.Handle(); }, 3000));
  EXPECT_EQ(playStarts(false), (std::vector<int>{1, 1, 0}));
  // In front, it runs again.
  ASSERT_TRUE(SetForegroundWindow(findTitled(app)));
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == findTitled(app); }, 3000));
  EXPECT_EQ(playStarts(), (std::vector<int>{2, 1, 0}));
  end(inFolder);
  end(app);
  folder->folder()->flags &= ~APPFOLDER::kMustBeForeground;

  // Another defined application runs (this program) and has no Play: the global one.
  otherFolder->folder()->loadFileName(win::toUtf8(win::modulePath().wstring()));
  EXPECT_EQ(playStarts(), (std::vector<int>{2, 1, 1}));
}

TEST_F(DispatchEndToEnd, AHeldButtonRunsACommandWithoutRepeatsOnce) {
  press("Hold");
  for (int i = 0; i < 14; ++i) {  // a plug-in's repeats, every 100 ms for 1.4 s
    pumpFor(100);
    press("Hold", i + 1);
  }
  EXPECT_TRUE(idle());
  EXPECT_TRUE(pumpUntil([&] { return starts(held) > 0; }, 10000));
  pumpFor(500);
  int repeats = 0;
  for (const auto& s : started) repeats += s.command == "Hold" && s.repeat > 0;
  EXPECT_GT(repeats, 0);  // the repeats did reach the engine
  EXPECT_EQ(starts(held), 1);
}

}  // namespace
}  // namespace vexa::test
