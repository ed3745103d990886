// The device page and the device selection page under Wine.
#include "device_test_support.h"

#include <commctrl.h>
#include "vexa/device/win/device_page.h"
#include "vexa/device/win/device_selection_page.h"
#include "vexa/winlib/tree_view.h"

namespace vexa::test {
namespace {

using device::CDevicePage;

constexpr const char* kLearned =
    "[TV]\r\ndwTolerance=0\r\ndwMode=0\r\n"
    "[Power@TV]\r\nFlags=32\r\nSignature=BACADA\r\n";

std::vector<std::wstring> topLevelItems(HWND tree) {
  std::vector<std::wstring> names;
  for (HTREEITEM item = TreeView_GetRoot(tree); item; item = TreeView_GetNextSibling(tree, item))
    names.push_back(win::treeItemText(tree, item));
  return names;
}

class DevicePageTest : public DeviceHostTest {
 protected:
  void SetUp() override {
    DeviceHostTest::SetUp();
    writeGood2Settings(0, "", kLearned);
    ASSERT_TRUE(makeHost().SelectDevice("Fake Receiver", notify.Handle()));
    page = host->Page();
    ASSERT_NE(page, nullptr);
  }
  LRESULT send(WPARAM code, LPARAM lp = 0) { return SendMessageW(page->Handle(), abi::kVexaMessage, code, lp); }
  CDevicePage* page = nullptr;
};

TEST_F(DevicePageTest, IsAChildTitledVexaDeviceConfigAnsweringTheControlCodes) {
  wchar_t title[64] = {};
  GetWindowTextW(page->Handle(), title, 64);
  EXPECT_STREQ(title, L"VEXADeviceConfig");
  EXPECT_EQ(GetParent(page->Handle()), notify.Handle());
  EXPECT_EQ(reinterpret_cast<HWND>(send(200)), page->Control(CDevicePage::kCaption1));
  EXPECT_EQ(reinterpret_cast<HWND>(send(201)), page->Control(CDevicePage::kList1));
  EXPECT_EQ(reinterpret_cast<HWND>(send(202)), page->Control(CDevicePage::kCaption2));
  EXPECT_EQ(reinterpret_cast<HWND>(send(203)), page->Control(CDevicePage::kList2));
  EXPECT_EQ(reinterpret_cast<HWND>(send(204)), page->Control(CDevicePage::kSetupButton));
  EXPECT_EQ(reinterpret_cast<HWND>(send(205)), page->Control(CDevicePage::kInitializeButton));
  EXPECT_EQ(reinterpret_cast<HWND>(send(206)), page->Control(CDevicePage::kTree));
  EXPECT_EQ(send(300), 1);
  EXPECT_EQ(send(5), 0);
  for (UINT id : {CDevicePage::kCaption1, CDevicePage::kList1, CDevicePage::kCaption2, CDevicePage::kList2,
                  CDevicePage::kSetupButton, CDevicePage::kInitializeButton})
    EXPECT_NE(GetWindowLongW(page->Control(static_cast<CDevicePage::ControlId>(id)), GWL_STYLE) & WS_VISIBLE, 0) << id;
  EXPECT_EQ(page->SelectorCaption(1), "Fake Port");
  EXPECT_EQ(SendMessageW(page->Control(CDevicePage::kList1), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(topLevelItems(page->Control(CDevicePage::kTree)), (std::vector<std::wstring>{L"TV"}));
  LRESULT low = 0, high = 0;
  SendMessageW(page->Control(CDevicePage::kToleranceSpin), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
               reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 50);
}

TEST_F(DevicePageTest, CodeBlocksAreMatchedAndUnknownOnesAnswerZero) {
  const uint8_t power[] = {1, 2, 3};
  abi::CodeBlock block{3, power};
  EXPECT_EQ(send(abi::PageCode::kCodeBlock, reinterpret_cast<LPARAM>(&block)), 1);
  ASSERT_EQ(notify.records.size(), 1u);
  EXPECT_EQ(notify.records[0].remote, "TV");
  EXPECT_EQ(notify.records[0].command, "Power");
  const uint8_t other[] = {1, 2};
  abi::CodeBlock miss{2, other};
  EXPECT_EQ(send(abi::PageCode::kCodeBlock, reinterpret_cast<LPARAM>(&miss)), 0);
  EXPECT_EQ(send(abi::PageCode::kCodeBlock, 0), 0);
  // Through the main window (code 3 is forwarded to the configuration window).
  EXPECT_EQ(SendMessageW(notify.Handle(), abi::kVexaMessage, abi::MainCode::kCodeBlock, reinterpret_cast<LPARAM>(&block)), 1);
  EXPECT_EQ(notify.records.size(), 2u);
  // Renaming in the page drops the cached match.
  ASSERT_TRUE(page->RenameItem(TreeView_GetChild(page->Control(CDevicePage::kTree), TreeView_GetRoot(page->Control(CDevicePage::kTree))),
                               L"Standby"));
  EXPECT_EQ(send(abi::PageCode::kCodeBlock, reinterpret_cast<LPARAM>(&block)), 1);
  EXPECT_EQ(notify.records.back().command, "Standby");
}

// A stand-in for the learning window: it registers itself with the host.
class CLearningSink : public device::ILearningSink {
 public:
  std::vector<std::vector<uint8_t>> codes;
  std::vector<uint32_t> samples;
  LRESULT OnLearnCode(const std::vector<uint8_t>& bytes) override {
    codes.push_back(bytes);
    return 7;
  }
  LRESULT OnLearnSample(uint32_t sample) override {
    samples.push_back(sample);
    return 9;
  }
};

// A window that only looks like the learning window: a title is no registration.
class CTitledLearn : public win::CWindow {
 public:
  bool Create() { return CWindow::Create(L"VexaTestLearn", L"Learn", WS_POPUP); }
  int received = 0;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == abi::kVexaMessage) return ++received, 7;
    return CWindow::OnMessage(msg, wp, lp);
  }
};

TEST_F(DevicePageTest, WhileALearningSinkIsRegisteredCodesGoToIt) {
  CLearningSink learn;
  host->Reception().RegisterLearningSink(&learn);
  const uint8_t power[] = {1, 2, 3};
  abi::CodeBlock block{3, power};
  EXPECT_EQ(send(abi::PageCode::kCodeBlock, reinterpret_cast<LPARAM>(&block)), 7);
  EXPECT_EQ(send(abi::PageCode::kTimingSample, abi::makeSample(true, 560)), 9);
  ASSERT_EQ(learn.codes.size(), 1u);
  EXPECT_EQ(learn.codes[0], (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(learn.samples, (std::vector<uint32_t>{abi::makeSample(true, 560)}));
  EXPECT_TRUE(notify.records.empty());
  CLearningSink other;
  host->Reception().UnregisterLearningSink(&other);  // not the registered one: no effect
  EXPECT_EQ(send(abi::PageCode::kCodeBlock, reinterpret_cast<LPARAM>(&block)), 7);
  host->Reception().UnregisterLearningSink(&learn);
  EXPECT_EQ(send(abi::PageCode::kCodeBlock, reinterpret_cast<LPARAM>(&block)), 1);
}

TEST_F(DevicePageTest, AWindowTitledLearnIsNotTheLearningWindow) {
  CTitledLearn impostor;
  ASSERT_TRUE(impostor.Create());
  const uint8_t power[] = {1, 2, 3};
  abi::CodeBlock block{3, power};
  EXPECT_EQ(send(abi::PageCode::kCodeBlock, reinterpret_cast<LPARAM>(&block)), 1);
  EXPECT_EQ(impostor.received, 0);
  EXPECT_EQ(notify.records.size(), 1u);
  impostor.Destroy();
}

TEST_F(DevicePageTest, CommandRecordsArePassedOnToTheMainWindow) {
  auto* record = new abi::CommandRecord{};
  abi::copyField(record->remote, "R");
  abi::copyField(record->command, "C");
  EXPECT_EQ(send(abi::PageCode::kCommand, reinterpret_cast<LPARAM>(record)), 1);
  ASSERT_EQ(notify.records.size(), 1u);
  EXPECT_EQ(notify.records[0].command, "C");
  EXPECT_EQ(send(abi::PageCode::kCommand, 0), 0);
}

TEST_F(DevicePageTest, TreeEditingFollowsTheStoreRules) {
  const HWND tree = page->Control(CDevicePage::kTree);
  test::chooseFromContextMenu(*page, nullptr, CDevicePage::kCmdNewRemote);
  test::chooseFromContextMenu(*page, nullptr, CDevicePage::kCmdNewRemote);
  EXPECT_EQ(topLevelItems(tree), (std::vector<std::wstring>{L"TV", L"New Remote", L"New Remote 2"}));
  EXPECT_NE(host->CodeStore().findRemote("New Remote 2"), nullptr);

  const HTREEITEM tv = TreeView_GetRoot(tree);
  EXPECT_FALSE(page->RenameItem(tv, L"T\\V"));
  EXPECT_FALSE(page->RenameItem(tv, L"new remote"));
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0], L"Please do not use reserved characters.\n\\#[]@=| are reserved for internal use.");
  EXPECT_EQ(errors[1], L"This name already exists.\nPlease choose another");

  answerYes = false;
  EXPECT_FALSE(page->DeleteItem(tv));
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], L"Delete all commands of TV ?");
  answerYes = true;
  EXPECT_TRUE(page->DeleteItem(tv));
  EXPECT_EQ(host->CodeStore().findRemote("TV"), nullptr);
  EXPECT_TRUE(page->DeleteItem(TreeView_GetRoot(tree)));  // an empty remote goes without a question
  EXPECT_EQ(questions.size(), 2u);
}

