// Whole runs through the engine: resolution on the run's thread, delays on
// the terminate event, the per-command mutex, the exit, and what reaches the
// main window.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

#include "support/temp_folder.h"
#include "exec_test_support.h"
#include "vexa/base/errors.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/app_folder.h"
#include "vexa/model/catalogue.h"
#include "vexa/winlib/module.h"
#include "vexa/winlib/unicode.h"

namespace vexa::test {
namespace {

using exec::CExecEngine;
using exec::RunOptions;
using exec::RunRequest;

std::unique_ptr<CMD> act(std::string_view type, std::string file, std::string param = {}, int delay = -1) {
  auto a = std::make_unique<CMD>();
  a->name = "A";
  a->typeName = std::string(type);
  a->fileName = std::move(file);
  a->param = std::move(param);
  if (delay >= 0) {
    a->flags = CMD::kDelayEnabled;
    a->delay = delay;
  }
  return a;
}

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override { resetTerminateEvent(); }
  void TearDown() override {
    engine.Shutdown();
    resetTerminateEvent();
  }

  CCmdArray& addCommand(CCmdItem& parent, const std::string& name, std::vector<std::unique_ptr<CMD>> actions) {
    auto command = std::make_unique<CCmdArray>(name);
    for (auto& a : actions) command->appendAction(std::move(a));
    return *tree.insertCommand(parent, std::move(command)).command();
  }
  template <class... A>
  CCmdArray& add(const std::string& name, A... actions) {
    std::vector<std::unique_ptr<CMD>> list;
    (list.push_back(std::move(actions)), ...);
    return addCommand(*remote, name, std::move(list));
  }

  bool press(const std::string& command, uint32_t repeat = 0, bool synchronous = false) {
    RunOptions options;
    options.synchronous = synchronous;
    return engine.StartCommandRun(window.handle(), RunRequest::byName(tree, remote->label(), command, repeat), options);
  }
  bool idle(DWORD timeoutMs = 10000) { return pumpUntil([&] { return !engine.Busy(); }, timeoutMs); }

  std::filesystem::path startOf(const std::string& t) const { return folder.path() / (t + ".start"); }
  std::filesystem::path closeOf(const std::string& t) const { return folder.path() / (t + ".close"); }
  std::string params(const std::string& t, const std::string& mode = {}) const {
    return markerParams(t, startOf(t), closeOf(t), 1, mode);
  }
  bool started(const std::string& t) const { return std::filesystem::exists(startOf(t)); }

  CTempFolder folder;
  std::string title = uniqueName("vexa-run");
  std::string title2 = title + "-b";
  CMarkerCleanup cleanup{title}, cleanup2{title2};
  std::string marker = win::toUtf8(markerApp().wstring());
  CTestMainWindow window;
  CCmdTree tree;
  CCmdItem* remote = &tree.insertRemote("TV");
  CExecEngine engine;
};

// Its first dial throws, as a failing library call would; later dials connect.
class CFailingDial final : public exec::ISystemActions {
 public:
  std::atomic<int> dials{0};
  bool exitWindows(uint32_t) override { return false; }
  exec::SuspendResult suspend(bool) override { return {}; }
  bool displayOff(bool&) override { return false; }
  std::vector<DisplayMode> displayModes() override { return {}; }
  bool applyDisplayMode(const DisplayMode&) override { return false; }
  bool writeTvOut(uint32_t) override { return false; }
  exec::DialResult dial(std::string_view) override {
    if (++dials == 1) VEXA_THROW(FileError, "dial-up phone book unreadable");
    return {exec::DialResult::Outcome::Connected, {}};
  }
  exec::HangUpResult hangUpAll() override { return {}; }
  std::vector<std::string> dialEntries(bool&) override { return {}; }
};

TEST_F(RunTest, ARunWhoseActionThrowsIsReportedAndTheNextPressRuns) {
  auto* system = new CFailingDial;
  engine.Services().system.reset(system);
  std::vector<std::string> reported;
  engine.SetFailureSink([&](std::exception_ptr error, const char*, int, const char*) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      reported.push_back(e.what());
    }
  });
  add("Online", act("Connect", "Office"));
  ASSERT_TRUE(press("Online"));
  ASSERT_TRUE(idle());
  EXPECT_EQ(reported, std::vector<std::string>{"dial-up phone book unreadable"});

  ASSERT_TRUE(press("Online"));
  ASSERT_TRUE(idle());
  EXPECT_EQ(system->dials, 2);
  EXPECT_EQ(reported.size(), 1u);
  const auto texts = window.temporaryTexts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Connecting to Office"), texts.end()) << ::testing::PrintToString(texts);
}

