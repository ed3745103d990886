// CDevice under Wine: scanning, selection, sessions with the monitor thread,
// matching of delivered codes, OnInit results, status texts and settings files.
#include <algorithm>
#include <chrono>

#include "device_test_support.h"
#include "vexa/device/win/device_page.h"
#include "vexa/device/win/status_text.h"
#include "vexa/codec/ini_file.h"
#include "vexa/shell/win/device_part.h"
#include "vexa/winlib/system_code_page.h"

namespace vexa::test {
namespace {

using device::CDevice;

std::vector<std::string> moduleNames(const CDevice& host) {
  std::vector<std::string> names;
  for (const auto& e : host.Plugins()) names.push_back(e.modulePath.filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Power@TV is the code 01 02 03 ("BAAC" would be 0x01 0x20; binary text is low nibble first).
constexpr const char* kLearnedCodes =
    "[Device Config]\r\nDeviceName=Fake Receiver\r\n"
    "[TV]\r\ndwTolerance=0\r\ndwMode=0\r\n"
    "[Power@TV]\r\nFlags=32\r\nSignature=BACADA\r\n"
    "[Mute@TV]\r\nFlags=32\r\nSignature=EA\r\n";
// MonitorDevice sends 01 02 03 (Power), 09 (nothing), 04 (Mute).
constexpr const char* kScript = "BACADA,JA,EA";

TEST_F(DeviceHostTest, ScanListsPluginsOfBothGenerationsOnly) {
  CDevice& host = makeHost();
  EXPECT_EQ(moduleNames(host), (std::vector<std::string>{"dup.dll", "good1.dll", "good2.dll", "hang.dll"}));
  for (const auto& e : host.Plugins()) {
    const std::string file = e.modulePath.filename().string();
    if (file == "good1.dll") {
      EXPECT_EQ(e.generation, device::PluginGeneration::First);
      EXPECT_EQ(e.deviceNames, (std::vector<std::string>{"Fake Classic"}));
      EXPECT_EQ(e.selectorKind, 3u);
      EXPECT_EQ(e.capabilities, 0x10u);
    }
    if (file == "good2.dll") {
      EXPECT_EQ(e.generation, device::PluginGeneration::Second);
      // The plug-in's names in its code page, the host's in UTF-8.
      EXPECT_EQ(e.deviceNames, (std::vector<std::string>{"Fake Receiver", "Shared Name", "R\xC3\xA9" "cepteur"}));
      EXPECT_EQ(e.capabilities, 0x0Fu);
    }
  }
  const auto names = host.AllDeviceNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "Bad Size Device"), 0);
  EXPECT_EQ(host.Current(), nullptr);
  // Nothing stays loaded after the scan.
  EXPECT_EQ(GetModuleHandleA("good2.dll"), nullptr);
  EXPECT_EQ(GetModuleHandleA("badsize.dll"), nullptr);
}

TEST_F(DeviceHostTest, SelectionByNameTakesTheFirstInScanOrder) {
  CDevice& host = makeHost();
  std::string first;
  for (const auto& e : host.Plugins())
    for (const auto& n : e.deviceNames)
      if (first.empty() && _stricmp(n.c_str(), "shared name") == 0) first = e.modulePath.filename().string();
  ASSERT_FALSE(first.empty());
  ASSERT_TRUE(host.SelectDevice("SHARED NAME", notify.Handle()));
  EXPECT_EQ(host.Current()->modulePath.filename().string(), first);
  EXPECT_EQ(_stricmp(host.DeviceName().c_str(), "shared name"), 0);  // the plug-in's own spelling
  EXPECT_NE(host.PageHandle(), nullptr);
  EXPECT_EQ(FindWindowExW(notify.Handle(), nullptr, nullptr, L"VEXADeviceConfig"), host.PageHandle());

  EXPECT_FALSE(host.SelectDevice("No Such Device", notify.Handle()));
  EXPECT_EQ(host.Current(), nullptr);
  EXPECT_EQ(FindWindowExW(notify.Handle(), nullptr, nullptr, L"VEXADeviceConfig"), nullptr);
}

TEST_F(DeviceHostTest, SessionDeliversMatchedCodesAsCommandRecords) {
  writeGood2Settings(0, kScript, kLearnedCodes);
  CDevice& host = makeHost();
  ASSERT_TRUE(host.SelectDevice("Fake Receiver", notify.Handle()));
  EXPECT_STREQ(fakeExport<const char* (*)()>("good2.dll", "FakeChangedDevice")(), "Fake Receiver");
  ASSERT_EQ(host.CodeStore().remotes().size(), 1u);

  ASSERT_TRUE(host.StartSession(true));
  EXPECT_TRUE(host.IsInitialized());
  EXPECT_STREQ(fakeExport<const char* (*)(int)>("good2.dll", "FakeSelector")(1), "Port A");  // first item
  EXPECT_STREQ(fakeExport<const char* (*)(int)>("good2.dll", "FakeSelector")(2), "Mode 1");
  auto sendResults = fakeExport<int (*)(int*, int)>("good2.dll", "FakeSendResults");
  ASSERT_TRUE(pumpUntil([&] { return sendResults(nullptr, 0) == 3; }));
  int results[3] = {};
  sendResults(results, 3);
  EXPECT_EQ(results[0], 1);
  EXPECT_EQ(results[1], 0);
  EXPECT_EQ(results[2], 1);
  ASSERT_EQ(notify.records.size(), 2u);
  EXPECT_EQ(notify.records[0].remote, "TV");
  EXPECT_EQ(notify.records[0].command, "Power");
  EXPECT_EQ(notify.records[0].repeat, 0);
  EXPECT_EQ(notify.records[1].command, "Mute");
  EXPECT_TRUE(notify.sawCode(abi::MainCode::kInitialising));
  EXPECT_TRUE(pumpUntil([&] { return notify.sawCode(abi::MainCode::kDeviceReady); }));
  EXPECT_TRUE(host.IsRunning());

  host.StopSession();
  EXPECT_FALSE(host.HasMonitorThread());
  EXPECT_EQ(host.LastMonitorExitCode(), 0u);
  EXPECT_TRUE(notify.sawStatus(abi::MainCode::kDeviceNotInitialised, "Device deactivated"));
  EXPECT_FALSE(host.IsRunning());
  host.ReleaseDevice();
  EXPECT_EQ(fakeExport<int (*)()>("good2.dll", "FakeReleased")(), 1);
}

TEST_F(DeviceHostTest, FailedInitialisationShowsItsMessageAndStartsNothing) {
  const std::pair<int, std::wstring> cases[] = {
      {1, L"Initialization failed.\nDevice is in use by another application."},
      {2, L"Initialization failed.\nNo response from device."},
      {3, L"Initialization failed.\nBad response from device."},
      {7, L""},
  };
  for (const auto& [result, message] : cases) {
    SCOPED_TRACE(result);
    writeGood2Settings(result, kScript);
    errors.clear();
    notify.statuses.clear();
    CDevice& host = makeHost();
    ASSERT_TRUE(host.SelectDevice("Fake Receiver", notify.Handle()));
    EXPECT_FALSE(host.StartSession(true));
    EXPECT_FALSE(host.HasMonitorThread());
    EXPECT_FALSE(host.IsInitialized());
    EXPECT_EQ(host.LastInitResult(), result);
    EXPECT_EQ(errors, message.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{message});
    EXPECT_TRUE(notify.sawStatus(abi::MainCode::kDeviceNotInitialised, "Device not properly initialized. Check settings."));
    host.UnloadPlugin();
  }
}

TEST_F(DeviceHostTest, MonitorThatIgnoresTheTerminateEventIsEnded) {
  CDevice& host = makeHost();
  ASSERT_TRUE(host.SelectDevice("Hanging Receiver", notify.Handle()));
  ASSERT_TRUE(host.StartSession(true));
  ASSERT_TRUE(pumpUntil([&] { return host.IsRunning(); }));
  const auto start = std::chrono::steady_clock::now();
  host.StopSession();
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(host.HasMonitorThread());
  EXPECT_EQ(host.LastMonitorExitCode(), 0xFFFFFFFFu);
  EXPECT_FALSE(host.IsRunning());
  EXPECT_LT(took, std::chrono::seconds(15));  // 3 s plus generous slack for a loaded machine
  EXPECT_GE(took, std::chrono::milliseconds(2500));
  EXPECT_TRUE(notify.sawStatus(abi::MainCode::kDeviceNotInitialised, "Device deactivated"));
  host.UnloadPlugin();  // releases and frees the library with the dead thread gone
}

TEST_F(DeviceHostTest, StatusTextsAreFreedByTheHostOnlyWhenTheWindowDidNotTakeThem) {
  CDevice& host = makeHost();
  const auto freed = device::StatusTextCounters::freedByHost.load();
  host.SendStatus(abi::MainCode::kTemporaryStatus, "taken");
  EXPECT_EQ(device::StatusTextCounters::freedByHost.load(), freed);
  EXPECT_TRUE(notify.sawStatus(100, "taken"));
  notify.takeTexts = false;
  host.SendStatus(abi::MainCode::kTemporaryStatus, "left");
  EXPECT_EQ(device::StatusTextCounters::freedByHost.load(), freed + 1);
  host.SendStatus(abi::MainCode::kDeviceReady);  // no text: nothing to free
  EXPECT_EQ(device::StatusTextCounters::freedByHost.load(), freed + 1);
  EXPECT_FALSE(notify.statuses.back().hadText);
}

TEST_F(DeviceHostTest, SettingsRoundTripThroughPluginAndHostSections) {
  writeGood2Settings(0, "EA", kLearnedCodes);
  CDevice& host = makeHost();
  ASSERT_TRUE(host.SelectDevice("Fake Receiver", notify.Handle()));
  auto* page = host.Page();
  ASSERT_NE(page, nullptr);
  SendMessageW(page->Control(device::CDevicePage::kList1), CB_SETCURSEL, 1, 0);
  SendMessageW(page->Control(device::CDevicePage::kList2), CB_SETCURSEL, 1, 0);
  device::DeviceCode code;
  code.flags = device::CodeFlag::kTiming;
  code.raw = {0x80000100u, 0x200u};
  code.gap = 0x9000;
  host.CodeStore().setCode("Stereo", "Play", code);
  host.CodeStore().deleteRemote("tv");
  ASSERT_TRUE(host.SaveSettings());

  const auto file = settingsFile("good2");
  EXPECT_FALSE(std::filesystem::exists(file.string() + ".new"));
  const CIniFile saved = CIniFile::load(file, win::CSystemCodePage());
  EXPECT_EQ(saved.getString("Fake", "Codes"), "EA");  // the plug-in's section
  EXPECT_EQ(saved.getString("Device Config", "DeviceName"), "Fake Receiver");
  EXPECT_EQ(saved.getString("Device Config", "Fake Port"), "Port B");
  EXPECT_EQ(saved.getString("Device Config", "Selector2"), "Mode 2");
  EXPECT_FALSE(saved.hasSection("Power@TV"));  // deleted remotes disappear
  EXPECT_EQ(saved.getInt("Play@Stereo", "RawLen", 0), 8);

  host.UnloadPlugin();
  ASSERT_TRUE(host.SelectDevice("Fake Receiver", notify.Handle()));
  EXPECT_EQ(host.CodeStore().findCode("Stereo", "Play")->raw, code.raw);
  EXPECT_EQ(host.CodeStore().findRemote("TV"), nullptr);
  EXPECT_EQ(host.Page()->SelectorText(1), "Port B");
  EXPECT_EQ(host.Page()->SelectorText(2), "Mode 2");
}

TEST_F(DeviceHostTest, DevicePartNamesItsPlugInFirstAndSelectsItWhenLoaded) {
  writeGood2Settings(0, "EA", kLearnedCodes);
  CDevice& host = makeHost();
  ASSERT_TRUE(host.SelectDevice("Fake Receiver", notify.Handle()));
  const auto part = appData.path() / "preset.vdp";
  ASSERT_TRUE(shell::saveDevicePart(host, part));
  const std::string text = readFile(part);
  EXPECT_EQ(text.rfind("[PlugIn Preset]", 0), 0u) << text;  // before everything the plug-in wrote
  const CIniFile saved = CIniFile::load(part, win::CSystemCodePage());
  EXPECT_EQ(saved.getString("PlugIn Preset", "PluginName"), "Fake Receiver");
  EXPECT_EQ(saved.getString("Fake", "Codes"), "EA");
  EXPECT_TRUE(saved.hasSection("Power@TV"));

  // Loading it elsewhere selects that plug-in, reads its codes from the part and starts it.
  host.UnloadPlugin();
  CDevice& other = makeHost();
  ASSERT_TRUE(shell::loadDevicePart(other, part, notify.Handle()));
  ASSERT_NE(other.Current(), nullptr);
  EXPECT_EQ(other.DeviceName(), "Fake Receiver");
  EXPECT_NE(other.CodeStore().findCode("TV", "Power"), nullptr);
  EXPECT_TRUE(other.HasMonitorThread());

  writeFile(appData.path() / "nameless.vdp", "[Fake]\r\nCodes=EA\r\n");
  EXPECT_FALSE(shell::loadDevicePart(other, appData.path() / "nameless.vdp", notify.Handle()));
}

TEST_F(DeviceHostTest, AFailedSaveLeavesThePreviousSettings) {
  writeGood2Settings(0, "EA", kLearnedCodes);
  const std::string before = readFile(settingsFile("good2"));
  CDevice& host = makeHost();
  ASSERT_TRUE(host.SelectDevice("Fake Receiver", notify.Handle()));
  host.CodeStore().deleteRemote("TV");
  // The replacement cannot be written: a folder is in the way of the temporary file.
  std::filesystem::create_directories(settingsFile("good2").string() + ".tmp");
  EXPECT_FALSE(host.SaveSettings());
  EXPECT_EQ(readFile(settingsFile("good2")), before);
}

TEST_F(DeviceHostTest, SettingsMoveFromTheProgramFolderToThePerUserFolder) {
  const auto legacy = win::programFolder() / "good2.vdp";
  writeFile(legacy, std::string("[Fake]\r\nInitResult=0\r\n") + kLearnedCodes);
  CDevice& host = makeHost();
  ASSERT_TRUE(host.SelectDevice("Fake Receiver", notify.Handle()));
  EXPECT_FALSE(std::filesystem::exists(legacy));
  EXPECT_TRUE(std::filesystem::exists(settingsFile("good2")));
  EXPECT_NE(host.CodeStore().findCode("TV", "Power"), nullptr);
  EXPECT_EQ(host.Current()->configFile, settingsFile("good2"));
}

TEST_F(DeviceHostTest, FirstGenerationPluginRunsWithItsOwnPageAndRegistrySettings) {
  CDevice& host = makeHost();
  ASSERT_TRUE(host.SelectDevice("fake classic", notify.Handle()));
  EXPECT_EQ(host.Page(), nullptr);  // the plug-in's own dialog
  ASSERT_NE(host.PageHandle(), nullptr);
  EXPECT_EQ(GetParent(host.PageHandle()), notify.Handle());
  EXPECT_STREQ(fakeExport<const char* (*)()>("good1.dll", "FakeStored")(), "");

  ASSERT_TRUE(host.StartSession(true));
  EXPECT_TRUE(notify.sawCode(abi::MainCode::kInitialising));
  EXPECT_TRUE(notify.sawCode(abi::MainCode::kDeviceReady));
  EXPECT_TRUE(host.IsRunning());
  EXPECT_EQ(fakeExport<LRESULT (*)(const char*, const char*)>("good1.dll", "FakeSendCommand")("Classic Remote", "Play"),
            1);
  ASSERT_EQ(notify.records.size(), 1u);
  EXPECT_EQ(notify.records[0].command, "Play");

  EXPECT_EQ(host.FirstRemote(), "Classic Remote");
  EXPECT_EQ(host.NextRemote(), "");
  EXPECT_EQ(host.FirstCommand("Classic Remote"), "Play");
  EXPECT_EQ(host.NextCommand(), "Pause");  // the plug-in's cursor came back whole
  EXPECT_EQ(host.NextCommand(), "");

  ASSERT_TRUE(host.SaveSettings());
  win::CRegKey key;
  ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, registryKey + L"\\good1.dll"));
  EXPECT_EQ(key.QueryString(L"Stored"), L"saved");

