// The server module as the running program uses it: started with the saved
// settings, fed with every executed command, stopped and started again.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "module_test_support.h"
#include "support/temp_folder.h"
#include "tcp_client.h"
#include "vexa/exec/exec_messages.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/model/app_folder.h"
#include "vexa/model/names.h"
#include "vexa/shell/win/session_watch.h"

namespace vexa::test {
namespace {

constexpr const wchar_t* kNoHook = L"no-such-tapmod.dll";

ProgramSettings settingsOnPort(int port) {
  ProgramSettings settings = settingsWithoutExitQuestion();
  settings.serverPort = static_cast<uint32_t>(port);
  return settings;
}

class ProgramServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    port = freePort();
    fixture = std::make_unique<CModulesFixture>(shell::ModuleLibraries{kNoHook, L"vexanet.dll"}, settingsOnPort(port));
    ASSERT_TRUE(fixture->created);
  }
  void TearDown() override { fixture.reset(); }

  void postRecord(const char* command, const char* remote, uint32_t repeat = 0) {
    auto* record = new ServerRecord(makeServerRecord(command, repeat, remote));
    ASSERT_TRUE(PostMessageW(fixture->window.Handle(), ProgramMessage::kServerRecord, reinterpret_cast<WPARAM>(record), 0));
  }
  void startAndConnect() {
    fixture->modules->Start();
    ASSERT_TRUE(client.Connect(port));
    // Served once a line the window passed on reaches it.
    ASSERT_TRUE(syncClients(
        [this](uint32_t n) {
          postRecord("Sync", "Test", n);
          pumpFor(20);
        },
        {&client}, syncs));
  }

  CWinsock winsock;
  int port = 0;
  std::unique_ptr<CModulesFixture> fixture;
  CTcpClient client;
  uint32_t syncs = 0;
};

TEST_F(ProgramServerTest, StartsOnTheSavedPortAndReleasesThoseWaitingForIt) {
  std::atomic<bool> released{false};
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, L"vexa_server_ready");
  HANDLE waiting = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(ready, nullptr);
  ASSERT_NE(waiting, nullptr);
  // A pulse releases only those already waiting: the waiter says so as it starts to wait, in one step.
  std::thread waiter([&] { released = SignalObjectAndWait(waiting, ready, 5000, FALSE) == WAIT_OBJECT_0; });
  EXPECT_EQ(WaitForSingleObject(waiting, 5000), WAIT_OBJECT_0);
  fixture->modules->Start();
  waiter.join();
  CloseHandle(waiting);
  CloseHandle(ready);
  EXPECT_TRUE(released);
  EXPECT_TRUE(fixture->modules->Server().Running());
  EXPECT_EQ(fixture->window.StatusText(), L"Server started");
  EXPECT_TRUE(client.Connect(port));
  EXPECT_TRUE(fixture->boxes.empty());
}

TEST_F(ProgramServerTest, ExecutedCommandsReachClientsExceptTheStartupMacros) {
  startAndConnect();
  postRecord("Boot", "startup MACRO");
  postRecord("Volume", "TV", 2);
  pumpFor(100);
  EXPECT_EQ(client.ReadLine(), "Volume\tTV\t2");

  // The whole road: a press runs its command and the run reports it.
  CCmdItem& tv = fixture->tree.insertRemote("TV");
  fixture->tree.insertCommand(tv, quietCommand("Play"));
  CCmdItem& startup = fixture->tree.insertRemote(std::string(kStartupMacro));
  fixture->tree.insertCommand(startup, quietCommand("Boot"));
  EXPECT_EQ(fixture->window.RunStartupMacro(), 1);
  fixture->window.StartCommand("TV", "Play", 0);
  std::string line;
  ASSERT_TRUE(pumpUntil([&] { return !(line = client.ReadLine(10)).empty(); }, 5000));
  EXPECT_EQ(line, "Play\tTV\t0");
  pumpFor(200);
  EXPECT_EQ(client.ReadLine(100), "") << "the start-up macro's command went out";
}

TEST_F(ProgramServerTest, AFolderWithTheServerDisabledKeepsItsCommandsToItself) {
  startAndConnect();
  CCmdItem& tv = fixture->tree.insertRemote("TV");
  auto folder = std::make_unique<APPFOLDER>(std::string(kNoRunningApplications));
  folder->flags = APPFOLDER::kDisableServer;
  CCmdItem& quiet = fixture->tree.insertFolder(tv, std::move(folder));
  fixture->tree.insertCommand(quiet, quietCommand("Secret"));
  fixture->tree.insertCommand(tv, quietCommand("Open"));
  fixture->window.StartCommand("TV", "Secret", 0);
  pumpUntil([&] { return !fixture->window.Dispatch()->Engine().Busy(); }, 3000);
  fixture->window.StartCommand("TV", "Open", 0);
  std::string line;
  ASSERT_TRUE(pumpUntil([&] { return !(line = client.ReadLine(10)).empty(); }, 5000));
  EXPECT_EQ(line, "Open\tTV\t0");
}

TEST_F(ProgramServerTest, AFailedSendShowsTheSocketErrorInWords) {
  startAndConnect();
  client.ShrinkReceiveBuffer();
  const std::string name(250, 'x');
  const std::wstring expected = L"Server error: No buffer space is available";
  // In rounds, so that the window's message queue never overflows.
  for (int round = 0; round < 60 && fixture->window.StatusText() != expected; ++round) {
    for (int i = 0; i < 500; ++i) postRecord(name.c_str(), "TV", static_cast<uint32_t>(i));
    pumpFor(20);
  }
  EXPECT_EQ(fixture->window.StatusText(), expected);
  EXPECT_TRUE(fixture->boxes.empty());
}

TEST_F(ProgramServerTest, ASessionLockStopsTheServerAndTheUnlockStartsItAgain) {
  fixture->modules->Start();
  shell::SessionHooks hooks;
  hooks.stopServer = [&] { fixture->modules->StopServer(); };
  hooks.startServer = [&] { fixture->modules->StartServer(); };
  shell::CSessionWatch watch(fixture->window.Handle(), 77, hooks);
  watch.OnSessionChange(7);  // lock
  EXPECT_FALSE(fixture->modules->Server().Loaded());
  EXPECT_FALSE(client.Connect(port));
  watch.OnSessionChange(8);  // unlock
  EXPECT_TRUE(fixture->modules->Server().Running());
  EXPECT_TRUE(client.Connect(port));
}

TEST(ProgramServerLibrary, AMissingModuleIsQuietABrokenOneIsAnError) {
  {
    CModulesFixture missing({kNoHook, L"no-such-vexanet.dll"});
    missing.modules->Start();
    EXPECT_TRUE(missing.boxes.empty());
    EXPECT_EQ(missing.window.StatusText(), L"Could not load server library");
    EXPECT_FALSE(missing.modules->Server().Running());
  }
  CTempFolder folder;
  const auto broken = folder.path() / "vexanet.dll";
  std::ofstream(broken) << "not a module";
  {
    CModulesFixture corrupt({kNoHook, broken});
    corrupt.modules->Start();
    EXPECT_EQ(corrupt.boxes, std::vector<std::wstring>{L"Could not load server library"});
  }
  {
    // A module without the server's entry point (the media-player plug-in).
    CModulesFixture wrong({kNoHook, L"gen_vexa.dll"});
    wrong.modules->Start();
    EXPECT_EQ(wrong.boxes, std::vector<std::wstring>{L"Unable to start server!\nNo entry point to server library."});
    EXPECT_FALSE(wrong.modules->Server().Running());
  }
}

}  // namespace
}  // namespace vexa::test