TEST_F(RunTest, ExecuteCloseTogglesAndEveryEffectReachesTheMainWindow) {
  const CCmdArray& toggle = add("Toggle", act(kExecuteCloseApplication, marker, params(title)));
  ASSERT_TRUE(press("Toggle", 0, true));
  // Synchronous: everything has arrived when the call returns.
  ASSERT_EQ(window.temporaryTexts().size(), 1u);
  EXPECT_EQ(window.temporaryTexts()[0], "Executed application " + marker);
  ASSERT_TRUE(pumpUntil([&] { return findTitled(title) != nullptr; }, 10000));

  ASSERT_TRUE(press("Toggle", 0, true));
  ASSERT_EQ(window.temporaryTexts().size(), 2u);
  EXPECT_EQ(window.temporaryTexts()[1], "Closed application " + marker);
  EXPECT_TRUE(pumpUntil([&] { return findTitled(title) == nullptr; }, 5000));
  EXPECT_EQ(countLines(closeOf(title), "syscommand"), 1);

  EXPECT_EQ(window.count(DisplayRequest::kLayoutSelector), 2);
  ASSERT_EQ(window.count(DisplayRequest::kCommandExecuted), 2);
  for (const auto& r : window.requests) {
    if (r.code == DisplayRequest::kCommandExecuted) {
      EXPECT_EQ(r.object, &toggle);
    }
  }
  pumpFor(50);  // posted messages
  ASSERT_EQ(window.serverRecords.size(), 2u);
  EXPECT_STREQ(window.serverRecords[0].command, "Toggle");
  EXPECT_STREQ(window.serverRecords[0].remote, "TV");
  EXPECT_EQ(window.trayFlashes, 2);
}

TEST_F(RunTest, StatusTextsArriveOnceAndStayTheReceiversAfterTheRun) {
  add("Fail", act(kExecuteApplication, "C:\\nowhere\\one.exe"), act(kExecuteApplication, "C:\\nowhere\\two.exe"),
      act(kExecuteApplication, "n/a"));
  ASSERT_TRUE(press("Fail"));
  ASSERT_TRUE(idle());
  ASSERT_EQ(window.temporaryTexts().size(), 2u);  // "n/a" says nothing
  EXPECT_EQ(window.temporaryTexts()[0], "'Execute application' failed - C:\\nowhere\\one.exe");
  EXPECT_EQ(window.temporaryTexts()[1], "'Execute application' failed - C:\\nowhere\\two.exe");
  // The blocks were not freed or reused by the run after it handed them over.
  ASSERT_EQ(window.statusBlocks.size(), 2u);
  EXPECT_NE(window.statusBlocks[0], window.statusBlocks[1]);
  for (size_t i = 0; i < 2; ++i) EXPECT_EQ(std::string(window.statusBlocks[i]), window.temporaryTexts()[i]);
  EXPECT_EQ(window.count(DisplayRequest::kCommandExecuted), 0);  // nothing succeeded
}

TEST_F(RunTest, TheFirstActionNeverWaitsAndALaterDelayIsWaited) {
  add("Two", act(kExecuteApplication, marker, params(title), 3000), act(kExecuteApplication, marker, params(title2), 1200));
  const ULONGLONG begin = GetTickCount64();
  ASSERT_TRUE(press("Two"));
  // Each action's own report, not its program's start: that adds the program's start-up time.
  ASSERT_TRUE(pumpUntil([&] { return window.temporaryTexts().size() >= 1; }, 10000));
  const ULONGLONG first = GetTickCount64() - begin;
  ASSERT_TRUE(pumpUntil([&] { return window.temporaryTexts().size() >= 2; }, 10000));
  const ULONGLONG second = GetTickCount64() - begin;
  EXPECT_LT(first, 2500u);
  EXPECT_GE(second, first + 1000);
  EXPECT_EQ(window.temporaryTexts()[1], "Executed application " + marker);
  EXPECT_TRUE(pumpUntil([&] { return started(title) && started(title2); }, 10000));
  EXPECT_TRUE(idle());
}

