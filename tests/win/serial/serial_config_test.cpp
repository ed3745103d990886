// Settings through the host's INI file with the private-profile functions.
#include <gtest/gtest.h>

#include <string>

#include "tests/win/serial/plugin_fixture.h"
#include "support/win/receiver_sim.h"
#include "support/temp_folder.h"

namespace vexa::test {
namespace {

std::string profileString(const std::filesystem::path& file, const char* section, const char* key) {
  char text[256];
  GetPrivateProfileStringA(section, key, "<missing>", text, sizeof(text), file.string().c_str());
  return text;
}

TEST(SerialConfig, WritesEverySettingAndReadsItBack) {
  CTempFolder folder;
  abi::DeviceRecord device = deviceRecord("Generic Serial IR Receiver");
  loadSettings(device, folder.path() / "in.vdp",
               "[PortSettings]\r\nBaud=1200\r\nParity=Odd\r\n[DeviceSettings]\r\nInit=AT\r\nResponse=\r\n"
               "IRCodeLength=12\r\nLearnSamples=3\r\nTolerance=7\r\n");
  EXPECT_EQ(device.codeLength, 12);
  EXPECT_EQ(device.learnSamples, 3);
  EXPECT_EQ(device.tolerance, 7);

  const auto out = folder.path() / "out.vdp";
  ASSERT_EQ(SerialPlugin::Get().onWriteConfig(nullptr, out.string().c_str()) & 1, 1);
  EXPECT_EQ(profileString(out, "PortSettings", "Baud"), "1200");
  EXPECT_EQ(profileString(out, "PortSettings", "Parity"), "Odd");
  EXPECT_EQ(profileString(out, "PortSettings", "DTR"), "Enable");
  EXPECT_EQ(profileString(out, "DeviceSettings", "Init"), "AT");
  EXPECT_EQ(profileString(out, "DeviceSettings", "Response"), "");
  EXPECT_EQ(profileString(out, "DeviceSettings", "IRCodeLength"), "12");
  EXPECT_EQ(profileString(out, "AdancedSettings", "Reset"), "5");
  EXPECT_EQ(profileString(out, "AdancedSettings", "ReInit"), "0");
}

TEST(SerialConfig, OversizedAndNegativeCodeLengthsReadAs2048) {
  CTempFolder folder;
  abi::DeviceRecord device = deviceRecord("Generic Serial IR Receiver");
  loadSettings(device, folder.path() / "a.vdp", "[DeviceSettings]\r\nIRCodeLength=5000\r\n");
  EXPECT_EQ(device.codeLength, 2048);
  loadSettings(device, folder.path() / "b.vdp", "[DeviceSettings]\r\nIRCodeLength=-4\r\n");
  EXPECT_EQ(device.codeLength, 2048);
}

TEST(SerialConfig, WritingToAnUnwritablePlaceFails) {
  CTempFolder folder;
  const auto file = folder.path() / "missing-folder" / "x.vdp";
  EXPECT_EQ(SerialPlugin::Get().onWriteConfig(nullptr, file.string().c_str()) & 1, 0);
}

// Choosing a preset model changes what the port runs with, never what the
// user set up for the generic receiver and saves.
TEST(SerialConfig, APresetModelDoesNotOverwriteTheUserSettings) {
  CTempFolder folder;
  abi::DeviceRecord device = deviceRecord("Irman");
  loadSettings(device, folder.path() / "in.vdp",
               "[PortSettings]\r\nBaud=1200\r\n[DeviceSettings]\r\nInit=XY\r\nResponse=ZZ\r\nIRCodeLength=10\r\n");
  EXPECT_EQ(device.codeLength, 6);  // the preset's, for the host's matching

  CReceiverSim receiver(Answer::kIrman);
  ASSERT_TRUE(receiver.Start());
  ASSERT_EQ(SerialPlugin::Get().onInit(&device, "COM5", ""), abi::kInitReady);  // the preset's "IR"/"OK"
  SerialPlugin::Get().onRelease();

  const auto out = folder.path() / "out.vdp";
  ASSERT_EQ(SerialPlugin::Get().onWriteConfig(&device, out.string().c_str()) & 1, 1);
  EXPECT_EQ(profileString(out, "PortSettings", "Baud"), "1200");
  EXPECT_EQ(profileString(out, "DeviceSettings", "Init"), "XY");
  EXPECT_EQ(profileString(out, "DeviceSettings", "Response"), "ZZ");
  EXPECT_EQ(profileString(out, "DeviceSettings", "IRCodeLength"), "10");

  // And the generic model runs with them again.
  abi::DeviceRecord generic = deviceRecord("Generic Serial IR Receiver");
  EXPECT_EQ(SerialPlugin::Get().onInit(&generic, "COM5", ""), abi::kInitNoResponse);  // nobody answers "XY"
  EXPECT_EQ(generic.codeLength, 10);
  EXPECT_EQ(receiver.Received(), "IRXY");
}

}  // namespace
}  // namespace vexa::test
