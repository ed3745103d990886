// padrem.dll as the host drives it: its information, its settings and
// commands in the registry and in presets, and a pad on the far end of COM5
// whose packets come back as command records, repeats and pointer moves.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "plugins/padrem/win/resource.h"
#include "plugins/store/win/store_resource.h"
#include "support/win/plugin_exports.h"
#include "support/win/pump.h"
#include "support/win/receiver_sim.h"
#include "support/win/recording_window.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/module.h"

namespace vexa::test {
namespace {

struct PadremExports {
  win::CModule module;
  abi::GetPlugInfoFn getPlugInfo = nullptr;
  abi::ReadConfigFn readConfig = nullptr;
  abi::WriteConfigFn writeConfig = nullptr;
  abi::StartMsgLoopFn startMsgLoop = nullptr;
  abi::EndMsgLoopFn endMsgLoop = nullptr;
  abi::ReleaseFn release = nullptr;
  abi::GetFirstRmtFn getFirstRmt = nullptr;
  abi::GetNextRmtFn getNextRmt = nullptr;
  abi::GetFirstCmdFn getFirstCmd = nullptr;
  abi::GetNextCmdFn getNextCmd = nullptr;
  abi::SavePresetFn savePreset = nullptr;
  abi::LoadPresetFn loadPreset = nullptr;
  abi::CreateCfgDlgFn createCfgDlg = nullptr;
};

PadremExports& padrem() {
  static PadremExports plugin = [] {
    PadremExports p;
    if (!p.module.Load(besideTests(PADREM_DLL_FROM_TESTS).wstring())) return p;
    p.getPlugInfo = p.module.GetProc<abi::GetPlugInfoFn>("GetPlugInfo");
    p.readConfig = p.module.GetProc<abi::ReadConfigFn>("ReadConfig");
    p.writeConfig = p.module.GetProc<abi::WriteConfigFn>("WriteConfig");
    p.startMsgLoop = p.module.GetProc<abi::StartMsgLoopFn>("StartMsgLoop");
    p.endMsgLoop = p.module.GetProc<abi::EndMsgLoopFn>("EndMsgLoop");
    p.release = p.module.GetProc<abi::ReleaseFn>("Release");
    p.getFirstRmt = p.module.GetProc<abi::GetFirstRmtFn>("GetFirstRmt");
    p.getNextRmt = p.module.GetProc<abi::GetNextRmtFn>("GetNextRmt");
    p.getFirstCmd = p.module.GetProc<abi::GetFirstCmdFn>("GetFirstCmd");
    p.getNextCmd = p.module.GetProc<abi::GetNextCmdFn>("GetNextCmd");
    p.savePreset = p.module.GetProc<abi::SavePresetFn>("SavePreset");
    p.loadPreset = p.module.GetProc<abi::LoadPresetFn>("LoadPreset");
    p.createCfgDlg = p.module.GetProc<abi::CreateCfgDlgFn>("CreateCfgDlg");
    return p;
  }();
  return plugin;
}

constexpr const char* kTestKey = "Software\\Marlix\\Vexa\\padrem-test.dll";

class PadremTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(padrem().readConfig, nullptr) << besideTests(PADREM_DLL_FROM_TESTS);
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr),
              ERROR_SUCCESS);
    ASSERT_TRUE(m_window.Create());
    EmptyStore();
  }
  // The plug-in's store lives as long as the library: a preset of no commands empties it.
  static void EmptyStore() {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "padrem-empty.vdp";
    WritePrivateProfileStringA("Plugin Config", "Count", "0", file.string().c_str());
    padrem().loadPreset(file.string().c_str());
    padrem().endMsgLoop();
    padrem().release();
  }
  void TearDown() override {
    padrem().endMsgLoop();
    padrem().release();
    m_pad.reset();
    RegCloseKey(m_key);
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
  }
  void SetString(const char* name, const char* value) {
    RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(strlen(value) + 1));
  }
  void SetDword(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  void AddCommand(const char* remote, const char* command, DWORD code) {
    HKEY key = nullptr;
    const std::string path = std::string("Commands\\") + remote;
    ASSERT_EQ(RegCreateKeyExA(m_key, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    SetDword(key, command, code);
    RegCloseKey(key);
  }
  // The pad on COM6, the plug-in receiving on COM5 for the test window.
  void StartReceiving(bool mousepad = false) {
    SetString("COM Port", "COM5");
    SetDword(m_key, "Mousepad", mousepad ? 1 : 0);
    padrem().readConfig(m_key);
    m_pad = std::make_unique<CReceiverSim>(Answer::kSilent);
    ASSERT_TRUE(m_pad->Start());
    ASSERT_EQ(padrem().startMsgLoop(m_window.Handle()), 1);
  }
  std::vector<std::string> Commands(const char* remote) {
    std::vector<std::string> names;
    char name[abi::kEnumNameBuffer] = {};
    intptr_t cursor = padrem().getFirstCmd(remote, name);
    if (!cursor) return names;
    names.emplace_back(name);
    while (padrem().getNextCmd(&cursor, name)) names.emplace_back(name);
    return names;
  }

  HKEY m_key = nullptr;
  CRecordingWindow m_window;
  std::unique_ptr<CReceiverSim> m_pad;
};

TEST(PadremExports, InformationOnlyForTheInterfaceMagic) {
  ASSERT_NE(padrem().getPlugInfo, nullptr);
  abi::PlugInfoRecord info{};
  padrem().getPlugInfo(&info, 12345);
  EXPECT_EQ(info.size, 0u);
  padrem().getPlugInfo(&info, abi::kPlugInfoMagic);
  EXPECT_EQ(info.size, 596u);
  EXPECT_STREQ(info.displayName, "Logitech OEM (AST, PADREM, IBM)");
  EXPECT_STREQ(info.version, "1.0.0");
  EXPECT_STREQ(info.moduleName, "padrem");
}

TEST_F(PadremTest, RegistryCommandsAreEnumeratedAndWrittenBack) {
  AddCommand("TV", "Power", 12);
  AddCommand("TV", "Mute", 13);
  AddCommand("Amp", "Volume", 14);
  HKEY tv = nullptr;
  RegOpenKeyExA(m_key, "Commands\\TV", 0, KEY_ALL_ACCESS, &tv);
  RegSetValueExA(tv, "Note", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);  // not a command
  RegCloseKey(tv);
  padrem().readConfig(m_key);

  char name[abi::kEnumNameBuffer] = {};
  ASSERT_EQ(padrem().getFirstRmt(name), 1);
  std::vector<std::string> remotes{name};
  int index = 1;
  while (padrem().getNextRmt(&index, name)) remotes.emplace_back(name);
  EXPECT_EQ(remotes, (std::vector<std::string>{"Amp", "TV"}));
  auto tvCommands = Commands("TV");  // in the registry's enumeration order
  std::sort(tvCommands.begin(), tvCommands.end());
  EXPECT_EQ(tvCommands, (std::vector<std::string>{"Mute", "Power"}));
  EXPECT_TRUE(Commands("Radio").empty());

  AddCommand("Stale", "Gone", 1);  // only what the plug-in holds is written
  padrem().writeConfig(m_key);
  HKEY stale = nullptr;
  EXPECT_NE(RegOpenKeyExA(m_key, "Commands\\Stale", 0, KEY_READ, &stale), ERROR_SUCCESS);
  DWORD code = 0, size = sizeof code;
  EXPECT_EQ(RegGetValueA(m_key, "Commands\\TV", "Mute", RRF_RT_REG_DWORD, nullptr, &code, &size), ERROR_SUCCESS);
  EXPECT_EQ(code, 13u);
  char port[16] = {};
  DWORD portSize = sizeof port;
  EXPECT_EQ(RegGetValueA(m_key, nullptr, "COM Port", RRF_RT_REG_SZ, nullptr, port, &portSize), ERROR_SUCCESS);
  EXPECT_STREQ(port, "COM1");  // the default, saved
}

TEST_F(PadremTest, HeldButtonArrivesWithARepeatPerFiveBytes) {
  AddCommand("Pad", "Play", 5);
  StartReceiving();
  ASSERT_TRUE(m_pad->Send("\x01\xA0\x05\x05\x05\x05\x05\x05\x05\xAA"));
  ASSERT_TRUE(pumpUntil([&] { return m_window.records.size() >= 7; }, 5000));
  std::vector<int> repeats;
  for (const auto& record : m_window.records) {
    EXPECT_EQ(record.remote, "Pad");
    EXPECT_EQ(record.command, "Play");
    repeats.push_back(record.repeat);
  }
  EXPECT_EQ(repeats, (std::vector<int>{0, 0, 0, 0, 0, 1, 1}));
}

TEST_F(PadremTest, AQuietLineEndsAPacketWithoutItsEndByte) {
  AddCommand("Pad", "Play", 5);
  AddCommand("Pad", "Stop", 6);
  StartReceiving();
  ASSERT_TRUE(m_pad->Send("\xA0\x05"));
  ASSERT_TRUE(pumpUntil([&] { return m_window.records.size() >= 1; }, 5000));
  pumpFor(500);  // more than the 150 ms read time-out
  ASSERT_TRUE(m_pad->Send("\x06\xA0\x06"));  // the lone 6 belongs to no packet
  ASSERT_TRUE(pumpUntil([&] { return m_window.records.size() >= 2; }, 5000));
  pumpFor(300);
  ASSERT_EQ(m_window.records.size(), 2u);
  EXPECT_EQ(m_window.records[1].command, "Stop");
  EXPECT_EQ(m_window.records[1].repeat, 0);
}

TEST_F(PadremTest, StoppingIsPromptAndAMissingPortFailsToStart) {
  StartReceiving();
  const ULONGLONG start = GetTickCount64();
  padrem().endMsgLoop();
  EXPECT_LT(GetTickCount64() - start, 2000u);
  padrem().release();
  SetString("COM Port", "COM9");
  padrem().readConfig(m_key);
  EXPECT_EQ(padrem().startMsgLoop(m_window.Handle()), 0);
}

// The worker sends each record to this thread: stopping it from here while
// it waits in such a send must still take moments, not the 5 s bound.
TEST_F(PadremTest, StoppingWhileTheWorkerSendsToThisThreadIsPrompt) {
  AddCommand("Pad", "Play", 5);
  StartReceiving();
  ASSERT_TRUE(m_pad->Send("\xA0" + std::string(400, '\x05')));
  Sleep(500);  // not dispatching: the worker waits in its first send
  const ULONGLONG start = GetTickCount64();
  padrem().endMsgLoop();
  EXPECT_LT(GetTickCount64() - start, 2000u);
  const size_t atStop = m_window.records.size();
  EXPECT_GE(atStop, 1u);  // the waiting send was answered while stopping
  EXPECT_LT(atStop, 400u);
  pumpFor(300);
  EXPECT_EQ(m_window.records.size(), atStop);
}

TEST_F(PadremTest, PadBytesMoveThePointerWhenThePadIsEnabled) {
  AddCommand("Pad", "Sixty-eight", 0x44);
  StartReceiving(true);
  SetCursorPos(200, 200);
  ASSERT_TRUE(pumpUntil([] { POINT p; return GetCursorPos(&p) && p.x == 200; }, 2000));
  ASSERT_TRUE(m_pad->Send(std::string("\xA0") + std::string(20, '\x44') + "\xAA"));
  POINT at{};
  // 15 bytes at half speed and 5 at full: 15 + 10 to the right.
  ASSERT_TRUE(pumpUntil([&] { return GetCursorPos(&at) && at.x >= 225; }, 5000)) << at.x;
  EXPECT_EQ(at.y, 200);
  EXPECT_TRUE(m_window.records.empty());  // pad bytes are no buttons
}

// The status line of the page.
std::string statusLine(HWND page) {
  char text[128] = {};
  GetDlgItemTextA(page, IDC_PADREM_STATUS, text, sizeof text);
  return text;
}

// A window under the pointer that notes the button messages it gets: the
// pad's clicks arrive as a real pointer's do.
class CClickTarget : public win::CWindow {
 public:
  bool Create() {
    return RegisterWindowClass(L"PadremClickTarget") &&
           win::CWindow::Create(L"PadremClickTarget", L"Click target", WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST,
                                {100, 100, 200, 200});
  }
  // Under the pointer and in front, where the pad's buttons go.
  bool PointAt() {
    SetForegroundWindow(Handle());
    SetCursorPos(200, 200);
    return pumpUntil([&] {
      POINT p{};
      return GetCursorPos(&p) && WindowFromPoint(p) == Handle();
    }, 2000);
  }
  std::vector<UINT> buttons;  // WM_LBUTTONDOWN ... in arrival order
  bool Saw(UINT msg) const { return std::find(buttons.begin(), buttons.end(), msg) != buttons.end(); }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_RBUTTONDOWN || msg == WM_RBUTTONUP)
      buttons.push_back(msg);
    return win::CWindow::OnMessage(msg, wp, lp);
  }
};

