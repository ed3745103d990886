// The main window's repeat rules, button capture and hot keys, driven with
// real 0x7FFF messages and the registry values the window reads at creation.
#include "device_test_support.h"
#include "vexa/model/app_folder.h"
#include "vexa/model/cmd_tree.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/shell/win/main_window.h"
#include "vexa/base/program_messages.h"
#include "support/quiet_settings.h"

namespace vexa::test {
namespace {

using shell::CMainWindow;
using shell::CommandStart;

// A window waiting for a button, as the command editor's capture is: it looks
// at the record and leaves it to the main window to free.
class CCaptureWindow : public win::CWindow {
 public:
  bool Create() { return CWindow::Create(L"VexaTestCapture", L"Capture", WS_POPUP); }
  std::vector<CommandStart> presses;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == abi::kVexaMessage && wp == abi::MainCode::kCommand) {
      const auto* r = reinterpret_cast<const abi::CommandRecord*>(lp);
      presses.push_back({std::string(r->remote, abi::fieldLength(r->remote)),
                         std::string(r->command, abi::fieldLength(r->command)), r->repeatCount});
      return 1;
    }
    return CWindow::OnMessage(msg, wp, lp);
  }
};

// A tool window that takes key events while it is open.
class CToolWindow : public win::CWindow {
 public:
  bool Create(const wchar_t* title) { return CWindow::Create(L"VexaTestTool", title, WS_POPUP); }
  std::vector<LPARAM> keys;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == abi::kVexaMessage && wp == ProgramMessage::kHotKeyEvent) {
      keys.push_back(lp);
      return 5;
    }
    return CWindow::OnMessage(msg, wp, lp);
  }
};

class MainWindowRepeatTest : public DeviceHostTest {
 protected:
  static constexpr DWORD kRepThresholdMs = 1500;
  static constexpr DWORD kTypematicMs = 600;

  void SetUp() override {
    DeviceHostTest::SetUp();
    ASSERT_TRUE(settings.Create(HKEY_CURRENT_USER, device::kProgramRegistryKey));
    ASSERT_TRUE(settings.SetDword(L"RepThreshold", kRepThresholdMs));
    ASSERT_TRUE(settings.SetDword(L"TypematicDelay", kTypematicMs));
    settings.DeleteValue(L"Options");
    settings.DeleteValue(L"DisableMultithreading");
    const HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    ASSERT_TRUE(window.Create(icon, icon));
    window.SetProgramSettings(test::settingsWithoutExitQuestion());
    window.SetCommandStarter([this](const CommandStart& s) { started.push_back(s); });
  }
  void TearDown() override {
    window.SetCommandTree(nullptr);
    window.Exit();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    settings.DeleteValue(L"RepThreshold");
    settings.DeleteValue(L"TypematicDelay");
    settings.DeleteValue(L"Options");
    settings.DeleteValue(L"DisableMultithreading");
    DeviceHostTest::TearDown();
  }
  void press(const char* remote, const char* command, int repeat = 0) {
    auto* r = new abi::CommandRecord{};
    abi::copyField(r->remote, remote);
    abi::copyField(r->command, command);
    r->repeatCount = repeat;
    EXPECT_EQ(SendMessageW(window.Handle(), abi::kVexaMessage, abi::MainCode::kCommand, reinterpret_cast<LPARAM>(r)),
              1);
  }
  LRESULT key(uint32_t lParam) {
    return SendMessageW(window.Handle(), abi::kVexaMessage, ProgramMessage::kHotKeyEvent, static_cast<LPARAM>(lParam));
  }
  static void sleepUntil(ULONGLONG tick) {
    const ULONGLONG now = GetTickCount64();
    if (tick > now) Sleep(static_cast<DWORD>(tick - now));
  }
  std::vector<std::string> startedText() const {
    std::vector<std::string> texts;
    for (const auto& s : started) texts.push_back(s.remote + "/" + s.command + "/" + std::to_string(s.repeat));
    return texts;
  }