TEST_F(RunTest, TheTerminateEventEndsARunInItsDelay) {
  add("Two", act(kExecuteApplication, marker, params(title)), act(kExecuteApplication, marker, params(title2), 1500));
  ASSERT_TRUE(press("Two"));
  ASSERT_TRUE(pumpUntil([&] { return started(title); }, 10000));
  signalTerminateEvent();
  EXPECT_TRUE(idle(1000));
  pumpFor(1500);
  EXPECT_FALSE(started(title2));
}

TEST_F(RunTest, ASecondPressOfARunningCommandIsSkippedButOtherCommandsRun) {
  add("Busy", act(kExecuteApplication, marker, params(title)), act(kExecuteApplication, "n/a", "", 10000));
  add("Other", act(kExecuteApplication, marker, params(title2)));
  ASSERT_TRUE(press("Busy"));
  ASSERT_TRUE(pumpUntil([&] { return started(title); }, 10000));
  ASSERT_TRUE(press("Busy"));
  ASSERT_TRUE(pumpUntil([&] { return engine.Threads().size() == 1; }, 3000));
  ASSERT_TRUE(press("Other"));
  EXPECT_TRUE(pumpUntil([&] { return started(title2); }, 10000));
  EXPECT_EQ(countLines(startOf(title), win::toUtf8(markerApp().parent_path().wstring())), 1);

  // The exit wakes the run from its delay rather than waiting it out.
  const ULONGLONG begin = GetTickCount64();
  engine.Shutdown();
  EXPECT_LT(GetTickCount64() - begin, 2000u);
  EXPECT_FALSE(engine.Busy());
  EXPECT_FALSE(press("Other"));  // nothing starts after the exit
}

TEST_F(RunTest, TheExitStopsARunBlockedByAHungApplicationWithinTheBound) {
  startMarker(title, startOf(title), closeOf(title), 1, "hang");
  add("Stuck", act("Close application", marker));
  ASSERT_TRUE(press("Stuck"));
  ASSERT_TRUE(pumpUntil([&] { return countLines(closeOf(title), "syscommand") == 1; }, 10000));
  const ULONGLONG begin = GetTickCount64();
  engine.Shutdown();
  const ULONGLONG took = GetTickCount64() - begin;
  EXPECT_GE(took, 2500u);
  EXPECT_LT(took, 6000u);
  EXPECT_FALSE(engine.Busy());
}

TEST_F(RunTest, PressesByNameResolveAgainstTheRunningApplicationsOnTheRunsThread) {
  auto folderPtr = std::make_unique<APPFOLDER>("Marker");
  folderPtr->loadFileName(marker);
  CCmdItem& folderItem = tree.insertFolder(*remote, std::move(folderPtr));
  std::vector<std::unique_ptr<CMD>> closeIt;
  closeIt.push_back(act("Close application", ""));
  const CCmdArray& inFolder = addCommand(folderItem, "Go", std::move(closeIt));
  const CCmdArray& global = add("Go", act(kExecuteApplication, marker, params(title)));

  ASSERT_TRUE(press("Go"));
  ASSERT_TRUE(idle());
  ASSERT_TRUE(pumpUntil([&] { return findTitled(title) != nullptr; }, 10000));
  ASSERT_TRUE(press("Go"));
  ASSERT_TRUE(idle());
  EXPECT_TRUE(pumpUntil([&] { return findTitled(title) == nullptr; }, 5000));
  ASSERT_EQ(window.temporaryTexts().size(), 2u);
  EXPECT_EQ(window.temporaryTexts()[1], "Closed application " + marker);
  // The display requests name the live commands, not the run's copies.
  std::vector<const void*> executed;
  for (const auto& r : window.requests)
    if (r.code == DisplayRequest::kCommandExecuted) executed.push_back(r.object);
  EXPECT_EQ(executed, (std::vector<const void*>{&global, &inFolder}));
}

