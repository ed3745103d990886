// The "Learn" window for byte-code plug-ins, opened from the device page's
// menu and fed through the page, and the page's display of learned buttons.
#include "learn_test_support.h"
#include "vexa/device/learn_result.h"

namespace vexa::test {
namespace {

constexpr const char* kTv =
    "[TV]\r\ndwTolerance=0\r\ndwMode=0\r\n"
    "[Power@TV]\r\nFlags=32\r\nSignature=BACADA\r\n";
const std::vector<uint8_t> kPower{1, 2, 3};
const std::vector<uint8_t> kPlay{0x10, 0x20};
const std::vector<uint8_t> kPlayToggled{0x10, 0xA0};

class LearnBytesTest : public LearnTestBase {
 protected:
  void SetUp() override {
    LearnTestBase::SetUp();
    ASSERT_NO_FATAL_FAILURE(selectDevice(0, 5, kTv));
  }
  void openNewButton() {
    test::chooseFromContextMenu(*page, item(L"TV"), Page::kCmdNewButton);
    ASSERT_NE(learn(), nullptr);
  }
  void learnCode(const std::vector<uint8_t>& code) {
    for (int i = 0; i < 5; ++i) sendCode(code);
    ASSERT_TRUE(storeEnabled());
  }
  std::vector<std::wstring> boxTexts() const {
    std::vector<std::wstring> texts;
    for (const auto& b : boxes) texts.push_back(b.text);
    return texts;
  }
};

TEST_F(LearnBytesTest, OpensFromTheTreeMenuWithTheSelectedNames) {
  test::chooseFromContextMenu(*page, item(L"TV", L"Power"), Page::kCmdLearnButton);
  Learn* dialog = learn();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(textOf(dialog->Handle()), L"Learn");
  EXPECT_FALSE(dialog->TimingMode());
  EXPECT_EQ(textOf(control(Learn::kRemoteBox)), L"TV");
  EXPECT_EQ(textOf(control(Learn::kButtonBox)), L"Power");
  EXPECT_EQ(win::toUtf8(textOf(control(Learn::kInstruction))), device::kLearnInstructionBytes);
  EXPECT_EQ(GetWindowLongW(control(Learn::kLed), GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_EQ(barRange(), 5);
  EXPECT_EQ(barPosition(), 0);
  EXPECT_FALSE(IsWindowEnabled(control(IDOK)));
  EXPECT_FALSE(IsWindowEnabled(control(Learn::kLearnAnother)));
  EXPECT_TRUE(IsWindowEnabled(control(IDCANCEL)));
  EXPECT_EQ(SendMessageW(control(Learn::kRemoteBox), CB_GETCOUNT, 0, 0), 1);

  // A second request while it is open brings the same window forward.
  test::chooseFromContextMenu(*page, item(L"TV"), Page::kCmdNewButton);
  EXPECT_EQ(learn(), dialog);
  EXPECT_EQ(textOf(control(Learn::kButtonBox)), L"Power");
  click(IDCANCEL);
  EXPECT_EQ(learn(), nullptr);

  test::chooseFromContextMenu(*page, item(L"TV"), Page::kCmdNewButton);
  ASSERT_NE(learn(), nullptr);
  EXPECT_EQ(textOf(control(Learn::kRemoteBox)), L"TV");
  EXPECT_EQ(textOf(control(Learn::kButtonBox)), L"");
}

TEST_F(LearnBytesTest, IdenticalCodesFillTheBarInsteadOfBeingMatched) {
  ASSERT_NO_FATAL_FAILURE(openNewButton());
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(sendCode(kPower), 1);
    EXPECT_EQ(barPosition(), i);
    EXPECT_EQ(storeEnabled(), i == 5) << i;
  }
  sendCode(kPlay);  // a full bar takes nothing more
  EXPECT_EQ(barPosition(), 5);
  EXPECT_TRUE(notify.records.empty());
  EXPECT_TRUE(boxes.empty());
}

TEST_F(LearnBytesTest, TheFourthDifferingCodeStartsOver) {
  ASSERT_NO_FATAL_FAILURE(openNewButton());
  // A toggle-bit remote alternates between two codes for one button.
  for (const auto* code : {&kPlay, &kPlayToggled, &kPlay, &kPlayToggled, &kPlay, &kPlayToggled, &kPlay})
    sendCode(*code);
  EXPECT_EQ(barPosition(), 4);
  EXPECT_TRUE(boxes.empty());
  sendCode(kPlayToggled);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"The signals were not identical.\nPlease retry");
  EXPECT_EQ(boxes[0].title, L"Learn");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(barPosition(), 0);
  EXPECT_FALSE(storeEnabled());
  // The next code is a new first code.
  ASSERT_NO_FATAL_FAILURE(learnCode(kPlayToggled));
  setNames(L"TV", L"Play");
  click(IDOK);
  ASSERT_NE(host->CodeStore().findCode("TV", "Play"), nullptr);
  EXPECT_EQ(host->CodeStore().findCode("TV", "Play")->signature, kPlayToggled);
}

TEST_F(LearnBytesTest, OkRefusesMissingAndReservedNames) {
  ASSERT_NO_FATAL_FAILURE(openNewButton());
  ASSERT_NO_FATAL_FAILURE(learnCode(kPlay));
  const int changes = notify.settingsChanged;
  setNames(L"", L"Play");
  click(IDOK);
  setNames(L"TV", L"");
  click(IDOK);
  setNames(L"TV", L"Play#2");
  click(IDOK);
  setNames(L"T[V]", L"Play");
  click(Learn::kLearnAnother);
  const std::wstring reserved = L"Please do not use reserved characters.\n#[]@=| are reserved for internal use.";
  EXPECT_EQ(boxTexts(), (std::vector<std::wstring>{L"Please enter a name for the remote",
                                                   L"Please enter a name for this button", reserved, reserved}));
  for (const auto& b : boxes) EXPECT_EQ(b.title, L"Learn");
  ASSERT_NE(learn(), nullptr);
  EXPECT_TRUE(storeEnabled());
  EXPECT_EQ(host->CodeStore().remotes().size(), 1u);
  EXPECT_EQ(host->CodeStore().findRemote("TV")->commands.size(), 1u);
  EXPECT_EQ(notify.settingsChanged, changes);
}

TEST_F(LearnBytesTest, OkStoresTheCodeShowsItAndMatchesItAfterwards) {
  ASSERT_NO_FATAL_FAILURE(openNewButton());
  ASSERT_NO_FATAL_FAILURE(learnCode(kPlay));
  setNames(L"VCR", L"Play");
  const int changes = notify.settingsChanged;
  click(IDOK);
  EXPECT_EQ(learn(), nullptr);
  EXPECT_TRUE(boxes.empty());
  const device::DeviceCode* code = host->CodeStore().findCode("VCR", "Play");
  ASSERT_NE(code, nullptr);
  EXPECT_EQ(code->flags, 0x20u);
  EXPECT_EQ(code->signature, kPlay);
  EXPECT_EQ(host->CodeStore().findRemote("VCR")->mode, 0);
  EXPECT_EQ(treeButtons(), (std::vector<std::wstring>{L"TV/Power", L"VCR/Play"}));
  EXPECT_GT(notify.settingsChanged, changes);
  // The Learn window is gone: the page matches again.
  EXPECT_EQ(sendCode(kPlay), 1);
  ASSERT_EQ(notify.records.size(), 1u);
  EXPECT_EQ(notify.records[0].remote, "VCR");
  EXPECT_EQ(notify.records[0].command, "Play");
  // And the settings file keeps it.
  ASSERT_TRUE(host->SaveSettings());
  EXPECT_NE(readFile(settingsFile("good2")).find("[Play@VCR]"), std::string::npos);
}

TEST_F(LearnBytesTest, AnExistingButtonNameIsOverwrittenOnlyAfterYes) {
  ASSERT_NO_FATAL_FAILURE(openNewButton());
  ASSERT_NO_FATAL_FAILURE(learnCode(kPlay));
  setNames(L"TV", L"power");
  answerYes = false;
  click(IDOK);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            L"This button name already exists.\nIf you want to overwrite this button, click YES.\nOtherwise, click NO "
            L"and enter a new name.");
  EXPECT_EQ(boxes[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
  ASSERT_NE(learn(), nullptr);
  EXPECT_EQ(host->CodeStore().findCode("TV", "Power")->signature, kPower);

  answerYes = true;
  click(IDOK);
  EXPECT_EQ(learn(), nullptr);
  EXPECT_EQ(host->CodeStore().findCode("TV", "Power")->signature, kPlay);
  EXPECT_EQ(host->CodeStore().findRemote("TV")->commands.size(), 1u);
  EXPECT_EQ(treeButtons(), (std::vector<std::wstring>{L"TV/Power"}));
}

TEST_F(LearnBytesTest, AKnownCodeUnderAnotherNameIsMovedOnlyAfterYes) {
  ASSERT_NO_FATAL_FAILURE(openNewButton());
  ASSERT_NO_FATAL_FAILURE(learnCode(kPower));
  setNames(L"TV", L"Standby");
  answerYes = false;
  click(IDOK);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text,
            L"This button is already assigned to Power.\nIf you want to overwrite this button, click YES.\nOtherwise, "
            L"click NO and enter a new name.");
  EXPECT_EQ(boxes[0].title, L"Learn");
  ASSERT_NE(learn(), nullptr);
  EXPECT_EQ(host->CodeStore().findCode("TV", "Standby"), nullptr);

  answerYes = true;
  click(IDOK);
  EXPECT_EQ(learn(), nullptr);
  EXPECT_EQ(host->CodeStore().findCode("TV", "Power"), nullptr);
  ASSERT_NE(host->CodeStore().findCode("TV", "Standby"), nullptr);
  EXPECT_EQ(treeButtons(), (std::vector<std::wstring>{L"TV/Standby"}));
  EXPECT_EQ(sendCode(kPower), 1);
  EXPECT_EQ(notify.records.back().command, "Standby");
}

TEST_F(LearnBytesTest, LearnAnotherStoresAndStaysOpenForTheNextButton) {
  ASSERT_NO_FATAL_FAILURE(openNewButton());
  ASSERT_NO_FATAL_FAILURE(learnCode(kPlay));
  setNames(L"TV", L"Play");
  click(Learn::kLearnAnother);
  ASSERT_NE(learn(), nullptr);
  EXPECT_NE(host->CodeStore().findCode("TV", "Play"), nullptr);
  EXPECT_EQ(textOf(control(Learn::kRemoteBox)), L"TV");
  EXPECT_EQ(textOf(control(Learn::kButtonBox)), L"");
  EXPECT_EQ(barPosition(), 0);
  EXPECT_FALSE(storeEnabled());
  EXPECT_EQ(treeButtons(), (std::vector<std::wstring>{L"TV/Play", L"TV/Power"}));

  ASSERT_NO_FATAL_FAILURE(learnCode({7}));
  setNames(L"TV", L"Stop");
  click(IDOK);
  EXPECT_EQ(learn(), nullptr);
  EXPECT_EQ(treeButtons(), (std::vector<std::wstring>{L"TV/Play", L"TV/Power", L"TV/Stop"}));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(LearnBytesTest, CancelStoresNothingAndUnloadingClosesTheWindow) {
  ASSERT_NO_FATAL_FAILURE(openNewButton());
  ASSERT_NO_FATAL_FAILURE(learnCode(kPlay));
  setNames(L"TV", L"Play");
  click(IDCANCEL);
  EXPECT_EQ(learn(), nullptr);
  EXPECT_EQ(host->CodeStore().findCode("TV", "Play"), nullptr);

  // The window refreshes the page it was opened from: it must not outlive it.
  ASSERT_NO_FATAL_FAILURE(openNewButton());
  ASSERT_NO_FATAL_FAILURE(learnCode(kPlay));
  host->UnloadPlugin();
  EXPECT_EQ(learn(), nullptr);
}

// ---- The page's display of a selected item ------------------------------------------------

class PagePropertiesTest : public LearnTestBase {};

TEST_F(PagePropertiesTest, ShowsTheSignatureOfByteCodesAndThePropertiesOfTimingCodes) {
  // A timing code read from a file keeps its encoding and decoded value.
  ASSERT_NO_FATAL_FAILURE(selectDevice(1, 2,
               std::string(kTv) +
                   "[Radio]\r\ndwTolerance=12\r\ndwMode=1\r\n"
                   "[Mute@Radio]\r\nFlags=786458\r\nDecoded=41394\r\nGap=5000\r\n"
                   "[Stop@Radio]\r\nFlags=1376264\r\n"));
  const HWND label = page->Control(Page::kSignatureLabel);
  const HWND box = page->Control(Page::kSignatureBox);
  TreeView_SelectItem(tree(), item(L"TV", L"Power"));
  EXPECT_EQ(textOf(label), L"Signature");
  EXPECT_EQ(textOf(box), L"01 02 03 ");
  EXPECT_EQ(textOf(page->Control(Page::kRemoteBox)), L"TV");
  EXPECT_EQ(textOf(page->Control(Page::kCommandBox)), L"Power");

  TreeView_SelectItem(tree(), item(L"Radio", L"Mute"));
  EXPECT_EQ(textOf(label), L"Properties");
  EXPECT_EQ(textOf(box), L" Space encoded\r\n Decoded: 0000a1b2\r\n Gap\r\n Toggling");
  TreeView_SelectItem(tree(), item(L"Radio", L"Stop"));
  EXPECT_EQ(textOf(box), L" Gap\r\n Special repeat code\r\n Stop code");

  TreeView_SelectItem(tree(), item(L"Radio"));
  EXPECT_EQ(textOf(box), L"");
  EXPECT_EQ(SendMessageW(page->Control(Page::kToleranceSpin), UDM_GETPOS32, 0, 0), 12);
  EXPECT_TRUE(IsWindowEnabled(page->Control(Page::kToleranceEdit)));
}

}  // namespace
}  // namespace vexa::test
