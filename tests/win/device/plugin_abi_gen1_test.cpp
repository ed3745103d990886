// The first generation's records as a plug-in lays them out at run time: the
// information record GetPlugInfo fills and the command record a plug-in that
// recognises buttons sends. In the 32-bit build these are the contract's exact
// numbers; in the 64-bit build the host's view must still match the plug-in's.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "vexa/device/plugin_abi.h"
#include "vexa/winlib/module.h"

namespace vexa::test {
namespace {

constexpr unsigned char kCanary = 0xCD;

std::string textAt(const std::vector<unsigned char>& bytes, size_t offset) {
  return std::string(reinterpret_cast<const char*>(bytes.data() + offset));
}

class FirstGenerationRecords : public ::testing::Test {
 protected:
  void SetUp() override {
    m_module = LoadLibraryW((win::modulePath().parent_path() / "devices" / "good1.dll").c_str());
    ASSERT_NE(m_module, nullptr);
  }
  void TearDown() override {
    if (m_module) FreeLibrary(m_module);
  }
  template <typename Fn>
  Fn Export(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
  }
  HMODULE m_module = nullptr;
};

TEST_F(FirstGenerationRecords, PlugInfoFieldsSitAtTheContractOffsetsWithinItsSize) {
  auto getPlugInfo = Export<abi::GetPlugInfoFn>(abi::kGetPlugInfo);
  ASSERT_NE(getPlugInfo, nullptr);
  std::vector<unsigned char> record(abi::kPlugInfoSize + 64, kCanary);
  getPlugInfo(reinterpret_cast<abi::PlugInfoRecord*>(record.data()), abi::kPlugInfoMagic);
  uint32_t size = 0;
  std::memcpy(&size, record.data(), sizeof size);
  EXPECT_EQ(size, 596u);
  EXPECT_EQ(textAt(record, 4), "Fake Classic");
  EXPECT_EQ(textAt(record, 259), "1.0.0");
  EXPECT_EQ(textAt(record, 279), "good1.dll");
  for (size_t i = 596; i < record.size(); ++i) ASSERT_EQ(record[i], kCanary) << "written at " << i;
}

// Keeps the raw bytes of the first command record it is sent.
std::vector<unsigned char> g_commandRecord;

LRESULT CALLBACK recordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == abi::kVexaMessage && wp == abi::MainCode::kCommand) {
    auto* record = reinterpret_cast<abi::CommandRecord*>(lp);
    const auto* raw = reinterpret_cast<const unsigned char*>(record);
    g_commandRecord.assign(raw, raw + 516);
    delete record;  // the host's side of the ownership contract
    return 1;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

TEST_F(FirstGenerationRecords, ACommandRecordIsTheCommandThenTheRepeatCountThenTheRemote) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = recordingProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "AbiTestCommandWindow";
  RegisterClassA(&wc);
  HWND window = CreateWindowA(wc.lpszClassName, "host", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  auto startMsgLoop = Export<abi::StartMsgLoopFn>(abi::kStartMsgLoop);
  auto sendCommand = Export<LRESULT (*)(const char*, const char*)>("FakeSendCommand");
  ASSERT_NE(startMsgLoop, nullptr);
  ASSERT_NE(sendCommand, nullptr);
  g_commandRecord.clear();
  startMsgLoop(window);
  EXPECT_EQ(sendCommand("Classic Remote", "Play"), 1);
  DestroyWindow(window);
  ASSERT_EQ(g_commandRecord.size(), 516u);
  EXPECT_EQ(textAt(g_commandRecord, 0), "Play");
  int32_t repeat = -1;
  std::memcpy(&repeat, g_commandRecord.data() + 256, sizeof repeat);
  EXPECT_EQ(repeat, 0);
  EXPECT_EQ(textAt(g_commandRecord, 260), "Classic Remote");
}

}  // namespace
}  // namespace vexa::test