TEST_F(PadremTest, APadClickPressesInOnePacketAndReleasesInALaterOne) {
  CClickTarget target;
  ASSERT_TRUE(target.Create());
  ASSERT_TRUE(target.PointAt());
  StartReceiving(true);
  ASSERT_TRUE(m_pad->Send("\xA0\x39\xAA"));  // 57: left down
  ASSERT_TRUE(pumpUntil([&] { return target.Saw(WM_LBUTTONDOWN); }, 3000));
  pumpFor(300);
  EXPECT_FALSE(target.Saw(WM_LBUTTONUP)) << "the packet's end released the button";
  ASSERT_TRUE(m_pad->Send("\xA0\x38\xAA"));  // 56: release
  ASSERT_TRUE(pumpUntil([&] { return target.Saw(WM_LBUTTONUP); }, 3000));
  EXPECT_EQ(target.buttons, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
  EXPECT_TRUE(m_window.records.empty());  // click bytes are no buttons
}

TEST_F(PadremTest, AButtonThePadHoldsIsReleasedWhenReceptionStops) {
  CClickTarget target;
  ASSERT_TRUE(target.Create());
  ASSERT_TRUE(target.PointAt());
  StartReceiving(true);
  ASSERT_TRUE(m_pad->Send("\xA0\x3A\xAA"));  // 58: right down
  ASSERT_TRUE(pumpUntil([&] { return target.Saw(WM_RBUTTONDOWN); }, 3000));
  padrem().endMsgLoop();
  ASSERT_TRUE(pumpUntil([&] { return target.Saw(WM_RBUTTONUP); }, 3000));
  EXPECT_EQ(GetAsyncKeyState(VK_RBUTTON) & 0x8000, 0);
}

// The host opens the receiver after it made the page: the page shows it open.
TEST_F(PadremTest, ThePageShowsTheReceiverTheHostOpensAndReleases) {
  SetString("COM Port", "COM5");
  padrem().readConfig(m_key);
  abi::Point at{0, 0};
  HWND page = static_cast<HWND>(padrem().createCfgDlg(&at, m_window.Handle()));
  ASSERT_NE(page, nullptr);
  HWND box = GetDlgItem(page, IDC_PADREM_MOUSEPAD);
  EXPECT_FALSE(IsWindowEnabled(box));
  StartReceiving();
  EXPECT_TRUE(IsWindowEnabled(box));
  EXPECT_EQ(statusLine(page), "Using direct hardware access.");
  padrem().endMsgLoop();
  padrem().release();
  EXPECT_FALSE(IsWindowEnabled(box));
  DestroyWindow(page);
}

// The page's check box decides, for the running worker, whether pad bytes
// move the pointer or are buttons.
TEST_F(PadremTest, ClearingEnableMousepadMakesPadBytesButtons) {
  AddCommand("Pad", "Sixty-eight", 0x44);
  StartReceiving(true);
  abi::Point at{0, 0};
  HWND page = static_cast<HWND>(padrem().createCfgDlg(&at, m_window.Handle()));
  ASSERT_NE(page, nullptr);
  HWND box = GetDlgItem(page, IDC_PADREM_MOUSEPAD);
  ASSERT_TRUE(IsWindowEnabled(box));
  ASSERT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(box, BM_CLICK, 0, 0);
  ASSERT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  ASSERT_TRUE(m_pad->Send("\xA0\x44\xAA"));
  ASSERT_TRUE(pumpUntil([&] { return !m_window.records.empty(); }, 3000));
  EXPECT_EQ(m_window.records[0].command, "Sixty-eight");
  DestroyWindow(page);
}

TEST_F(PadremTest, PresetRoundTripRestartsTheReceiverOnItsPort) {
  AddCommand("TV", "Volume Up", 4000000000u);
  AddCommand("TV", "Mute", 13);
  padrem().readConfig(m_key);
  padrem().startMsgLoop(m_window.Handle());  // fails on COM1: the host window is known now
  const auto saved = Commands("TV");
  ASSERT_EQ(saved.size(), 2u);
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "padrem-test.vdp";
  std::filesystem::remove(file);
  ASSERT_EQ(padrem().savePreset(file.string().c_str()), 1);
  {
    std::ifstream in(file);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("[Volume Up@TV]"), std::string::npos);
    EXPECT_NE(text.find("Signature=4000000000"), std::string::npos);
    EXPECT_NE(text.find("Count=2"), std::string::npos) << text;
  }
  WritePrivateProfileStringA("Plugin Config", "COM Port", "COM5", file.string().c_str());
  RegDeleteTreeA(m_key, "Commands");
  AddCommand("Other", "Thing", 1);
  padrem().readConfig(m_key);
  EXPECT_EQ(padrem().loadPreset(file.string().c_str()), 1);
  EXPECT_TRUE(m_window.sawStatus(abi::MainCode::kDeviceNotInitialised, "Loading configuration..."));
  EXPECT_TRUE(m_window.sawCode(abi::MainCode::kDeviceReady));
  EXPECT_TRUE(Commands("Other").empty());
  EXPECT_EQ(Commands("TV"), saved);
  std::filesystem::remove(file);
}