  win::CRegKey settings;
  CMainWindow window;
  std::vector<CommandStart> started;
};

TEST_F(MainWindowRepeatTest, AHeldButtonIsSwallowedForTheTypematicDelayThenCounted) {
  const ULONGLONG t0 = GetTickCount64();
  press("TV", "Volume");
  Sleep(150);
  press("TV", "Volume");  // within the typematic delay of the accepted press
  sleepUntil(t0 + kTypematicMs + 300);
  ASSERT_LT(GetTickCount64() - t0, kRepThresholdMs) << "the machine stalled; the timing is meaningless";
  press("TV", "volume");  // names compare without case
  press("TV", "Volume");
  EXPECT_EQ(startedText(), (std::vector<std::string>{"TV/Volume/0", "TV/volume/1", "TV/Volume/2"}));
  EXPECT_EQ(window.StatusText(), L"TV: Volume (2)");
}

TEST_F(MainWindowRepeatTest, AnotherButtonOrRemoteOrATimeoutIsANewPress) {
  press("TV", "Volume");
  press("TV", "Mute");             // another button within the timeout
  press("Radio", "Mute");          // the same button name on another remote
  press("Radio", "Mute");          // swallowed: typematic delay
  Sleep(kRepThresholdMs + 200);
  press("Radio", "Mute");          // after the timeout
  press("Radio", "Mute");          // swallowed again
  EXPECT_EQ(startedText(),
            (std::vector<std::string>{"TV/Volume/0", "TV/Mute/0", "Radio/Mute/0", "Radio/Mute/0"}));
  // A plug-in's own repeat count is kept for a new button.
  press("Radio", "Play", 3);
  press("Radio", "Play");
  EXPECT_EQ(startedText().back(), "Radio/Play/4");
}

TEST_F(MainWindowRepeatTest, RecordsAreDroppedFromNotReadyUntilReady) {
  press("TV", "Power");
  SendMessageW(window.Handle(), abi::kVexaMessage, abi::MainCode::kDeviceNotInitialised, 0);
  press("TV", "Mute");
  press("TV", "Mute", 2);
  SendMessageW(window.Handle(), abi::kVexaMessage, abi::MainCode::kDeviceDeactivated, 0);
  press("TV", "Play");
  EXPECT_EQ(startedText(), (std::vector<std::string>{"TV/Power/0"}));
  SendMessageW(window.Handle(), abi::kVexaMessage, abi::MainCode::kDeviceReady, 0);
  press("TV", "Play");
  EXPECT_EQ(startedText(), (std::vector<std::string>{"TV/Power/0", "TV/Play/0"}));
}

TEST_F(MainWindowRepeatTest, AWindowWaitingForAButtonGetsNewPressesInstead) {
  CCaptureWindow capture;
  ASSERT_TRUE(capture.Create());
  window.Dispatch()->SetButtonCapture(capture.Handle());
  press("TV", "Power");
  press("TV", "Mute", 2);  // not a new press: it runs
  press("TV", "Play");
  ASSERT_EQ(capture.presses.size(), 2u);
  EXPECT_EQ(capture.presses[0].remote, "TV");
  EXPECT_EQ(capture.presses[0].command, "Power");
  EXPECT_EQ(capture.presses[0].repeat, 0);
  EXPECT_EQ(capture.presses[1].command, "Play");
  EXPECT_EQ(startedText(), (std::vector<std::string>{"TV/Mute/2"}));

  capture.Destroy();
  press("TV", "Stop");
  EXPECT_EQ(startedText(), (std::vector<std::string>{"TV/Mute/2", "TV/Stop/0"}));
}

// A run on its own thread is listed before it starts and stays listed while
// it waits for this thread to take its messages; one run here is over on return.
bool runsOnAThreadOfItsOwn(CMainWindow& window) {
  shell::CCommandDispatch& dispatch = *window.Dispatch();
  EXPECT_TRUE(dispatch.Run("TV", "Play", 0));
  const bool threaded = dispatch.Engine().Busy();
  EXPECT_TRUE(pumpUntil([&] { return !dispatch.Engine().Busy(); }));
  return threaded;
}

