// Names that the ANSI code page holds but ASCII does not, across the plug-in
// boundary and the settings file: plug-ins and files speak the code page
// (Windows-1252 here), the host and the main window UTF-8.
#include "learn_test_support.h"
#include "main_window_host_test.h"
#include "vexa/device/win/device_selection_page.h"
#include "vexa/device/win/status_text.h"

namespace vexa::test {
namespace {

const std::string kRemote = "T\xC3\xA9l\xC3\xA9";  // "Télé"
const std::string kRemoteAnsi = "T\xE9l\xE9";
const std::string kReceiver = "R\xC3\xA9" "cepteur";  // good2's third device name
const std::vector<uint8_t> kMarche{0x21, 0x43};

class NonAsciiLearnTest : public LearnTestBase {};

TEST_F(NonAsciiLearnTest, ALearnedRemoteIsSavedInTheCodePageAndMatchedAfterReloading) {
  ASSERT_NO_FATAL_FAILURE(selectDevice(0, 3, ""));
  ASSERT_NE(Learn::Open(*host, notify.Handle(), "", "", [this] { page->RefreshTree(); }), nullptr);
  setNames(L"T\u00E9l\u00E9", L"Marche");
  for (int i = 0; i < 3; ++i) sendCode(kMarche);
  ASSERT_TRUE(storeEnabled());
  click(IDOK);
  ASSERT_NE(host->CodeStore().findCode(kRemote, "Marche"), nullptr);

  ASSERT_TRUE(host->SaveSettings());
  const std::string saved = readFile(settingsFile("good2"));
  EXPECT_NE(saved.find("[" + kRemoteAnsi + "]"), std::string::npos) << saved;
  EXPECT_NE(saved.find("[Marche@" + kRemoteAnsi + "]"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("\xC3"), std::string::npos) << saved;

  // The next start: a new host reads the file.
  ASSERT_TRUE(makeHost().SelectDevice("Fake Receiver", notify.Handle()));
  page = host->Page();
  ASSERT_NE(page, nullptr);
  EXPECT_NE(item(L"T\u00E9l\u00E9", L"Marche"), nullptr);
  // The matched code goes out as the plug-ins' record, in their code page.
  EXPECT_EQ(sendCode(kMarche), 1);
  ASSERT_EQ(notify.records.size(), 1u);
  EXPECT_EQ(notify.records[0].remote, kRemoteAnsi);
  EXPECT_EQ(notify.records[0].command, "Marche");
}

class NonAsciiDeviceTest : public DeviceHostTest {};

TEST_F(NonAsciiDeviceTest, ADeviceSelectedAndSavedIsSelectedAgainAtTheNextStart) {
  writeGood2Settings(0, "");
  ASSERT_TRUE(makeHost().SelectDevice(kReceiver, notify.Handle()));
  ASSERT_TRUE(device::storeCurrentDevice(*host));  // what saving all settings does

  device::CDevice& next = makeHost();
  EXPECT_TRUE(device::startSavedDevice(next, notify.Handle()));
  EXPECT_EQ(next.DeviceName(), kReceiver);
  next.StopSession();
}

class NonAsciiMainWindowTest : public MainWindowHostTest {};

TEST_F(NonAsciiMainWindowTest, APluginsNamesAndStatusTextsReachTheMainWindowIntact) {
  writeGood2Settings(0, "BACADA",
                     "[" + kRemoteAnsi + "]\r\ndwTolerance=0\r\ndwMode=0\r\n[Marche@" + kRemoteAnsi +
                         "]\r\nFlags=32\r\nSignature=BACADA\r\n");
  device::CDevice& host = makeHost();
  window.AttachDevice(&host);
  std::vector<shell::CommandStart> started;
  window.SetCommandStarter([&](const shell::CommandStart& s) { started.push_back(s); });

  ASSERT_TRUE(host.SelectDevice(kReceiver, window.Handle()));
  EXPECT_STREQ(fakeExport<const char* (*)()>("good2.dll", "FakeChangedDevice")(), "R\xE9" "cepteur");
  EXPECT_EQ(host.DeviceName(), kReceiver);
  ASSERT_TRUE(host.StartSession(true));
  ASSERT_TRUE(pumpUntil([&] { return started.size() == 1; }));
  EXPECT_EQ(started[0].remote, kRemote);
  EXPECT_EQ(started[0].command, "Marche");
  EXPECT_EQ(window.StatusText(), L"T\u00E9l\u00E9: Marche");

  // Status texts by their origin: a plug-in's in its code page, the host's own from UTF-8.
  SendMessageW(window.Handle(), abi::kVexaMessage, abi::MainCode::kTemporaryStatus,
               reinterpret_cast<LPARAM>(device::newStatusText(kRemoteAnsi + " pr\xEAte")));
  EXPECT_EQ(window.StatusText(), L"T\u00E9l\u00E9 pr\u00EAte");
  host.SendStatus(abi::MainCode::kTemporaryStatus, kReceiver + " pr\xC3\xAAt");
  EXPECT_EQ(window.StatusText(), L"R\u00E9cepteur pr\u00EAt");

  ASSERT_TRUE(host.SaveSettings());
  const std::string saved = readFile(settingsFile("good2"));
  EXPECT_NE(saved.find("DeviceName=R\xE9" "cepteur\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("[Marche@" + kRemoteAnsi + "]"), std::string::npos) << saved;
  host.StopSession();
}

}  // namespace
}  // namespace vexa::test