// The road of learning: the device page's menu command opens the Learn
// window, the pad's button comes twice, OK stores it, and a later press of it
// arrives as that command.
TEST_F(PadremTest, AButtonLearnedThroughTheDevicePageIsRecognised) {
  StartReceiving();
  abi::Point at{0, 0};
  HWND page = static_cast<HWND>(padrem().createCfgDlg(&at, m_window.Handle()));
  ASSERT_NE(page, nullptr);
  // The Learn window is modal on this thread: another thread plays the user.
  struct Seen {
    std::atomic<bool> done{false}, okBefore{false}, okAfterOne{false}, okAfterTwo{false};
    std::string box;
  } seen;
  std::thread user([&] {
    HWND learn = nullptr;
    // Visible once its initialisation is done: its fields are there to fill.
    for (int i = 0; i < 100 && !((learn = FindWindowA(nullptr, "Learn")) && IsWindowVisible(learn)); ++i) {
      // A message box instead would hold this test's thread: note it and close it.
      if (HWND box = FindWindowA("#32770", "PADREM plugin")) {
        char text[256] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        seen.box = text;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
      }
      Sleep(50);
    }
    if (learn) {
      SetDlgItemTextA(learn, IDC_LEARN_REMOTE, "Pad");
      SetDlgItemTextA(learn, IDC_LEARN_NAME, "Select");
      HWND ok = GetDlgItem(learn, IDOK);
      seen.okBefore = IsWindowEnabled(ok) != FALSE;
      m_pad->Send("\xA0\x07\x07\xAA");
      Sleep(400);
      seen.okAfterOne = IsWindowEnabled(ok) != FALSE;  // once is not enough
      m_pad->Send("\xA0\x07\xAA");
      for (int i = 0; i < 100 && !IsWindowEnabled(ok); ++i) Sleep(50);
      seen.okAfterTwo = IsWindowEnabled(ok) != FALSE;
      PostMessageA(learn, WM_COMMAND, IDOK, 0);
      for (int i = 0; i < 100 && FindWindowA(nullptr, "Learn"); ++i) Sleep(50);
    }
    seen.done = true;
  });
  PostMessageA(page, WM_COMMAND, ID_STORE_LEARN, 0);
  const bool finished = pumpUntil([&] { return seen.done.load(); }, 15000);
  user.join();
  ASSERT_TRUE(finished);
  ASSERT_EQ(seen.box, "");
  EXPECT_FALSE(seen.okBefore);
  EXPECT_FALSE(seen.okAfterOne);
  EXPECT_TRUE(seen.okAfterTwo);
  EXPECT_EQ(FindWindowA(nullptr, "Learn"), nullptr);
  EXPECT_TRUE(m_window.records.empty());  // learning codes run no command
  EXPECT_GE(m_window.settingsChanged, 1);
  EXPECT_EQ(Commands("Pad"), std::vector<std::string>{"Select"});

  ASSERT_TRUE(m_pad->Send("\xA0\x07\xAA"));
  ASSERT_TRUE(pumpUntil([&] { return !m_window.records.empty(); }, 5000));
  EXPECT_EQ(m_window.records[0].command, "Select");
  EXPECT_EQ(m_window.records[0].remote, "Pad");
  DestroyWindow(page);
}