TEST_F(DevicePageTest, EditsAndTheInitializeButtonMarkTheSettingsChanged) {
  test::chooseFromContextMenu(*page, nullptr, CDevicePage::kCmdNewRemote);
  EXPECT_EQ(notify.settingsChanged, 1);
  // "Initialize" stops, releases, initialises and starts again.
  SendMessageW(page->Handle(), WM_COMMAND, MAKEWPARAM(CDevicePage::kInitializeButton, BN_CLICKED),
               reinterpret_cast<LPARAM>(page->Control(CDevicePage::kInitializeButton)));
  EXPECT_EQ(notify.settingsChanged, 2);
  EXPECT_TRUE(host->HasMonitorThread());
  EXPECT_TRUE(host->IsInitialized());
  host->StopSession();
}

TEST_F(DevicePageTest, ImportsLircdRemotesAskingBeforeReplacingOne) {
  const auto conf = appData.path() / "lircd.conf";
  writeFile(conf, "begin remote\n name amp\n bits 8\n flags SPACE_ENC\n header 2400 600\n one 1200 600\n"
                  " zero 600 600\n gap 45000\n begin codes\n  mute 0x29\n  input 0xA5\n end codes\nend remote\n"
                  "begin remote\n name tv\n bits 8\n flags RC5\n one 889 889\n zero 889 889\n gap 90000\n"
                  " begin codes\n  play 0x35\n end codes\nend remote\n");
  // The page's TV would lose its learned Power: declined, nothing changes.
  answerYes = false;
  EXPECT_FALSE(page->ImportLircdFile(conf));
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], L"The remote \"tv\" already exists.\nReplace it and all its buttons?");
  EXPECT_NE(host->CodeStore().findCode("TV", "Power"), nullptr);
  EXPECT_EQ(host->CodeStore().findRemote("amp"), nullptr);
  EXPECT_EQ(notify.settingsChanged, 0);

  answerYes = true;
  EXPECT_TRUE(page->ImportLircdFile(conf));
  EXPECT_EQ(topLevelItems(page->Control(CDevicePage::kTree)), (std::vector<std::wstring>{L"amp", L"tv"}));
  EXPECT_EQ(host->CodeStore().findCode("TV", "Power"), nullptr);
  ASSERT_NE(host->CodeStore().findCode("tv", "play"), nullptr);
  EXPECT_EQ(host->CodeStore().findRemote("amp")->mode, 1);
  EXPECT_GT(notify.settingsChanged, 0);
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().text, L"Imported 3 buttons of 2 remotes.");
}

