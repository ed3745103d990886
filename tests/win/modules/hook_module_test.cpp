// tapmod.dll's keyboard hook as the program holds it: keys typed anywhere
// start the commands with that hot key.
#include <gtest/gtest.h>

#include "module_test_support.h"
#include "vexa/base/program_messages.h"
#include "vexa/device/plugin_abi.h"

namespace vexa::test {
namespace {

constexpr uint32_t kCtrlF9 = 0x20000 | VK_F9;

void typeKey(WORD key, bool withCtrl) {
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
    typeKey(key, withCtrl);
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

TEST_F(HookModuleTest, AFieldThatTakesKeysRemovesTheHookUntilItLetsGo) {
  SendMessageW(fixture.window.Handle(), ProgramMessage::kSuspendKeyboardHook, 0, 0);
  EXPECT_EQ(askHookHandle(), 0);
  EXPECT_FALSE(startedAfterTyping(VK_F9, true, 1500));
  SendMessageW(fixture.window.Handle(), ProgramMessage::kResumeKeyboardHook, 0, 0);
  EXPECT_NE(askHookHandle(), 0);
  EXPECT_TRUE(startedAfterTyping(VK_F9, true));
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