// Answers the plug-in's message boxes from another thread while this one is
// held in them: records each text and presses the next of the given buttons.
class CBoxAnswerer {
 public:
  explicit CBoxAnswerer(std::vector<int> answers, const char* caption = "PADREM plugin")
      : m_answers(std::move(answers)), m_caption(caption) {
    m_thread = std::thread([this] { Run(); });
  }
  ~CBoxAnswerer() {
    m_stop = true;
    m_thread.join();
  }
  std::vector<std::string> Texts() {
    std::lock_guard guard(m_lock);
    return m_texts;
  }

 private:
  void Run() {
    while (!m_stop) {
      HWND box = FindWindowA("#32770", m_caption);
      if (box && IsWindowVisible(box)) {
        char text[256] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        std::lock_guard guard(m_lock);
        const int answer = m_next < m_answers.size() ? m_answers[m_next++] : IDCANCEL;
        m_texts.emplace_back(text);
        PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        while (IsWindow(box) && !m_stop) Sleep(10);
      }
      Sleep(10);
    }
  }
  std::vector<int> m_answers;
  const char* m_caption;
  size_t m_next = 0;
  std::vector<std::string> m_texts;
  std::mutex m_lock;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

// "Initialize" on the page, its message box answered from another thread.
std::vector<std::string> initializeOnPage(HWND page, const char* caption) {
  CBoxAnswerer boxes({IDOK}, caption);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_PADREM_INITIALIZE, BN_CLICKED), 0);
  return boxes.Texts();
}

