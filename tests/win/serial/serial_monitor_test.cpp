// Reception: bytes written on the receiver's side reach a window as code blocks.
#include <gtest/gtest.h>

#include "tests/win/serial/plugin_fixture.h"
#include "support/win/receiver_sim.h"
#include "support/temp_folder.h"

namespace vexa::test {
namespace {

class SerialMonitor : public ::testing::Test {
 protected:
  void SetUp() override { StartWith(""); }
  void TearDown() override {
    m_monitor.reset();
    SerialPlugin::Get().onRelease();
  }
  void StartWith(const std::string& advancedLines) {
    m_device = deviceRecord("Irman");
    loadSettings(m_device, m_folder.path() / "serial.vdp", {}, advancedLines);
    ASSERT_TRUE(m_receiver.Start());
    ASSERT_EQ(SerialPlugin::Get().onInit(&m_device, "COM5", ""), abi::kInitReady);
    m_monitor = std::make_unique<CMonitorThread>(m_device, m_window);
    Sleep(100);  // the monitor is waiting for the first byte
  }
  void Pump(DWORD ms) { m_window.PumpUntil([] { return false; }, ms); }
  bool WaitForBlocks(size_t count, DWORD timeoutMs = 3000) {
    return m_window.PumpUntil([&] { return m_window.Blocks().size() >= count; }, timeoutMs);
  }

  CTempFolder m_folder;
  CReceiverSim m_receiver{Answer::kIrman};
  abi::DeviceRecord m_device{};
  CCodeWindow m_window;
  std::unique_ptr<CMonitorThread> m_monitor;
};

TEST_F(SerialMonitor, DeliversFullCodesAndShortBurstsWithTheirRealCount) {
  ASSERT_TRUE(m_receiver.Send("\x11\x22\x33\x44\x55\x66"));
  ASSERT_TRUE(WaitForBlocks(1));
  EXPECT_EQ(m_window.Blocks()[0], "\x11\x22\x33\x44\x55\x66");
  Sleep(400);  // the next press is a burst of its own
  ASSERT_TRUE(m_receiver.Send("abc"));
  ASSERT_TRUE(WaitForBlocks(2));
  EXPECT_EQ(m_window.Blocks()[1], "abc");
  Pump(300);
  EXPECT_EQ(m_window.Blocks().size(), 2u);
}

TEST_F(SerialMonitor, TwoCodesWithinFiftyMillisecondsAreOneBlock) {
  ASSERT_TRUE(m_receiver.Send("ABC"));
  Sleep(20);
  ASSERT_TRUE(m_receiver.Send("DEFGHI"));
  ASSERT_TRUE(WaitForBlocks(1));
  Pump(400);
  ASSERT_EQ(m_window.Blocks().size(), 1u);  // the rest was dropped
  EXPECT_EQ(m_window.Blocks()[0], "ABCDEF");
}

TEST_F(SerialMonitor, AHeldButtonRepeatsAsOneBlockPerBurst) {
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(m_receiver.Send("REPEAT"));
    Pump(120);  // the host's window keeps handling messages meanwhile
  }
  ASSERT_TRUE(WaitForBlocks(3));
  for (const std::string& block : m_window.Blocks()) EXPECT_EQ(block, "REPEAT");
}

TEST_F(SerialMonitor, NoiseBetweenCodesDoesNotCorruptTheNextCode) {
  ASSERT_TRUE(m_receiver.Send(std::string("\x00\xff", 2)));
  ASSERT_TRUE(WaitForBlocks(1));
  EXPECT_EQ(m_window.Blocks()[0], std::string("\x00\xff", 2));
  Sleep(400);
  ASSERT_TRUE(m_receiver.Send("CODE01"));
  ASSERT_TRUE(WaitForBlocks(2));
  EXPECT_EQ(m_window.Blocks()[1], "CODE01");
}

TEST_F(SerialMonitor, TerminateEndsTheMonitorPromptly) {
  const ULONGLONG start = GetTickCount64();
  ASSERT_TRUE(m_monitor->Stop(3000));
  EXPECT_LT(GetTickCount64() - start, 1000u);
  EXPECT_EQ(m_monitor->Result(), 0);
}

TEST_F(SerialMonitor, TerminateEndsTheMonitorDuringAHeldButtonToo) {
  ASSERT_TRUE(m_receiver.Send("HELD01"));
  ASSERT_TRUE(WaitForBlocks(1));
  ASSERT_TRUE(m_monitor->Stop(3000));
  EXPECT_EQ(m_monitor->Result(), 0);
}

class SerialReinit : public SerialMonitor {
 protected:
  void SetUp() override { StartWith("ReInit=10\r\n"); }
};

// The receiver sees the init string again at every period, not only after the first.
TEST_F(SerialReinit, ReinitialisesEveryPeriodAndKeepsDelivering) {
  EXPECT_EQ(m_receiver.InitsSeen(), 1);
  EXPECT_TRUE(m_window.PumpUntil([&] { return m_receiver.InitsSeen() >= 3; }, 25000))
      << "inits seen: " << m_receiver.InitsSeen() << ", received: " << m_receiver.Received();
  Sleep(300);
  ASSERT_TRUE(m_receiver.Send("AFTER1"));
  ASSERT_TRUE(WaitForBlocks(1));
  EXPECT_EQ(m_window.Blocks().back(), "AFTER1");
  EXPECT_FALSE(m_monitor->Finished());
}

// The restart event works whoever sets it.
TEST_F(SerialMonitor, RestartEventReinitialises) {
  win::CEvent restart;
  ASSERT_TRUE(restart.Create(L"SerialMon_RestartSig", true, false));
  restart.Set();
  EXPECT_TRUE(m_window.PumpUntil([&] { return m_receiver.InitsSeen() >= 2; }, 5000));
  EXPECT_TRUE(m_window.PumpUntil([&] { return WaitForSingleObject(restart.Get(), 0) != WAIT_OBJECT_0; }, 3000));
  EXPECT_FALSE(m_monitor->Finished());
}

}  // namespace
}  // namespace vexa::test