  host.StopSession();
  EXPECT_TRUE(notify.sawStatus(abi::MainCode::kTemporaryStatus, "Terminating plugin session..."));
  EXPECT_TRUE(notify.sawStatus(abi::MainCode::kDeviceNotInitialised, "Device deactivated"));
  EXPECT_EQ(fakeExport<int (*)()>("good1.dll", "FakeEnded")(), 1);
  host.ReleaseDevice();
  EXPECT_EQ(fakeExport<int (*)()>("good1.dll", "FakeReleased")(), 1);

  host.UnloadPlugin();
  ASSERT_TRUE(host.SelectDevice("Fake Classic", notify.Handle()));  // ReadConfig sees what WriteConfig stored
  EXPECT_STREQ(fakeExport<const char* (*)()>("good1.dll", "FakeStored")(), "saved");
}

TEST_F(DeviceHostTest, EnumeratesTheCodeStoreForSecondGenerationPlugins) {
  writeGood2Settings(0, "", kLearnedCodes);
  CDevice& host = makeHost();
  ASSERT_TRUE(host.SelectDevice("Fake Receiver", notify.Handle()));
  EXPECT_EQ(host.FirstRemote(), "TV");
  EXPECT_EQ(host.NextRemote(), "");
  EXPECT_EQ(host.FirstCommand("tv"), "Mute");
  EXPECT_EQ(host.NextCommand(), "Power");
  EXPECT_EQ(host.NextCommand(), "");
}

}  // namespace
}  // namespace vexa::test