TEST_F(PadremTest, InitializeOpensTheChosenPortAndStartsReceiving) {
  AddCommand("Pad", "Play", 5);
  SetString("COM Port", "COM5");
  padrem().readConfig(m_key);
  m_pad = std::make_unique<CReceiverSim>(Answer::kSilent);
  ASSERT_TRUE(m_pad->Start());
  abi::Point at{0, 0};
  HWND page = static_cast<HWND>(padrem().createCfgDlg(&at, m_window.Handle()));
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(initializeOnPage(page, "PADREM plugin"), std::vector<std::string>{"Initialization successful."});
  EXPECT_TRUE(m_window.sawStatus(abi::MainCode::kTemporaryStatus, "Initializing device. Please wait.."));
  EXPECT_TRUE(m_window.sawCode(abi::MainCode::kDeviceReady));
  EXPECT_EQ(statusLine(page), "Using direct hardware access.");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_PADREM_MOUSEPAD)));  // the pad works on the port
  ASSERT_TRUE(m_pad->Send("\xA0\x05\xAA"));
  ASSERT_TRUE(pumpUntil([&] { return !m_window.records.empty(); }, 3000));
  EXPECT_EQ(m_window.records[0].command, "Play");
  DestroyWindow(page);
}

TEST_F(PadremTest, InitializeOnAMissingPortSaysSoAndReportsTheFailure) {
  SetString("COM Port", "COM9");
  padrem().readConfig(m_key);
  abi::Point at{0, 0};
  HWND page = static_cast<HWND>(padrem().createCfgDlg(&at, m_window.Handle()));
  ASSERT_NE(page, nullptr);
  m_window.statuses.clear();
  EXPECT_EQ(initializeOnPage(page, "padrem.dll"),
            std::vector<std::string>{"Could not open COM port.\nThe port may be in use by another application."});
  EXPECT_TRUE(m_window.sawStatus(abi::MainCode::kDeviceNotInitialised, "Initialization failed. Check hardware."));
  EXPECT_FALSE(m_window.sawCode(abi::MainCode::kDeviceReady));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_PADREM_MOUSEPAD)));
  DestroyWindow(page);
}