TEST_F(DevicePageTest, ARefusedLircdFileChangesNothing) {
  const auto conf = appData.path() / "lircd.conf";
  writeFile(conf, "begin remote\n name odd\n bits 8\n flags RCMM\n gap 1000\n begin codes\n  x 1\n end codes\n"
                  "end remote\n");
  EXPECT_FALSE(page->ImportLircdFile(conf));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], L"Could not import lircd.conf:\nline 4: flag RCMM is not supported");
  EXPECT_EQ(topLevelItems(page->Control(CDevicePage::kTree)), (std::vector<std::wstring>{L"TV"}));
  EXPECT_EQ(notify.settingsChanged, 0);
}

TEST_F(DeviceHostTest, SelectionPageSwitchesBetweenKeyboardAndDevices) {
  writeGood2Settings(0, "");
  device::CDevice& host = makeHost();
  int changes = 0;
  device::CDeviceSelectionPage selection(host, {[] { return true; }, [] {}, [&] { ++changes; }});
  ASSERT_TRUE(selection.Create(notify.Handle(), RECT{0, 0, 400, 300}));
  const HWND list = selection.Control(device::CDeviceSelectionPage::kList);
  EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(1 + host.AllDeviceNames().size()));
  wchar_t first[64] = {};
  SendMessageW(list, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_STREQ(first, L"Keyboard");
  EXPECT_FALSE(IsWindowEnabled(selection.Control(device::CDeviceSelectionPage::kInfoButton)));

  selection.Choose("Fake Receiver");
  EXPECT_NE(host.Current(), nullptr);
  EXPECT_TRUE(host.HasMonitorThread());
  EXPECT_TRUE(IsWindowEnabled(selection.Control(device::CDeviceSelectionPage::kInfoButton)));
  EXPECT_GE(changes, 1);
  win::CRegKey key;
  ASSERT_TRUE(key.Open(HKEY_CURRENT_USER, registryKey));
  EXPECT_EQ(key.QueryString(L"Current Device"), L"Fake Receiver");

  selection.Choose("Keyboard");  // Apply is "enabled": the question comes first
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], L"Save settings before unloading Device?");
  EXPECT_EQ(host.Current(), nullptr);
  EXPECT_TRUE(notify.sawStatus(abi::MainCode::kDeviceReady, "Keyboard mode ready"));
  EXPECT_EQ(key.QueryString(L"Current Plugin"), L"Keyboard");
  EXPECT_EQ(key.QueryString(L"Current Device"), L"Keyboard");  // what start-up reads
  EXPECT_FALSE(IsWindowEnabled(selection.Control(device::CDeviceSelectionPage::kInfoButton)));

  selection.Choose("Vanished Device");
  EXPECT_EQ(errors, (std::vector<std::wstring>{L"Could not load plugin library"}));
  EXPECT_EQ(host.Current(), nullptr);
  selection.Destroy();
}

