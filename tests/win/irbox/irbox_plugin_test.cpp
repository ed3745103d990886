// irbox.dll against a receiver on the far end of a pseudo-terminal pair: the
// wake-up and its answers, six-byte codes, and starting again on the same port.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/win/code_window.h"
#include "support/win/monitor_thread.h"
#include "support/win/plugin_exports.h"
#include "support/win/receiver_sim.h"

namespace vexa::test {
namespace {

PluginExports& irbox() {
  static PluginExports plugin = [] {
    PluginExports p;
    p.Load(besideTests(IRBOX_DLL_FROM_TESTS));
    return p;
  }();
  return plugin;
}

class IrboxTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(irbox().onInit, nullptr) << besideTests(IRBOX_DLL_FROM_TESTS); }
  void TearDown() override {
    m_monitor.reset();
    irbox().onRelease();
  }
  int Init(Answer answer, const char* model = "IRBOX") {
    m_receiver.reset();  // the far end is opened exclusively
    m_receiver = std::make_unique<CReceiverSim>(answer);
    EXPECT_TRUE(m_receiver->Start());
    m_device = deviceRecord(model);
    return irbox().onInit(&m_device, "COM5", "");
  }
  void StartMonitor() {
    m_monitor = std::make_unique<CPluginMonitorThread>(irbox().monitorDevice, m_device, m_window);
    Sleep(100);  // the monitor is waiting for the first byte
  }
  bool WaitForBlocks(size_t count, DWORD timeoutMs = 3000) {
    return m_window.PumpUntil([&] { return m_window.Blocks().size() >= count; }, timeoutMs);
  }
  void Pump(DWORD ms) { m_window.PumpUntil([] { return false; }, ms); }

  abi::DeviceRecord m_device{};
  std::unique_ptr<CReceiverSim> m_receiver;
  CCodeWindow m_window;
  std::unique_ptr<CPluginMonitorThread> m_monitor;
};

TEST(IrboxExports, DeviceInfoOffersTwoModelsOnSerialPortsWithoutSetup) {
  ASSERT_NE(irbox().deviceInfo, nullptr);
  abi::DeviceInfoRecord info{};
  std::unique_ptr<char[]> names(irbox().deviceInfo(&info));
  ASSERT_EQ(info.deviceNames, names.get());
  EXPECT_EQ(info.size, 16u);
  EXPECT_EQ(info.selectorKind, 1u);
  EXPECT_EQ(info.capabilities, 3u);
  std::vector<std::string> models;
  for (const char* p = names.get(); *p; p += std::strlen(p) + 1) models.emplace_back(p);
  EXPECT_EQ(models, (std::vector<std::string>{"IRBOX", "IRMan"}));
  EXPECT_NE(irbox().onAbout, nullptr);
  // Nothing to configure: no settings file, no setup, no selector of its own.
  EXPECT_EQ(irbox().onReadConfig, nullptr);
  EXPECT_EQ(irbox().onWriteConfig, nullptr);
  EXPECT_EQ(irbox().onSetup, nullptr);
  EXPECT_EQ(irbox().onFillSelector, nullptr);
}

TEST_F(IrboxTest, AnOkReplyToIThenRIsReadyWithSixByteCodes) {
  for (const char* model : {"IRBOX", "IRMan"}) {
    EXPECT_EQ(Init(Answer::kIrman, model), abi::kInitReady) << model;
    EXPECT_EQ(m_receiver->Received(), "IR");
    EXPECT_EQ(m_device.timingMode, 0);
    EXPECT_EQ(m_device.tolerance, 0);
    EXPECT_EQ(m_device.codeLength, 6);
    EXPECT_EQ(m_device.learnSamples, 2);
    irbox().onRelease();
  }
}

TEST_F(IrboxTest, MissingPortSilenceAndWrongAnswersHaveTheirResults) {
  m_device = deviceRecord("IRBOX");
  EXPECT_EQ(irbox().onInit(&m_device, "COM42", ""), abi::kInitInUse);
  EXPECT_EQ(Init(Answer::kSilent), abi::kInitNoResponse);
  EXPECT_EQ(Init(Answer::kWrong), abi::kInitBadResponse);
  // A failed wake-up leaves the port closed: monitoring refuses at once.
  EXPECT_EQ(irbox().monitorDevice(&m_device, m_window.Handle()), -1);
}

TEST_F(IrboxTest, OkFollowedByMoreIsABadResponse) {
  EXPECT_EQ(Init(Answer::kOkLineEnd), abi::kInitBadResponse);
  EXPECT_EQ(Init(Answer::kNulSeparated), abi::kInitBadResponse);
}

TEST_F(IrboxTest, CodesAreSixBytesAndShortBurstsArePaddedWithZeros) {
  ASSERT_EQ(Init(Answer::kIrman), abi::kInitReady);
  StartMonitor();
  ASSERT_TRUE(m_receiver->Send("\x11\x22\x33\x44\x55\x66"));
  ASSERT_TRUE(WaitForBlocks(1));
  EXPECT_EQ(m_window.Blocks()[0], "\x11\x22\x33\x44\x55\x66");
  Sleep(300);
  ASSERT_TRUE(m_receiver->Send("ab"));
  ASSERT_TRUE(WaitForBlocks(2));
  EXPECT_EQ(m_window.Blocks()[1], std::string("ab\0\0\0\0", 6));
}

TEST_F(IrboxTest, BytesAfterACodeArePurgedNotReadAsTheNext) {
  ASSERT_EQ(Init(Answer::kIrman), abi::kInitReady);
  StartMonitor();
  ASSERT_TRUE(m_receiver->Send("CODE01tail"));
  ASSERT_TRUE(WaitForBlocks(1));
  Pump(400);
  ASSERT_EQ(m_window.Blocks().size(), 1u);
  EXPECT_EQ(m_window.Blocks()[0], "CODE01");
  ASSERT_TRUE(m_receiver->Send("CODE02"));
  ASSERT_TRUE(WaitForBlocks(2));
  EXPECT_EQ(m_window.Blocks()[1], "CODE02");
}

TEST_F(IrboxTest, TerminateEndsTheMonitorPromptlyWithZero) {
  ASSERT_EQ(Init(Answer::kIrman), abi::kInitReady);
  StartMonitor();
  const ULONGLONG start = GetTickCount64();
  ASSERT_TRUE(m_monitor->Stop(3000));
  EXPECT_LT(GetTickCount64() - start, 1000u);
  EXPECT_EQ(m_monitor->Result(), 0);
}

// What the host does at every restart: stop, release, initialise and monitor again.
TEST_F(IrboxTest, ASecondStartOnTheSamePortReceivesAgain) {
  for (int round = 1; round <= 2; ++round) {
    ASSERT_EQ(Init(Answer::kIrman), abi::kInitReady) << "round " << round;
    StartMonitor();
    ASSERT_TRUE(m_receiver->Send("ROUND" + std::to_string(round)));
    ASSERT_TRUE(WaitForBlocks(static_cast<size_t>(round))) << "round " << round;
    EXPECT_EQ(m_window.Blocks().back(), "ROUND" + std::to_string(round));
    ASSERT_TRUE(m_monitor->Stop());
    EXPECT_EQ(m_monitor->Result(), 0);
    m_monitor.reset();
    irbox().onRelease();
  }
}

}  // namespace
}  // namespace vexa::test
