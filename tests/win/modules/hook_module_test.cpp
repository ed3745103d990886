// tapmod.dll's keyboard hook as the program holds it: keys typed anywhere
// start the commands with that hot key.
#include <gtest/gtest.h>

#include "module_test_support.h"
#include "support/win/typed_keys.h"
#include "vexa/base/program_messages.h"
#include "vexa/device/plugin_abi.h"
#include "vexa/exec/win/exec_engine.h"
#include "vexa/shell/win/command_dispatch.h"

namespace vexa::test {
namespace {

constexpr uint32_t kCtrlF9 = 0x20000 | VK_F9;

// As a person types: the hook reports it.
bool typeKey(WORD key, bool withCtrl) {
  if (withCtrl) return typeKeys({{VK_CONTROL}, {key}, {key, true}, {VK_CONTROL, true}});
  return typeKeys({{key}, {key, true}});
}

// As a program synthesises it (SendInput marks it injected): the hook passes it by.
void injectKey(WORD key, bool withCtrl) {
  std::vector<INPUT> inputs;
  const auto add = [&](WORD vk, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = flags;
    inputs.push_back(in);
  };
  if (withCtrl) add(VK_CONTROL, 0);
  add(key, 0);
  add(key, KEYEVENTF_KEYUP);
  if (withCtrl) add(VK_CONTROL, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class HookModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fixture.created);
    CCmdItem& keys = fixture.tree.insertRemote("Keys");
    fixture.tree.insertCommand(keys, quietCommand("Lights", kCtrlF9));
    fixture.window.SetCommandStarter([this](const shell::CommandStart& s) { started.push_back(s.remote + "/" + s.command); });
    fixture.modules->Start();
  }
  LRESULT askHookHandle() {
    return SendMessageW(fixture.window.Handle(), abi::kVexaMessage, ProgramMessage::kKeyboardHookHandle, 0);
  }
  // A start that must not come is waited for only `waitMs`; one that must, as long as it takes.
  bool startedAfterTyping(WORD key, bool withCtrl, unsigned waitMs = 10000) {
    started.clear();
    EXPECT_TRUE(typeKey(key, withCtrl));
    return pumpUntil([&] { return !started.empty(); }, waitMs);
  }

  CModulesFixture fixture{{L"tapmod.dll", L"no-such-vexanet.dll"}};
  std::vector<std::string> started;
};

TEST_F(HookModuleTest, AHotKeyTypedStartsItsCommandAndOtherKeysDoNot) {
  ASSERT_TRUE(fixture.modules->Hook().Loaded());
  EXPECT_NE(askHookHandle(), 0);
  EXPECT_EQ(static_cast<uintptr_t>(askHookHandle()), fixture.modules->Hook().KeyboardHook());
  ASSERT_TRUE(startedAfterTyping(VK_F9, true));
  EXPECT_EQ(started, std::vector<std::string>{"Keys/Lights"});
  EXPECT_FALSE(startedAfterTyping(VK_F9, false, 1500));  // F9 without Ctrl is another hot key
}

TEST_F(HookModuleTest, KeysAProgramSynthesisesStartNoHotKey) {
  injectKey(VK_F9, true);
  pumpFor(300);
  EXPECT_TRUE(started.empty());
  EXPECT_TRUE(startedAfterTyping(VK_F9, true));  // and the user's Ctrl is still tracked right
}

TEST_F(HookModuleTest, AFieldThatTakesKeysRemovesTheHookUntilItLetsGo) {
  SendMessageW(fixture.window.Handle(), ProgramMessage::kSuspendKeyboardHook, 0, 0);
  EXPECT_EQ(askHookHandle(), 0);
  EXPECT_FALSE(startedAfterTyping(VK_F9, true, 1500));
  SendMessageW(fixture.window.Handle(), ProgramMessage::kResumeKeyboardHook, 0, 0);
  EXPECT_NE(askHookHandle(), 0);
  EXPECT_TRUE(startedAfterTyping(VK_F9, true));
}

// Stands in for the system's window switcher, which Wine lacks: while Alt is
// held each Tab selects the next window in most-recently-used order; letting
// Alt go brings the selected one forward. Keys reach whichever of its windows
// has the focus.
class CWindowSwitcher {
 public:
  explicit CWindowSwitcher(int count) {
    WNDCLASSW type{};
    type.lpfnWndProc = &CWindowSwitcher::Proc;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"VexaSwitcherTestWindow";
    RegisterClassW(&type);  // fails harmlessly once registered
    for (int i = 0; i < count; ++i) {
      const std::wstring title = L"Window " + std::to_wstring(i);
      const HWND w = CreateWindowExW(0, type.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                     40 + 30 * i, 40 + 30 * i, 240, 160, nullptr, nullptr, type.hInstance, nullptr);
      SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
      m_windows.push_back(w);
    }
    m_order = m_windows;
    SetForegroundWindow(m_windows[0]);
  }
  ~CWindowSwitcher() {
    for (HWND w : m_windows) DestroyWindow(w);
  }
  HWND Window(int i) const { return m_windows[static_cast<size_t>(i)]; }
  std::vector<std::wstring> selections;  // the window each Tab selected

