#include <gtest/gtest.h>

#include <set>

#include "vexa/base/strings.h"
#include "vexa/exec/action_walk.h"
#include "vexa/exec/command_resolution.h"
#include "vexa/exec/exec_names.h"
#include "vexa/model/cmd_tree_store.h"
#include "vexa/codec/profile_codec.h"

using namespace vexa;

namespace {

class FakeEnvironment : public IAppEnvironment {
 public:
  bool isRunning(std::string_view file, bool) override {
    for (const auto& r : running)
      if (iequals(r, processKey(file))) return true;
    return false;
  }
  bool passesForegroundTest(const APPFOLDER& f) override { return front == f.name; }
  std::string expand(std::string_view file) override { return std::string(file); }
  std::set<std::string> running;
  std::string front;
};

std::unique_ptr<CCmdTree> load(const std::string& text) {
  auto tree = std::make_unique<CCmdTree>();
  CProfileTree keys;
  readProfileText(text, keys);
  EXPECT_TRUE(loadCommandTree(*tree, keys).ok);
  return tree;
}

std::string command(const std::string& path, const std::string& action) {
  return "[Commands\\" + path + "]\nID=1\n[Commands\\" + path + "\\L]\nID=1\n[Commands\\" + path + "\\L\\A]\nAction=" +
         action + "\n";
}

std::string folder(const std::string& remote, const std::string& name, const std::string& file, int flags = 0) {
  return "[Commands\\" + remote + "\\" + name + "]\nID=2\nFile=" + file + "\nFlags=" + std::to_string(flags) + "\n";
}

// Which action the resolved command would run tells the variants apart.
std::string resolvedAction(const CCmdTree& tree, FakeEnvironment& env, const char* name = "Play") {
  auto r = resolveCommand(tree, "TV", name, env);
  if (!r) return "none";
  return (r->applicationActive ? "" : "inactive:") + r->command->actions()[0]->typeName.str();
}

}  // namespace

TEST(CommandResolution, RunningApplicationThenNoneRunningThenGlobal) {
  auto tree = load("[Commands\\TV]\nID=0\n" + folder("TV", "Player", "C:\\Apps\\player.exe") +
                   command("TV\\Player\\Play", "Mute") + folder("TV", "Viewer", "C:\\Apps\\viewer.exe") +
                   folder("TV", "no running APPLICATIONS", "") +
                   command("TV\\no running APPLICATIONS\\Play", "Turn off display") +
                   command("TV\\Play", "Close window") + command("TV\\Stop", "Minimize window"));
  FakeEnvironment env;
  EXPECT_EQ(resolvedAction(*tree, env), "Turn off display");  // nothing runs
  env.running = {"viewer.exe"};
  EXPECT_EQ(resolvedAction(*tree, env), "Close window");  // a defined application runs, without this command
  env.running = {"PLAYER.EXE"};
  EXPECT_EQ(resolvedAction(*tree, env), "Mute");
  EXPECT_EQ(resolvedAction(*tree, env, "Stop"), "Minimize window");
  EXPECT_EQ(resolvedAction(*tree, env, "Nothing"), "none");
}

TEST(CommandResolution, ForegroundRule) {
  auto tree = load("[Commands\\TV]\nID=0\n" + folder("TV", "A", "a.exe", APPFOLDER::kMustBeForeground) +
                   command("TV\\A\\Play", "Mute") + folder("TV", "B", "b.exe") + command("TV\\B\\Play", "Close window") +
                   command("TV\\Play", "Minimize window"));
  FakeEnvironment env;
  env.running = {"a.exe"};
  EXPECT_EQ(resolvedAction(*tree, env), "inactive:Mute");  // found, but its application is behind
  env.front = "A";
  EXPECT_EQ(resolvedAction(*tree, env), "Mute");
  // Several running: a folder without the rule is taken at once, in order.
  env.running = {"a.exe", "b.exe"};
  env.front = "";
  EXPECT_EQ(resolvedAction(*tree, env), "Close window");
  env.front = "A";
  EXPECT_EQ(resolvedAction(*tree, env), "Mute");
}

TEST(CommandResolution, GlobalApplicationCommandCarriesItsFolderFlags) {
  auto tree = load("[Commands\\TV]\nID=0\n[Commands\\TV\\P]\nID=2\nFile=p.exe\nCommand=Power\nFlags=1\n"
                   "[Commands\\TV\\P\\App:Power]\nID=1\n[Commands\\TV\\P\\App:Power\\L]\n"
                   "[Commands\\TV\\P\\App:Power\\L\\Go]\nAction=Execute/Close application\n");
  FakeEnvironment env;
  auto r = resolveCommand(*tree, "TV", "Power", env);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->folderFlags, APPFOLDER::kDisableServer);
  EXPECT_EQ(r->command->actions()[0]->name, "Go");
}

TEST(ExecNames, MutexNamesAreBoundedAndDistinct) {
  EXPECT_EQ(commandMutexName("TV", "Play", false), "ExcMtxTVPlay");
  EXPECT_EQ(commandMutexName("TV", "Play", true), "ExcMtxGeneric");
  const std::string longRemote(300, 'r');
  const std::string a = commandMutexName(longRemote, "Play", false);
  const std::string b = commandMutexName(longRemote, "Stop", false);
  EXPECT_LE(a.size(), kMaxKernelObjectName);
  EXPECT_NE(a, b);
  EXPECT_EQ(commandMutexName("A\\B", "C", false).find('\\'), std::string::npos);
  EXPECT_EQ(processKey("C:\\Program Files\\Player\\player.exe"), "player.exe");
  EXPECT_TRUE(isModuleApplication("C:\\x\\hook.DLL"));
  EXPECT_TRUE(isNoApplication("N/A"));
  EXPECT_TRUE(isNoApplication(""));
}