TEST_F(PadremTest, TheCommandTreeNamesNewRemotesAndAsksBeforeLosingCommands) {
  AddCommand("TV", "Power", 1);
  AddCommand("TV", "Mute", 2);
  padrem().readConfig(m_key);
  abi::Point at{0, 0};
  HWND page = static_cast<HWND>(padrem().createCfgDlg(&at, m_window.Handle()));
  ASSERT_NE(page, nullptr);
  HWND tree = GetDlgItem(page, 1005);
  for (int i = 0; i < 2; ++i) {
    SendMessageA(page, WM_COMMAND, ID_STORE_NEW_REMOTE, 0);
    TreeView_EndEditLabelNow(tree, TRUE);  // the name offered is kept
  }
  char name[abi::kEnumNameBuffer] = {};
  std::vector<std::string> remotes;
  for (int index = 0; padrem().getNextRmt(&index, name);) remotes.emplace_back(name);
  EXPECT_EQ(remotes, (std::vector<std::string>{"New Remote", "New Remote 2", "TV"}));
  EXPECT_GE(m_window.settingsChanged, 2);

  // Renaming "Mute" as its sibling is refused with a warning; nothing changes.
  auto textOf = [&](HTREEITEM item) {
    char text[64] = {};
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return std::string(text);
  };
  HTREEITEM tv = TreeView_GetRoot(tree);
  while (tv && textOf(tv) != "TV") tv = TreeView_GetNextSibling(tree, tv);
  ASSERT_NE(tv, nullptr);
  HTREEITEM mute = TreeView_GetChild(tree, tv);  // children sorted: Mute first
  ASSERT_EQ(textOf(mute), "Mute");
  {
    CBoxAnswerer boxes({IDOK});
    HWND edit = TreeView_EditLabel(tree, mute);
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "power");
    TreeView_EndEditLabelNow(tree, FALSE);
    pumpUntil([&] { return !boxes.Texts().empty(); }, 3000);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"This name already exists.\nPlease choose another"});
    pumpFor(100);
    TreeView_EndEditLabelNow(tree, TRUE);  // the reopened edit
  }
  auto tvCommands = Commands("TV");
  std::sort(tvCommands.begin(), tvCommands.end());
  EXPECT_EQ(tvCommands, (std::vector<std::string>{"Mute", "Power"}));

  // Deleting a remote with commands asks first: No keeps it, Yes removes it.
  TreeView_SelectItem(tree, tv);
  {
    CBoxAnswerer boxes({IDNO, IDYES});
    SendMessageA(page, WM_COMMAND, ID_STORE_DELETE_REMOTE, 0);
    EXPECT_EQ(Commands("TV").size(), 2u);
    SendMessageA(page, WM_COMMAND, ID_STORE_DELETE_REMOTE, 0);
    EXPECT_TRUE(Commands("TV").empty());
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>(2, "Delete all commands of TV ?")));
  }
  DestroyWindow(page);
}

