// Initialisation against a receiver on the far end of a pseudo-terminal pair.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/win/serial/plugin_fixture.h"
#include "support/win/receiver_sim.h"
#include "support/temp_folder.h"

namespace vexa::test {
namespace {

class SerialInit : public ::testing::Test {
 protected:
  void TearDown() override { SerialPlugin::Get().onRelease(); }
  int Init(Answer answer, const char* model, const std::string& settings = {}) {
    m_device = deviceRecord(model);
    loadSettings(m_device, m_folder.path() / "serial.vdp", settings);
    m_receiver = std::make_unique<CReceiverSim>(answer);
    EXPECT_TRUE(m_receiver->Start());
    return SerialPlugin::Get().onInit(&m_device, "COM5", "");
  }
  CTempFolder m_folder;
  abi::DeviceRecord m_device{};
  std::unique_ptr<CReceiverSim> m_receiver;
};

TEST(SerialExports, DeviceInfoListsTheModelsForSerialPorts) {
  SerialPlugin& plugin = SerialPlugin::Get();
  ASSERT_NE(plugin.deviceInfo, nullptr) << serialDllPath();
  abi::DeviceInfoRecord info{};
  char* names = plugin.deviceInfo(&info);
  ASSERT_EQ(info.deviceNames, names);
  EXPECT_EQ(info.size, 16u);
  EXPECT_EQ(info.selectorKind, 1u);
  EXPECT_EQ(info.capabilities, 11u);
  std::vector<std::string> models;
  for (const char* p = names; *p; p += std::strlen(p) + 1) models.emplace_back(p);
  EXPECT_EQ(models, (std::vector<std::string>{"URCR 1.2", "Silitek SM-1000", "RealMagic Hollywood+",
                                              "Generic Serial IR Receiver", "Redlink 105 TV", "miroMEDIA remote"}));
  delete[] names;  // the host's side of the ownership contract
  EXPECT_NE(plugin.onFillSelector, nullptr);
  EXPECT_NE(plugin.onChangeDevice, nullptr);
  for (const char* name : {abi::kOnAbout, abi::kOnSetup})
    EXPECT_NE(plugin.module.GetProc<void*>(name), nullptr) << name;
}

TEST_F(SerialInit, IrmanAndIrboxAnswerOkAndAreReady) {
  EXPECT_EQ(Init(Answer::kIrman, "Irman"), abi::kInitReady);
  EXPECT_EQ(m_receiver->Received(), "IR");
  EXPECT_EQ(m_device.codeLength, 6);
  EXPECT_EQ(m_device.learnSamples, 2);
  EXPECT_EQ(m_device.timingMode, 0);
  SerialPlugin::Get().onRelease();
  m_receiver.reset();
  EXPECT_EQ(Init(Answer::kIrman, "IRBOX"), abi::kInitReady);
}

TEST_F(SerialInit, ReplyWithNulBytesBetweenStillMatches) {
  EXPECT_EQ(Init(Answer::kNulSeparated, "Irman"), abi::kInitReady);
}

TEST_F(SerialInit, MissingPortSilenceAndWrongAnswerHaveTheirResults) {
  m_device = deviceRecord("Irman");
  loadSettings(m_device, m_folder.path() / "serial.vdp");
  EXPECT_EQ(SerialPlugin::Get().onInit(&m_device, "COM42", ""), abi::kInitInUse);
  EXPECT_EQ(Init(Answer::kSilent, "Irman"), abi::kInitNoResponse);
  m_receiver.reset();
  EXPECT_EQ(Init(Answer::kWrong, "Irman"), abi::kInitBadResponse);
  // A failed check leaves the port closed: monitoring refuses at once.
  CCodeWindow window;
  EXPECT_EQ(SerialPlugin::Get().monitorDevice(&m_device, window.Handle()), -1);
}

TEST_F(SerialInit, AReceiverThatNeverStopsSendingDoesNotHangInitialisation) {
  const ULONGLONG start = GetTickCount64();
  EXPECT_EQ(Init(Answer::kEndless, "Irman"), abi::kInitBadResponse);
  EXPECT_LT(GetTickCount64() - start, 10000u);  // unbounded, it would be 25 s and more
}

TEST_F(SerialInit, EmptyResponseSendsTheInitStringAndReadsNothing) {
  // The generic model with an init string but no response: a wrong answer
  // would fail the check if the plug-in read one.
  EXPECT_EQ(Init(Answer::kWrong, "Generic Serial IR Receiver", "[DeviceSettings]\r\nInit=IR\r\nResponse=\r\n"),
            abi::kInitReady);
  CCodeWindow idle;
  EXPECT_TRUE(idle.PumpUntil([&] { return m_receiver->Received() == "IR"; }, 1000)) << m_receiver->Received();
}

TEST_F(SerialInit, ModelsWithoutInitStringSendNothing) {
  EXPECT_EQ(Init(Answer::kIrman, "Silitek SM-1000"), abi::kInitReady);
  Sleep(100);
  EXPECT_EQ(m_receiver->Received(), "");
  EXPECT_EQ(m_device.codeLength, 3);
}

}  // namespace
}  // namespace vexa::test
