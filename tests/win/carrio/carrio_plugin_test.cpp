// The carrier-line receiver's test build against a scripted line on the far
// end of a pseudo-terminal pair: its records, the samples of scripted edges,
// the silence rule, and the monitor's end.
#include <gtest/gtest.h>

#include <memory>

#include "far_end.h"
#include "support/win/code_window.h"
#include "support/win/monitor_thread.h"
#include "support/win/plugin_exports.h"

namespace vexa::test {
namespace {

constexpr uint32_t P = 0x80000000u;

PluginExports& carrio() {
  static PluginExports plugin = [] {
    PluginExports p;
    p.Load(besideTests(CARRIO_DLL_FROM_TESTS));
    return p;
  }();
  return plugin;
}

class CarrioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(carrio().onInit, nullptr) << besideTests(CARRIO_DLL_FROM_TESTS);
    m_device = deviceRecord("LIRC Basic Device");
    ASSERT_EQ(carrio().onInit(&m_device, "COM5", ""), 0);
    m_far = std::make_unique<CLineFarEnd>();
    ASSERT_TRUE(m_far->IsOpen());
  }
  void TearDown() override {
    m_monitor.reset();
    carrio().onRelease();
  }
  void StartMonitor() { m_monitor = std::make_unique<CPluginMonitorThread>(carrio().monitorDevice, m_device, m_window); }
  bool WaitForSamples(size_t count, DWORD timeoutMs = 3000) {
    return m_window.PumpUntil([&] { return m_window.Samples().size() >= count; }, timeoutMs);
  }

  abi::DeviceRecord m_device{};
  std::unique_ptr<CLineFarEnd> m_far;
  CCodeWindow m_window;
  std::unique_ptr<CPluginMonitorThread> m_monitor;
};

TEST(CarrioExports, ThreeModelsOnSerialPortsWithoutSetup) {
  ASSERT_NE(carrio().deviceInfo, nullptr);
  abi::DeviceInfoRecord info{};
  std::unique_ptr<char[]> names(carrio().deviceInfo(&info));
  EXPECT_EQ(info.size, abi::kDeviceInfoSize);
  EXPECT_EQ(info.selectorKind, abi::kSerialPorts);
  EXPECT_EQ(info.capabilities, 3u);
  const std::string expected("Generic CARRIO Line Device\0LIRC Basic Device\0Packard Bell Fast Media\0\0", 70);
  EXPECT_EQ(std::string(names.get(), expected.size()), expected);
}

TEST(CarrioExports, OnInitReportsTimingAndAPortThatIsNotThere) {
  abi::DeviceRecord device = deviceRecord("LIRC Basic Device");
  EXPECT_EQ(carrio().onInit(&device, "COM9", ""), 1);
  EXPECT_EQ(device.timingMode, 1);
  EXPECT_EQ(device.tolerance, 25);
  EXPECT_EQ(device.codeLength, 4);
  EXPECT_EQ(device.learnSamples, 5);
  EXPECT_EQ(carrio().monitorDevice(&device, nullptr), -1);  // no port open
}

TEST_F(CarrioTest, EdgesBecomePulsesAndSpacesWithTheirExactDurations) {
  StartMonitor();
  ASSERT_TRUE(m_far->Write(CLineFarEnd::Script({P | 9000, 4500, P | 560, 1690, P | 560})));
  ASSERT_TRUE(WaitForSamples(5));
  EXPECT_EQ(m_window.Samples(), (std::vector<uint32_t>{P | 9000, 4500, P | 560, 1690, P | 560}));
}

TEST_F(CarrioTest, AnEdgeAfterTwoSecondsOfSilenceGivesNoSampleAndFlipsNothingWrongly) {
  StartMonitor();
  ASSERT_TRUE(m_far->Write(CLineFarEnd::Script({P | 560, 1690, P | 560})));
  ASSERT_TRUE(WaitForSamples(3));
  m_window.PumpUntil([] { return false; }, 2200);  // the line rests high
  ASSERT_TRUE(m_far->Write(CLineFarEnd::Script({P | 560, 560, P | 560}, 1000)));
  ASSERT_TRUE(WaitForSamples(6));
  // The edge that ends the silence measures nothing; pulses stay pulses.
  EXPECT_EQ(m_window.Samples(), (std::vector<uint32_t>{P | 560, 1690, P | 560, P | 560, 560, P | 560}));
}

TEST_F(CarrioTest, TerminateEndsTheMonitorWithZeroAndRestoresThePriorityClass) {
  const DWORD before = GetPriorityClass(GetCurrentProcess());
  StartMonitor();
  ASSERT_TRUE(m_far->Write(CLineFarEnd::Script({P | 560})));
  ASSERT_TRUE(WaitForSamples(1));
  ASSERT_TRUE(m_monitor->Stop());
  EXPECT_EQ(m_monitor->Result(), 0);
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), before);
  // A second session on the same port receives again.
  m_monitor.reset();
  StartMonitor();
  ASSERT_TRUE(m_far->Write(CLineFarEnd::Script({P | 700})));
  ASSERT_TRUE(WaitForSamples(2));
  EXPECT_EQ(m_window.Samples().back(), P | 700);
}

// A second monitor on the same port would start a second timing thread: it is
// refused at once, and the session that runs goes on receiving.
TEST_F(CarrioTest, ASecondMonitorWhileOneRunsIsRefused) {
  StartMonitor();
  ASSERT_TRUE(m_far->Write(CLineFarEnd::Script({P | 560})));
  ASSERT_TRUE(WaitForSamples(1));
  CPluginMonitorThread second(carrio().monitorDevice, m_device, m_window);
  ASSERT_TRUE(m_window.PumpUntil([&] { return second.Finished(); }, 2000));
  EXPECT_EQ(second.Result(), -1);
  ASSERT_TRUE(m_far->Write(CLineFarEnd::Script({P | 700})));
  ASSERT_TRUE(WaitForSamples(2));
  EXPECT_EQ(m_window.Samples().back(), P | 700);
}

// A host that answers 0 does not want what is queued: the samples that came
// while it was busy are dropped, and later ones arrive again.
TEST_F(CarrioTest, AHostAnsweringZeroEmptiesTheRing) {
  m_window.SetSampleAnswer([](uint32_t sample) -> LRESULT {
    if (sample != (P | 9000)) return 1;
    Sleep(400);  // meanwhile the rest of the frame is queued
    return 0;
  });
  StartMonitor();
  ASSERT_TRUE(m_far->Write(CLineFarEnd::Script({P | 9000, 4500, P | 560, 560, P | 560})));
  ASSERT_TRUE(WaitForSamples(1));
  m_window.PumpUntil([] { return false; }, 700);
  ASSERT_TRUE(m_far->Write(CLineFarEnd::Script({P | 700})));
  ASSERT_TRUE(WaitForSamples(2));
  EXPECT_EQ(m_window.Samples(), (std::vector<uint32_t>{P | 9000, P | 700}));
}

}  // namespace
}  // namespace vexa::test