// One go of the Learn window opened from the page, played from another
// thread (the window is modal on this one): names typed, the pad's packet
// twice, OK, then each message box answered in turn; a window still open
// after that is cancelled.
struct LearnRun {
  bool offeredOk = false;
  std::vector<std::string> boxes;
};

LearnRun learnOnPage(HWND page, const char* remote, const char* name, CReceiverSim& pad, const std::string& packet,
                     std::vector<int> answers) {
  LearnRun run;
  std::atomic<bool> done{false};
  std::thread user([&] {
    HWND learn = nullptr;
    for (int i = 0; i < 100 && !((learn = FindWindowA(nullptr, "Learn")) && IsWindowVisible(learn)); ++i) Sleep(50);
    if (learn) {
      SetDlgItemTextA(learn, IDC_LEARN_REMOTE, remote);
      SetDlgItemTextA(learn, IDC_LEARN_NAME, name);
      HWND ok = GetDlgItem(learn, IDOK);
      for (int sent = 0; sent < 2; ++sent) {
        pad.Send(packet);
        Sleep(300);
      }
      for (int i = 0; i < 40 && !IsWindowEnabled(ok); ++i) Sleep(50);
      run.offeredOk = IsWindowEnabled(ok) != FALSE;
      PostMessageA(learn, WM_COMMAND, IDOK, 0);
      size_t next = 0;
      for (int i = 0; i < 100 && IsWindow(learn); ++i) {
        HWND box = FindWindowA("#32770", "PADREM plugin");
        if (box && IsWindowVisible(box) && next < answers.size()) {
          char text[512] = {};
          GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
          run.boxes.emplace_back(text);
          PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answers[next++]), 0);
          while (IsWindow(box)) Sleep(10);
        } else if (next == answers.size() && !box) {
          Sleep(200);
          if (IsWindow(learn)) PostMessageA(learn, WM_COMMAND, IDCANCEL, 0);
        }
        Sleep(50);
      }
    }
    done = true;
  });
  PostMessageA(page, WM_COMMAND, ID_STORE_LEARN, 0);
  pumpUntil([&] { return done.load(); }, 20000);
  user.join();
  return run;
}

TEST_F(PadremTest, LearningAnAssignedCodeOrATakenNameAsksFirst) {
  StartReceiving();
  abi::Point at{0, 0};
  HWND page = static_cast<HWND>(padrem().createCfgDlg(&at, m_window.Handle()));
  ASSERT_NE(page, nullptr);
  const std::string seven("\xA0\x07\xAA", 3), eight("\xA0\x08\xAA", 3);
  EXPECT_TRUE(learnOnPage(page, "Pad", "Select", *m_pad, seven, {}).boxes.empty());
  ASSERT_EQ(Commands("Pad"), std::vector<std::string>{"Select"});

  const std::string assigned =
      "This remote button is already assigned to 'Select'.\nIf you want to delete this button, click YES.\n"
      "Otherwise, click NO and learn another.";
  LearnRun declined = learnOnPage(page, "Pad", "Other", *m_pad, seven, {IDNO});
  EXPECT_TRUE(declined.offeredOk);
  EXPECT_EQ(declined.boxes, std::vector<std::string>{assigned});
  EXPECT_EQ(Commands("Pad"), std::vector<std::string>{"Select"});  // nothing changed on No

  EXPECT_EQ(learnOnPage(page, "Pad", "Other", *m_pad, seven, {IDYES}).boxes, std::vector<std::string>{assigned});
  EXPECT_EQ(Commands("Pad"), std::vector<std::string>{"Other"});

  LearnRun taken = learnOnPage(page, "Pad", "other", *m_pad, eight, {IDNO});
  ASSERT_EQ(taken.boxes.size(), 1u);
  EXPECT_EQ(taken.boxes[0].rfind("This button name already exists.", 0), 0u);
  EXPECT_EQ(Commands("Pad"), std::vector<std::string>{"Other"});
  ASSERT_TRUE(m_pad->Send(seven));  // still the learned code
  ASSERT_TRUE(pumpUntil([&] { return !m_window.records.empty(); }, 5000));
  EXPECT_EQ(m_window.records[0].command, "Other");
  DestroyWindow(page);
}

