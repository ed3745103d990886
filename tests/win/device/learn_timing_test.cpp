// Timing-mode learning in the real "Learn" window and matching of timing
// samples by the device page, with the host's clock stepped by the test.
#include "learn_test_support.h"
#include "vexa/device/learn_result.h"

namespace vexa::test {
namespace {

using abi::makeSample;

uint32_t P(uint32_t us) { return makeSample(true, us); }
uint32_t S(uint32_t us) { return makeSample(false, us); }

// One frame on press, nothing while held, another code on release.
const Signal kStopPress{P(3000), S(1000), P(500), S(500), P(500), S(1500), P(500)};
const Signal kStopRelease{P(3000), S(3000), P(500)};
const IrButton kVolume{IrProtocol::Nec, 1, 0x15};

class LearnTimingTest : public LearnTestBase {
 protected:
  void SetUp() override {
    LearnTestBase::SetUp();
    fakeClock = true;
    ASSERT_NO_FATAL_FAILURE(selectDevice(1, 2, ""));
    ASSERT_TRUE(page->RenameItem(page->NewRemote(), L"TV"));
  }
  void openNewButton(const std::wstring& remote) {
    test::chooseFromContextMenu(*page, item(remote), Page::kCmdNewButton);
    ASSERT_NE(learn(), nullptr);
  }
  // Signals a test spells out, samples 600 us apart.
  void send(const Signal& signal) {
    for (uint32_t v : signal) {
      now100ns += 6000;
      runTimers(now100ns);
      sendSample(v);
    }
  }
  void wait(uint64_t ms) {
    now100ns += ms * 10000;
    runTimers(now100ns);
  }
  // Learns the NEC button as "TV/Volume Up" and closes the window with OK.
  void learnVolume(CSignalGenerator& gen) {
    openNewButton(L"TV");
    setNames(L"TV", L"Volume Up");
    press(gen, kVolume, 45);
    press(gen, kVolume, 45);
    for (int i = 0; i < 8 && !storeEnabled(); ++i) press(gen, kVolume, 2);
    ASSERT_TRUE(storeEnabled());
    click(IDOK);
    ASSERT_EQ(learn(), nullptr);
  }
  size_t recordsFor(const std::string& remote, const std::string& command) const {
    size_t n = 0;
    for (const auto& r : notify.records) n += r.remote == remote && r.command == command && r.repeat == 0;
    return n;
  }
};

TEST_F(LearnTimingTest, AHeldNecButtonIsCapturedTwiceVerifiedAndStored) {
  ASSERT_NO_FATAL_FAILURE(openNewButton(L"TV"));
  Learn* dialog = learn();
  EXPECT_TRUE(dialog->TimingMode());
  EXPECT_EQ(win::toUtf8(textOf(control(Learn::kInstruction))), device::kLearnInstructionTiming);
  EXPECT_NE(GetWindowLongW(control(Learn::kLed), GWL_STYLE) & WS_VISIBLE, 0);
  EXPECT_EQ(dialog->Led(), LedState::Green);
  EXPECT_EQ(barRange(), 2);

  CSignalGenerator gen(7, 10);
  // First capture, sample by sample: busy while it fills, red once it is split.
  const uint64_t start = now100ns;
  std::vector<LedState> leds;
  const auto samples = gen.press(kVolume, 45, 300000);
  for (const auto& s : samples) {
    runTimers(start + s.endUs * 10);
    now100ns = start + s.endUs * 10;
    sendSample(s.sample);
    if (leds.empty() || leds.back() != dialog->Led()) leds.push_back(dialog->Led());
  }
  EXPECT_EQ(leds, (std::vector<LedState>{LedState::Busy, LedState::Red}));
  EXPECT_EQ(barRange(), 6);
  EXPECT_EQ(host->Record()->learnSamples, 6);
  EXPECT_EQ(barPosition(), 1);
  EXPECT_TRUE(boxes.empty());

  // Pressed again 0.3 s later: still red, and the press is ignored.
  now100ns = start + gen.nowUs() * 10;
  runTimers(now100ns);
  feed(gen.press(kVolume, 45), start);
  EXPECT_EQ(dialog->Led(), LedState::Red);
  EXPECT_EQ(barPosition(), 1);
  now100ns = start + gen.nowUs() * 10;
  runTimers(now100ns);  // half a second of silence
  EXPECT_EQ(dialog->Led(), LedState::Green);

  press(gen, kVolume, 45);  // the second capture, compared with the first
  EXPECT_EQ(barPosition(), 2);
  EXPECT_FALSE(storeEnabled());
  for (int i = 0; i < 8 && !storeEnabled(); ++i) press(gen, kVolume, 2);
  EXPECT_EQ(barPosition(), 6);
  ASSERT_TRUE(storeEnabled());
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(notify.records.empty());  // nothing was matched meanwhile

  setNames(L"TV", L"Volume Up");
  click(IDOK);
  EXPECT_EQ(learn(), nullptr);
  const device::DeviceCode* code = host->CodeStore().findCode("TV", "Volume Up");
  ASSERT_NE(code, nullptr);
  EXPECT_EQ(code->flags, TimingFlag::kTimingCode | TimingFlag::kGapKnown | TimingFlag::kRepeatCode);
  EXPECT_EQ(code->raw.size(), 67u);  // leader, 32 bits and the closing pulse
  EXPECT_FALSE(code->repeat.empty());
  EXPECT_FALSE(abi::isPulse(code->gap));
  EXPECT_GT(abi::durationOf(code->gap), 20000u);
  EXPECT_EQ(code->decoded, 0u);
  EXPECT_EQ(code->t, 0u);

  // The page shows what was learned.
  TreeView_SelectItem(tree(), item(L"TV", L"Volume Up"));
  EXPECT_EQ(textOf(page->Control(Page::kSignatureLabel)), L"Properties");
  EXPECT_EQ(textOf(page->Control(Page::kSignatureBox)), L" Gap\r\n Special repeat code");
}

TEST_F(LearnTimingTest, ADifferentSecondButtonIsRefusedAndLearningStartsOver) {
  ASSERT_NO_FATAL_FAILURE(openNewButton(L"TV"));
  CSignalGenerator gen(11, 10);
  press(gen, kVolume, 45);
  EXPECT_EQ(barPosition(), 1);
  // Another protocol: two NEC buttons differ only in their bits, which learning
  // takes for a toggling button.
  press(gen, {IrProtocol::Sirc, 1, 1}, 12);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, L"The signals were not identical. Please retry.");
  EXPECT_EQ(boxes[0].title, L"Learn");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(barPosition(), 0);
  EXPECT_EQ(learn()->Led(), LedState::Green);
  press(gen, kVolume, 45);
  EXPECT_EQ(barPosition(), 1);
}

TEST_F(LearnTimingTest, LearnedSamplesAreMatchedByThePage) {
  CSignalGenerator gen(3, 10);
  ASSERT_NO_FATAL_FAILURE(learnVolume(gen));
  const device::DeviceCode code = *host->CodeStore().findCode("TV", "Volume Up");
  notify.records.clear();

  // A held button: the frame, then the repeat code of each further frame.
  now100ns += 10000000;
  press(gen, kVolume, 3);
  EXPECT_EQ(recordsFor("TV", "Volume Up"), 3u);
  EXPECT_EQ(notify.records.size(), 3u);
  press(gen, {IrProtocol::Nec, 1, 0x16}, 3);  // not learned
  EXPECT_EQ(notify.records.size(), 3u);

  // A sample equal to the stored gap is a frame boundary and nothing else.
  notify.records.clear();
  now100ns += 10000000;
  const Signal half(code.raw.begin(), code.raw.begin() + 10);
  send(half);
  EXPECT_EQ(sendSample(code.gap), 1);
  send(code.raw);
  EXPECT_EQ(notify.records.size(), 1u);
  EXPECT_EQ(sendSample(code.gap), 1);
  EXPECT_EQ(notify.records.size(), 1u);

  // Without a boundary the broken frame spoils the next one...
  send(half);
  send(code.raw);
  EXPECT_EQ(notify.records.size(), 1u);
  // ...unless more than 0.3 s passed between them.
  sendSample(code.gap);
  send(half);
  wait(310);
  send(code.raw);
  EXPECT_EQ(notify.records.size(), 2u);
  // A sample of 499000 us or more matches nothing and is not kept.
  sendSample(code.gap);
  send(Signal(code.raw.begin(), code.raw.end() - 1));
  EXPECT_EQ(sendSample(S(499000)), 1);
  send(Signal(code.raw.end() - 1, code.raw.end()));
  EXPECT_EQ(notify.records.size(), 3u);
}

TEST_F(LearnTimingTest, AStopCodeRemoteIsLearnedAndRepeatedByThePageUntilTheNextSample) {
  ASSERT_NO_FATAL_FAILURE(openNewButton(L"TV"));
  setNames(L"Hifi", L"Power");
  Learn* dialog = learn();
  send(kStopPress);
  EXPECT_EQ(dialog->Led(), LedState::Busy);
  wait(900);  // held silently: the capture timer ends the capture
  EXPECT_EQ(barPosition(), 1);
  EXPECT_EQ(dialog->Led(), LedState::Red);
  send(kStopRelease);
  wait(900);  // the stop-code timer ends the stop code
  EXPECT_EQ(barPosition(), 2);
  EXPECT_EQ(dialog->Led(), LedState::Green);
  for (int round = 0; round < 4 && !storeEnabled(); ++round) {
    send(kStopPress);
    wait(900);
    send(kStopRelease);
    wait(900);
  }
  ASSERT_TRUE(storeEnabled());
  EXPECT_TRUE(boxes.empty());
  click(IDOK);
  ASSERT_EQ(learn(), nullptr);
  const device::DeviceCode* code = host->CodeStore().findCode("Hifi", "Power");
  ASSERT_NE(code, nullptr);
  EXPECT_EQ(code->flags, TimingFlag::kTimingCode | TimingFlag::kStopCode);
  EXPECT_EQ(code->raw, kStopPress);
  EXPECT_EQ(code->stop, kStopRelease);
  EXPECT_EQ(host->CodeStore().findRemote("Hifi")->mode, 1);

  // The page repeats the press every 80 ms while the remote is silent.
  wait(1000);
  send(kStopPress);
  EXPECT_EQ(recordsFor("Hifi", "Power"), 1u);
  EXPECT_TRUE(pumpUntil([&] { return recordsFor("Hifi", "Power") >= 4; }, 2000));
  // The release stops it and sends nothing itself.
  send(Signal(kStopRelease.begin(), kStopRelease.begin() + 1));
  const size_t held = recordsFor("Hifi", "Power");
  EXPECT_FALSE(pumpUntil([&] { return recordsFor("Hifi", "Power") > held; }, 400));
  send(Signal(kStopRelease.begin() + 1, kStopRelease.end()));
  EXPECT_FALSE(pumpUntil([&] { return recordsFor("Hifi", "Power") > held; }, 300));
  EXPECT_EQ(notify.records.size(), held);
}

// The repeat of a held button is the host's: it must end with the plug-in, not
// outlive the page it used to belong to.
TEST_F(LearnTimingTest, AHeldButtonStopsRepeatingWhenThePlugInIsUnloaded) {
  device::DeviceCode code;
  code.flags = TimingFlag::kTimingCode | TimingFlag::kStopCode;
  code.raw = kStopPress;
  code.stop = kStopRelease;
  host->CodeStore().ensureRemote("Hifi", 1);
  host->CodeStore().setCode("Hifi", "Power", code);
  wait(1000);
  send(kStopPress);
  ASSERT_TRUE(pumpUntil([&] { return recordsFor("Hifi", "Power") >= 3; }, 2000));
  host->UnloadPlugin();
  const size_t held = recordsFor("Hifi", "Power");
  EXPECT_FALSE(pumpUntil([&] { return recordsFor("Hifi", "Power") > held; }, 400));
}

// Closing the window gives the codes back to matching; opening it again takes them again.
TEST_F(LearnTimingTest, TheLearnWindowHoldsTheCodesOnlyWhileItIsOpen) {
  ASSERT_NO_FATAL_FAILURE(openNewButton(L"TV"));
  EXPECT_EQ(host->Reception().LearningSink(), learn());
  click(IDCANCEL);
  EXPECT_EQ(learn(), nullptr);
  EXPECT_EQ(host->Reception().LearningSink(), nullptr);
  ASSERT_NO_FATAL_FAILURE(openNewButton(L"TV"));
  Learn* again = learn();
  send(kStopPress);
  EXPECT_EQ(again->Led(), LedState::Busy);
  EXPECT_TRUE(notify.records.empty());
}

TEST_F(LearnTimingTest, TheInstructionsFitInsideTheirFrameAndTheWindowOpensOverItsOwner) {
  const HWND owner = CreateWindowExW(0, L"STATIC", L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200, 500, 400,
                                     nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  ASSERT_NE(Learn::Open(*host, owner, "TV", "", {}), nullptr);
  const HWND window = learn()->Handle();
  const HWND instruction = control(Learn::kInstruction);
  const HWND group = FindWindowExW(window, nullptr, L"Button", L"Learning button");
  ASSERT_NE(group, nullptr);
  RECT text{}, frame{}, bar{}, placed{}, opener{};
  GetWindowRect(instruction, &text);
  GetWindowRect(group, &frame);
  GetWindowRect(control(Learn::kProgress), &bar);
  GetWindowRect(window, &placed);
  GetWindowRect(owner, &opener);

  // The height the whole text needs, wrapped in the window's font.
  const std::wstring shown = textOf(instruction);
  const HDC dc = GetDC(instruction);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(instruction, WM_GETFONT, 0, 0)));
  RECT needed{0, 0, text.right - text.left, 0};
  DrawTextW(dc, shown.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK);
  SelectObject(dc, old);
  ReleaseDC(instruction, dc);
  EXPECT_GE(text.bottom - text.top, needed.bottom) << win::toUtf8(shown);
  EXPECT_LE(text.bottom, frame.bottom);
  EXPECT_LE(bar.bottom, frame.bottom);
  EXPECT_GE(bar.top, text.bottom);

  EXPECT_NEAR((placed.left + placed.right) / 2, (opener.left + opener.right) / 2, 2);
  EXPECT_NEAR((placed.top + placed.bottom) / 2, (opener.top + opener.bottom) / 2, 2);
  learn()->Destroy();
  DestroyWindow(owner);
}

}  // namespace
}  // namespace vexa::test