TEST_F(MainWindowRepeatTest, BitThreeOfOptionsAloneRunsCommandsOnTheWindowsThread) {
  CCmdTree tree;
  tree.insertCommand(tree.insertRemote("TV"), std::make_unique<CCmdArray>("Play"));
  window.SetCommandTree(&tree);
  EXPECT_TRUE(runsOnAThreadOfItsOwn(window));  // the default 0x44

  // A value of the option's own name is not the setting.
  ASSERT_TRUE(settings.SetDword(L"DisableMultithreading", 1));
  window.Dispatch()->ApplySettings(shell::DispatchSettings::fromRegistry());
  EXPECT_TRUE(runsOnAThreadOfItsOwn(window));

  ASSERT_TRUE(settings.SetDword(L"Options", 0x4C));
  ASSERT_TRUE(settings.SetDword(L"DisableMultithreading", 0));
  window.Dispatch()->ApplySettings(shell::DispatchSettings::fromRegistry());
  EXPECT_FALSE(runsOnAThreadOfItsOwn(window));

  // A window created now reads it too; other bits do not matter.
  ASSERT_TRUE(settings.SetDword(L"Options", 0xFFFFFFF7u));
  window.Dispatch()->ApplySettings(shell::DispatchSettings::fromRegistry());
  EXPECT_TRUE(runsOnAThreadOfItsOwn(window));
  ASSERT_TRUE(settings.SetDword(L"Options", 0x8));
  CMainWindow created;
  const HICON icon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  ASSERT_TRUE(created.Create(icon, icon));
  created.SetProgramSettings(test::settingsWithoutExitQuestion());
  created.SetCommandTree(&tree);
  EXPECT_FALSE(runsOnAThreadOfItsOwn(created));
  created.SetCommandTree(nullptr);
  created.Exit();
  window.SetCommandTree(nullptr);
}

class MainWindowHotKeyTest : public MainWindowRepeatTest {
 protected:
  void SetUp() override {
    MainWindowRepeatTest::SetUp();
    CCmdItem& keys = tree.insertRemote("Keys");
    addCommand(keys, "Louder", 0x20026);      // Ctrl+Up
    addCommand(keys, "Shifted", 0x10041);     // Shift+A
    addCommand(keys, "Page", 0x80021);        // extended PgUp
    addCommand(keys, "Plain", 0x42);          // B
    addCommand(keys, "App:Launch", 0x43);     // a plain command that only looks like a folder's
    CCmdItem& media = tree.insertRemote("Media");
    addCommand(media, "Volume", 0x20026);
    auto folder = std::make_unique<APPFOLDER>("Player");
    folder->setCommandName("Start Player");
    folder->appCommand().setHotKey(0x40050);  // Alt+P
    CCmdItem& folderItem = tree.insertFolder(media, std::move(folder));
    addCommand(folderItem, "Next", 0x4E);
    window.SetCommandTree(&tree);
  }
  void addCommand(CCmdItem& parent, const char* name, uint32_t hotKey) {
    auto command = std::make_unique<CCmdArray>(name);
    command->setHotKey(hotKey);
    tree.insertCommand(parent, std::move(command));
  }
  CCmdTree tree;
};

TEST_F(MainWindowHotKeyTest, AKeyStartsEveryCommandWithThatHotKey) {
  EXPECT_EQ(key(0x80000000u | 0x26), 1);  // Ctrl+Up
  EXPECT_EQ(startedText(), (std::vector<std::string>{"Keys/Louder/0", "Media/Volume/0"}));
  started.clear();
  key((2u << 28) | 0x41);  // Shift
  key((1u << 28) | 0x21);  // extended
  key((3u << 28) | 0x42);  // the hook's special value adds no modifier
  key(0x40000000u | 0x50);  // Alt+P: the folder's application command
  key(0x4E);                // a command inside the folder
  key(0x43);
  EXPECT_EQ(startedText(), (std::vector<std::string>{"Keys/Shifted/0", "Keys/Page/0", "Keys/Plain/0",
                                                     "Media/Start Player/0", "Media/Next/0", "Keys/App:Launch/0"}));
  // Only the key with the special value carries the flag to its start.
  ASSERT_EQ(started.size(), 6u);
  for (size_t i = 0; i < started.size(); ++i) EXPECT_EQ(started[i].special, i == 2) << i;
  started.clear();
  EXPECT_EQ(key(0x41), 0);  // A without Shift is no hot key
  // Hot keys bypass the repeat rules: the same key at once starts again.
  key(0x4E);
  key(0x4E);
  EXPECT_EQ(startedText(), (std::vector<std::string>{"Media/Next/0", "Media/Next/0"}));
}