 private:
  static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<CWindowSwitcher*>(GetWindowLongPtrW(w, GWLP_USERDATA));
    // Alt must not open the system menu, which would hold the keys in a menu loop.
    if (msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP || msg == WM_KEYUP || msg == WM_SYSCHAR) {
      if (self) self->OnKey(msg, wp);
      return 0;
    }
    return DefWindowProcW(w, msg, wp, lp);
  }
  void OnKey(UINT msg, WPARAM key) {
    if (msg == WM_SYSKEYDOWN && key == VK_TAB) {
      m_selected = (m_selected + 1) % m_order.size();
      wchar_t title[32] = L"";
      GetWindowTextW(m_order[m_selected], title, 32);
      selections.push_back(title);
    } else if ((msg == WM_SYSKEYUP || msg == WM_KEYUP) && key == VK_MENU && m_selected != 0) {
      const HWND chosen = m_order[m_selected];
      m_order.erase(m_order.begin() + static_cast<long>(m_selected));
      m_order.insert(m_order.begin(), chosen);
      m_selected = 0;
      SetForegroundWindow(chosen);
    }
  }

  std::vector<HWND> m_windows, m_order;
  size_t m_selected = 0;
};

TEST(CycleThroughWindows, ThreePressesWalkThreeWindowsWithTheHookModuleLoaded) {
  CModulesFixture fixture({L"tapmod.dll", L"no-such-vexanet.dll"});
  ASSERT_TRUE(fixture.created);
  auto command = std::make_unique<CCmdArray>("Next");
  auto action = std::make_unique<CMD>();
  action->name = "Cycle";
  action->typeName = "Cycle through windows";
  command->appendAction(std::move(action));
  fixture.tree.insertCommand(fixture.tree.insertRemote("Keys"), std::move(command));
  fixture.modules->Start();
  ASSERT_TRUE(fixture.modules->Hook().Loaded());
  CWindowSwitcher switcher(4);
  ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == switcher.Window(0); }, 2000));
  shell::CCommandDispatch& dispatch = *fixture.window.Dispatch();
  for (int press = 0; press < 3; ++press) {
    ASSERT_TRUE(dispatch.Run("Keys", "Next", 0));
    ASSERT_TRUE(pumpUntil([&] { return !dispatch.Engine().Busy(); }, 3000));
    pumpFor(200);  // the hook has passed the cycle's keys on meanwhile
  }
  EXPECT_EQ(switcher.selections, (std::vector<std::wstring>{L"Window 1", L"Window 2", L"Window 3"}));
  // Two seconds after the last press the cycle lets Alt go.
  EXPECT_TRUE(pumpUntil([&] { return GetForegroundWindow() == switcher.Window(3); }, 4000));
  EXPECT_FALSE(dispatch.Engine().CycleFlag());
}

TEST(HookModuleMissing, HotKeysAreSimplyAbsent) {
  CModulesFixture fixture({L"no-such-tapmod.dll", L"no-such-vexanet.dll"});
  fixture.modules->Start();
  EXPECT_FALSE(fixture.modules->Hook().Loaded());
  EXPECT_EQ(SendMessageW(fixture.window.Handle(), abi::kVexaMessage, ProgramMessage::kKeyboardHookHandle, 0), 0);
  EXPECT_TRUE(fixture.boxes.empty());
}

}  // namespace
}  // namespace vexa::test