TEST_F(RunTest, TheServerRecordIsBoundedAndAFolderCanTurnItOff) {
  const std::string longRemote(300, 'r');
  CCmdItem& bigRemote = tree.insertRemote(longRemote);
  addCommand(bigRemote, "Srv", {});
  RunOptions options;
  options.synchronous = true;
  ASSERT_TRUE(engine.StartCommandRun(window.handle(), RunRequest::byName(tree, longRemote, "Srv", 7), options));
  pumpFor(50);
  ASSERT_EQ(window.serverRecords.size(), 1u);
  const ServerRecord& r = window.serverRecords[0];
  EXPECT_EQ(std::string(r.remote), std::string(255, 'r'));
  EXPECT_EQ(r.remote[255], '\0');
  EXPECT_STREQ(r.command, "Srv");
  EXPECT_EQ(r.repeat, 7u);

  // A folder of this very program (it runs) with "Disable server for application commands".
  auto folderPtr = std::make_unique<APPFOLDER>("Self");
  folderPtr->loadFileName(win::toUtf8(win::modulePath().wstring()));
  folderPtr->flags = APPFOLDER::kDisableServer;
  CCmdItem& folderItem = tree.insertFolder(*remote, std::move(folderPtr));
  addCommand(folderItem, "Quiet", {});
  ASSERT_TRUE(press("Quiet", 0, true));
  pumpFor(50);
  EXPECT_EQ(window.serverRecords.size(), 1u);
}

TEST_F(RunTest, TheLayoutSelectorCanTakeThePressOrSubstituteItsCommand) {
  add("Sel", act(kExecuteApplication, "C:\\nowhere\\sel.exe"));
  const CCmdArray& chosen = add("Chosen", act(kExecuteApplication, "C:\\nowhere\\chosen.exe"));
  window.selectorAnswer = 0;
  ASSERT_TRUE(press("Sel", 0, true));
  EXPECT_TRUE(window.temporaryTexts().empty());

  window.selectorAnswer = 1;
  window.selectorReplacement = snapshotOf(chosen, nullptr, "TV");
  ASSERT_TRUE(press("Sel", 0, true));
  ASSERT_EQ(window.temporaryTexts().size(), 1u);
  EXPECT_EQ(window.temporaryTexts()[0], "'Execute application' failed - C:\\nowhere\\chosen.exe");

  // The trigger command asks the selector before the usual request too.
  window.selectorReplacement.reset();
  window.requests.clear();
  RunOptions trigger;
  trigger.synchronous = true;
  trigger.selectorTrigger = "Sel";
  ASSERT_TRUE(engine.StartCommandRun(window.handle(), RunRequest::byName(tree, "TV", "Sel", 0), trigger));
  EXPECT_EQ(window.count(DisplayRequest::kLayoutSelector), 2);
  EXPECT_EQ(window.temporaryTexts().size(), 2u);

  // An open selector sees the press first, on the run's thread, before anything else happens.
  pumpFor(50);
  const size_t records = window.serverRecords.size();
  window.selectorAnswer = 0;
  RunOptions open;
  open.layoutSelectorOpen = true;
  ASSERT_TRUE(engine.StartCommandRun(window.handle(), RunRequest::byName(tree, "TV", "Sel", 0), open));
  ASSERT_TRUE(idle());
  pumpFor(50);
  EXPECT_EQ(window.serverRecords.size(), records);
  EXPECT_EQ(window.temporaryTexts().size(), 2u);
}

TEST_F(RunTest, APressReturnsAtOnceAndItsRunGoesOnOnItsOwnThread) {
  // A second action that waits: the press must not wait with it. How fast the
  // first action comes is measured by the dispatch latency benchmark, not here.
  add("Quick", act(kExecuteApplication, "n/a"), act(kExecuteApplication, "n/a", "", 600));
  const int before = window.trayFlashes;
  ASSERT_TRUE(press("Quick"));
  EXPECT_TRUE(engine.Busy());
  // The tray flash is posted just before the first action runs.
  ASSERT_TRUE(pumpUntil([&] { return window.trayFlashes > before; }, 5000));
  EXPECT_TRUE(idle());
}

TEST_F(RunTest, ThePriorityIsHighWhileRunsOverlapAndRestoredAfterTheLast) {
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  add("P1", act(kExecuteApplication, "n/a"), act(kExecuteApplication, "n/a", "", 600));
  add("P2", act(kExecuteApplication, "n/a"), act(kExecuteApplication, "n/a", "", 1200));
  ASSERT_TRUE(press("P1"));
  ASSERT_TRUE(press("P2"));
  pumpFor(300);
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  ASSERT_TRUE(pumpUntil([&] { return engine.Threads().size() == 1; }, 3000));
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  ASSERT_TRUE(idle());
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}

}  // namespace
}  // namespace vexa::test