TEST_F(DeviceHostTest, StartUpSelectsAndStartsTheSavedDevice) {
  writeGood2Settings(0, "");
  win::CRegKey key;
  ASSERT_TRUE(key.Create(HKEY_CURRENT_USER, registryKey));
  ASSERT_TRUE(key.SetString(L"Current Device", L"fake receiver"));
  device::CDevice& host = makeHost();
  EXPECT_TRUE(device::startSavedDevice(host, notify.Handle()));
  EXPECT_TRUE(host.HasMonitorThread());
  EXPECT_TRUE(pumpUntil([&] { return host.IsRunning(); }));

  // Save all writes the current device, so that a start after it finds it again.
  ASSERT_TRUE(key.DeleteValue(L"Current Device"));
  EXPECT_TRUE(device::storeCurrentDevice(host));
  EXPECT_EQ(key.QueryString(L"Current Device"), L"Fake Receiver");

  ASSERT_TRUE(key.SetString(L"Current Device", L"Keyboard"));
  device::CDevice& other = makeHost();
  EXPECT_FALSE(device::startSavedDevice(other, notify.Handle()));
  EXPECT_EQ(other.Current(), nullptr);
  EXPECT_TRUE(notify.sawStatus(abi::MainCode::kDeviceReady, "Keyboard mode ready"));
}

}  // namespace
}  // namespace vexa::test