TEST_F(MainWindowHotKeyTest, IgnoredSuspendedOrTakenByAToolWindow) {
  window.Dispatch()->IgnoreNextKey();
  EXPECT_EQ(key(0x4E), 0);
  EXPECT_TRUE(started.empty());
  key(0x4E);
  EXPECT_EQ(started.size(), 1u);

  window.Dispatch()->SuspendHotKeys(true);
  EXPECT_EQ(key(0x4E), 0);
  window.Dispatch()->SuspendHotKeys(false);
  EXPECT_EQ(started.size(), 1u);

  CToolWindow tool;
  ASSERT_TRUE(tool.Create(L"Mouse Position Tool"));
  EXPECT_EQ(key(0x4E), 5);
  EXPECT_EQ(tool.keys, (std::vector<LPARAM>{0x4E}));
  EXPECT_EQ(started.size(), 1u);
  tool.Destroy();
  key(0x4E);
  EXPECT_EQ(started.size(), 2u);
}

// "Plain" (B) runs "Louder" when held for 400 ms.
class MainWindowHeldHotKeyTest : public MainWindowHotKeyTest {
 protected:
  static constexpr uint32_t kHoldMs = 400;
  void SetUp() override {
    MainWindowHotKeyTest::SetUp();
    CCmdItem* keys = tree.findRemote("Keys");
    ASSERT_EQ(tree.holds().set(tree, *tree.findChild(*keys, "Plain"), kHoldMs, tree.findChild(*keys, "Louder")->command()),
              CHoldTable::SetResult::Set);
  }
  void TearDown() override {
    keybd_event('B', 0, KEYEVENTF_KEYUP, 0);
    MainWindowHotKeyTest::TearDown();
  }
};

TEST_F(MainWindowHeldHotKeyTest, AKeyLetGoBeforeItsHoldTimeRunsItsOwnCommandOnce) {
  ASSERT_FALSE(GetAsyncKeyState('B') & 0x8000);
  EXPECT_EQ(key(0x42), 1);
  EXPECT_TRUE(started.empty()) << "the decision waits for the key";
  pumpUntil([&] { return !started.empty(); }, 1000);
  pumpFor(kHoldMs);
  EXPECT_EQ(startedText(), std::vector<std::string>{"Keys/Plain/0"});
  EXPECT_EQ(key(0x4E), 1);  // other hot keys go on as before
  EXPECT_EQ(started.size(), 2u);
}

TEST_F(MainWindowHeldHotKeyTest, AKeyStillDownAtItsHoldTimeRunsTheHeldCommandInstead) {
  keybd_event('B', 0, 0, 0);
  if (!pumpUntil([] { return (GetAsyncKeyState('B') & 0x8000) != 0; }, 1000))
    GTEST_FAIL() << "the key state does not follow injected keys here";
  EXPECT_EQ(key(0x42), 1);
  pumpFor(kHoldMs + 200);
  EXPECT_EQ(window.StatusText(), L"Keys: Plain held: Louder");
  key(0x42);  // the key's auto-repeat belongs to the hold
  keybd_event('B', 0, KEYEVENTF_KEYUP, 0);
  pumpFor(300);
  EXPECT_TRUE(started.empty()) << startedText().front();
}

}  // namespace
}  // namespace vexa::test