namespace {

class RecordingHost : public IExecHost {
 public:
  bool terminateRequested() override { return terminateAfter >= 0 && static_cast<int>(log.size()) >= terminateAfter; }
  bool waitForTerminate(unsigned ms) override {
    waits.push_back(ms);
    return false;
  }
  bool cycleInProgress() override { return cycling; }
  void endCycle() override {
    cycling = false;
    log.push_back("end cycle");
  }
  void flashTray() override { ++flashes; }
  bool applicationRunning(std::string_view, bool cached) override {
    cachedUses.push_back(cached);
    return running;
  }
  bool execute(const ActionCall& call, std::string& message) override {
    log.push_back(call.action.name + ":" + std::to_string(call.type));
    if (call.type == 1) message = std::string(800, 'x');
    return call.type != 12;
  }
  void status(std::string message) override { statuses.push_back(std::move(message)); }
  void showExecuted(const CommandSnapshot&, uint32_t) override { ++osd; }

  std::vector<std::string> log, statuses;
  std::vector<unsigned> waits;
  std::vector<bool> cachedUses;
  int terminateAfter = -1, flashes = 0, osd = 0;
  bool cycling = false, running = false;
};

CMD action(const std::string& name, const std::string& type, int delay = 0) {
  CMD a;
  a.name = name;
  a.typeName = type;
  a.delay = delay;
  a.flags = delay ? CMD::kDelayEnabled : 0;
  return a;
}

}  // namespace

TEST(ActionWalk, DelaysWaitExceptBeforeTheFirstAction) {
  CommandSnapshot c;
  c.actions = {action("", ""), action("a", "Mute", 2000), action("b", "Close window", 2000),
               action("c", "Unknown type")};
  RecordingHost host;
  const WalkResult r = walkActions(c, 0, host);
  EXPECT_EQ(host.waits, (std::vector<unsigned>{0, 2000}));
  EXPECT_EQ(host.log, (std::vector<std::string>{"a:30", "b:12"}));  // unknown type skipped
  EXPECT_EQ(r.executed, 3);
  EXPECT_EQ(r.succeeded, 1);
  EXPECT_EQ(host.osd, 1);
  EXPECT_TRUE(host.statuses.empty());
}

TEST(ActionWalk, RepeatsNeedAllowRepeatedCommands) {
  CommandSnapshot c;
  c.actions = {action("a", "Mute"), action("b", "Cycle through windows")};
  RecordingHost host;
  EXPECT_TRUE(walkActions(c, 1, host).stoppedByRepeatRule);
  EXPECT_TRUE(host.log.empty());
  c.flags = CCmdArray::kAllowRepeat;
  walkActions(c, 1, host);
  EXPECT_EQ(host.log, (std::vector<std::string>{"a:30"}));  // cycling only on a first press
}

TEST(ActionWalk, ExecuteCloseChoosesByWhetherTheApplicationRuns) {
  CommandSnapshot c;
  c.inFolder = true;
  c.folder.fileName = "p.exe";
  c.actions = {action("t", "Execute/Close application"), action("u", "Execute/Close application")};
  RecordingHost host;
  walkActions(c, 0, host);
  host.running = true;
  c.flags = CCmdArray::kAllowRepeat | CCmdArray::kDisableOsd;
  walkActions(c, 2, host);
  EXPECT_EQ(host.log, (std::vector<std::string>{"t:1", "u:1", "t:2", "u:2"}));
  // A held button's first action reuses the lists collected before.
  EXPECT_EQ(host.cachedUses, (std::vector<bool>{false, false, true, false}));
  EXPECT_EQ(host.osd, 2);
  ASSERT_EQ(host.statuses.size(), 2u);
  EXPECT_EQ(host.statuses[0].size(), kMaxStatusText);
}

TEST(ActionWalk, AnotherActionEndsACycleAndStillRuns) {
  CommandSnapshot c;
  c.actions = {action("m", "Mute")};
  RecordingHost host;
  host.cycling = true;
  walkActions(c, 0, host);
  EXPECT_EQ(host.log, (std::vector<std::string>{"end cycle", "m:30"}));
}

TEST(ActionWalk, TerminationAndInactiveApplications) {
  CommandSnapshot c;
  c.actions = {action("a", "Mute"), action("b", "Mute")};
  RecordingHost host;
  host.terminateAfter = 1;
  EXPECT_TRUE(walkActions(c, 0, host).terminated);
  EXPECT_EQ(host.log.size(), 1u);
  RecordingHost idle;
  c.applicationActive = false;
  EXPECT_EQ(walkActions(c, 0, idle).executed, 0);
  EXPECT_TRUE(idle.log.empty());
}

TEST(CommandSnapshot, CopiesTheActiveLayout) {
  CCmdArray cmd("Play");
  auto a = std::make_unique<CMD>();
  a->typeName = "Mute";
  cmd.appendAction(std::move(a));
  CCmdArray& second = cmd.addLayout();
  auto b = std::make_unique<CMD>();
  b->typeName = "Close window";
  second.appendAction(std::move(b));
  cmd.switchToLayout(1);
  CommandSnapshot s = snapshotOf(cmd, nullptr, "TV");
  cmd.switchToLayout(0);
  second.actions().clear();  // the run keeps its own copy
  ASSERT_EQ(s.actions.size(), 1u);
  EXPECT_EQ(s.actions[0].typeName, "Close window");
  EXPECT_EQ(s.activeLayout, 1);
  EXPECT_EQ(s.remote, "TV");
}