// The vendor driver's stand-in registered where its setup puts it: key
// events arrive as messages instead of bytes on the port.
class PadremDriverTest : public PadremTest {
 protected:
  void SetUp() override {
    PadremTest::SetUp();
    const std::filesystem::path driver = std::filesystem::absolute(besideTests(PADREM_DRIVER_FROM_TESTS));
    ASSERT_TRUE(m_driver.Load(driver)) << driver;
    m_simulateKey = m_driver.GetProc<SimulateKeyFn>("SimulateKey");
    m_setReceiver = m_driver.GetProc<SetReceiverFn>("SetReceiverPresent");
    ASSERT_NE(m_simulateKey, nullptr);
    const std::string folder = driver.parent_path().string();
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSetupKey, "LRemote", REG_SZ, folder.c_str(),
                              static_cast<DWORD>(folder.size() + 1)),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    PadremTest::TearDown();
    m_setReceiver(TRUE);
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSetupKey, "LRemote");
  }
  using SimulateKeyFn = BOOL(WINAPI*)(DWORD code, BOOL down);
  using SetReceiverFn = void(WINAPI*)(BOOL present);
  static constexpr const char* kSetupKey = "SOFTWARE\\Logitech\\LogiMedia\\CurrentVersion";
  win::CModule m_driver;
  SimulateKeyFn m_simulateKey = nullptr;
  SetReceiverFn m_setReceiver = nullptr;
};

TEST_F(PadremDriverTest, AHeldKeyRepeatsEveryTenthOfASecondUntilItGoesUp) {
  AddCommand("Pad", "Menu", 0x123);
  padrem().readConfig(m_key);
  ASSERT_EQ(padrem().startMsgLoop(m_window.Handle()), 1);
  ASSERT_TRUE(m_simulateKey(0x123, TRUE));
  ASSERT_TRUE(pumpUntil([&] { return m_window.records.size() >= 3; }, 3000));
  ASSERT_TRUE(m_simulateKey(0x123, FALSE));
  pumpFor(100);
  const size_t atRelease = m_window.records.size();
  pumpFor(400);
  EXPECT_EQ(m_window.records.size(), atRelease);  // the repeat stopped with the key
  for (size_t i = 0; i < m_window.records.size(); ++i) {
    EXPECT_EQ(m_window.records[i].command, "Menu");
    EXPECT_EQ(m_window.records[i].repeat, static_cast<int>(i));
  }
  m_simulateKey(0x77, TRUE);  // no command has it
  pumpFor(300);
  EXPECT_EQ(m_window.records.size(), atRelease);
  padrem().endMsgLoop();
  EXPECT_FALSE(m_simulateKey(0x123, TRUE));  // detached
}

TEST_F(PadremDriverTest, InitializeWithoutTheDriversReceiverSaysSo) {
  m_setReceiver(FALSE);
  abi::Point at{0, 0};
  HWND page = static_cast<HWND>(padrem().createCfgDlg(&at, m_window.Handle()));
  ASSERT_NE(page, nullptr);
  m_window.statuses.clear();
  EXPECT_EQ(initializeOnPage(page, "padrem.dll"),
            std::vector<std::string>{"Could not initialize device.\nCheck if hardware is connected properly."});
  EXPECT_TRUE(m_window.sawStatus(abi::MainCode::kDeviceNotInitialised, "Initialization failed. Check hardware."));
  EXPECT_EQ(statusLine(page), "Receiver not found.");
  DestroyWindow(page);
}

TEST_F(PadremDriverTest, ADriverWithoutReceiverFailsWithItsStatus) {
  m_setReceiver(FALSE);
  abi::Point at{0, 0};
  HWND page = static_cast<HWND>(padrem().createCfgDlg(&at, m_window.Handle()));
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(padrem().startMsgLoop(m_window.Handle()), 0);
  padrem().readConfig(m_key);  // shows the status on the page
  char status[128] = {};
  GetDlgItemTextA(page, 1003, status, sizeof status);
  EXPECT_STREQ(status, "Receiver not found.");
  m_setReceiver(TRUE);
  EXPECT_EQ(padrem().startMsgLoop(m_window.Handle()), 1);
  padrem().readConfig(m_key);
  GetDlgItemTextA(page, 1003, status, sizeof status);
  EXPECT_STREQ(status, "Using Windows device driver.");
  DestroyWindow(page);
}

}  // namespace
}  // namespace vexa::test
