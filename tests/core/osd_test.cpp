#include <gtest/gtest.h>

#include <map>

#include "vexa/base/windows_1252.h"
#include "vexa/osd/bar_caption.h"
#include "vexa/osd/bar_display_state.h"
#include "vexa/osd/layout_selector.h"
#include "vexa/osd/osd_geometry.h"
#include "vexa/osd/osd_modes.h"
#include "vexa/osd/osd_settings.h"
#include "vexa/osd/text_wrap.h"

namespace vexa::osd {
namespace {

TEST(OsdGeometry, PositionsOnTheScreen) {
  EXPECT_EQ(barWindowRect(OsdPosition::Center, 1024, 768), (Rect{30, 349, 994, 419}));
  EXPECT_EQ(barWindowRect(OsdPosition::Top, 800, 600).top, 10);
  EXPECT_EQ(barWindowRect(OsdPosition::Bottom, 800, 600).top, 520);
  EXPECT_EQ(popupWindowRect(OsdPosition::Bottom, 1024, 768, false), (Rect{212, 688, 812, 758}));
}

TEST(OsdGeometry, LevelZonesSplitAtNineteenAndTwentyTwentySeconds) {
  const Rect bar{10, 45, 230, 65};  // 220 wide: zones end at 190 and 200
  auto z = levelZones(bar, 65535);
  EXPECT_EQ(z.low.right, 200);
  EXPECT_EQ(z.middle.left, 200);
  EXPECT_EQ(z.middle.right, 210);
  EXPECT_EQ(z.high.right, 230);
  EXPECT_EQ(z.rest.width(), 0);
  z = levelZones(bar, 0);
  EXPECT_EQ(z.low.width(), 0);
  EXPECT_EQ(z.rest.width(), 220);
  z = levelZones(bar, 32767);  // half: only the low zone
  EXPECT_EQ(z.low.width(), 109);
  EXPECT_EQ(z.middle.width(), 0);
  // A level beyond the scale fills the bar and no more.
  EXPECT_EQ(levelZones(bar, 0x1FFFF).high.right, 230);
}

TEST(OsdModes, HundredsMatchTheirWholeRange) {
  EXPECT_TRUE(modeMatches(101, 100));
  EXPECT_TRUE(modeMatches(199, 100));
  EXPECT_FALSE(modeMatches(201, 100));
  EXPECT_TRUE(modeMatches(201, 201));
  EXPECT_FALSE(modeMatches(202, 201));
  EXPECT_FALSE(modeMatches(0, 301));
}

TEST(BarCaption, MixerModes) {
  auto c = mixerBar(Mode::kVolume, "Master", (30000u << 16) | 40000u, false);
  EXPECT_EQ(c.caption, "Master Volume");
  EXPECT_EQ(c.level, 40000u);
  EXPECT_FALSE(c.muted);
  EXPECT_TRUE(mixerBar(Mode::kMute, "Master", 0, true).muted);
  EXPECT_EQ(mixerBar(Mode::kPanning, "Wave", (65535u << 16) | 32767u, false).extra, "       -50%");
  EXPECT_EQ(mixerBar(Mode::kPanning, "Wave", (1000u << 16) | 1000u, false).extra, "       CENTER");
  // Silence on both channels is balanced, not a division by zero.
  EXPECT_EQ(mixerBar(Mode::kPanning, "Wave", 0, false).extra, "       CENTER");
  EXPECT_EQ(mixerBar(Mode::kFader, "Out", 32767, false).extra, "       CENTER");
  EXPECT_EQ(mixerBar(Mode::kFader, "Out", 0, false).extra, "       -100%");
  EXPECT_EQ(mixerBar(Mode::kFader, "Out", 1, false).extra, "       -99%");  // integer part of -99.997
  EXPECT_EQ(mixerBar(Mode::kFader, "Out", 65534, false).extra, "       100%");
  EXPECT_EQ(mixerBar(Mode::kBass, "Master", 5, false).caption, "Master Bass");
}

TEST(BarCaption, ShutdownCountdown) {
  EXPECT_EQ(shutdownBar("Shutdown", 0, 15).caption, "Shutdown OFF");
  EXPECT_EQ(shutdownBar("Shutdown", 0, 15).icon, BarIcon::ShutdownOff);
  EXPECT_EQ(shutdownBar("Reboot", 15, 15).caption, "Reboot 15 sec");
  EXPECT_EQ(shutdownBar("Reboot", 15, 15).icon, BarIcon::ShutdownCountdown);
  EXPECT_EQ(shutdownBar("Reboot", 59, 15).caption, "Reboot 59 sec");
  EXPECT_EQ(shutdownBar("Reboot", 60, 15).caption, "Reboot 1 min");
  EXPECT_EQ(shutdownBar("Reboot", 61, 15).caption, "Reboot 2 min");
  EXPECT_EQ(shutdownBar("Reboot", 900, 15).icon, BarIcon::ShutdownStepped);
}

TEST(OsdSettings, FontSurvivesTheStoredForm) {
  const CWindows1252 cp;
  OsdFont font;
  font.face = "Caf\xC3\xA9 Sans";
  font.height = -20;
  font.italic = true;
  const auto bytes = font.encode(cp);
  const auto back = OsdFont::decode(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), cp);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->face, font.face);
  EXPECT_EQ(back->height, -20);
  EXPECT_EQ(back->weight, 700);
  EXPECT_TRUE(back->italic);
  EXPECT_FALSE(OsdFont::decode(std::string(59, 'x'), cp));
  // A face longer than the field keeps its terminator.
  font.face = std::string(40, 'F');
  const auto cut = font.encode(cp);
  EXPECT_EQ(cut[59], 0);
  EXPECT_EQ(OsdFont::decode(std::string_view(reinterpret_cast<const char*>(cut.data()), cut.size()), cp)->face,
            std::string(31, 'F'));
}

TEST(OsdSettings, PositionsAndSelectorModeRoundTrip) {
  EXPECT_EQ(parsePosition("center"), OsdPosition::Center);
  EXPECT_FALSE(parsePosition("Middle"));
  OsdSettings s;
  EXPECT_EQ(s.storedSelector(), "");
  s.setStoredSelector("Menu");
  EXPECT_EQ(s.selectorMode, SelectorMode::ExtraButton);
  EXPECT_EQ(s.selectorTrigger(), "Menu");
  s.setStoredSelector("");
  EXPECT_EQ(s.selectorTrigger(), "");
  EXPECT_EQ(s.selectorCommand, "Menu");  // the field keeps what was typed
}

TEST(OsdSettings, AStoredNotApplicableSelectorIsTheDefaultSingleButtonMode) {
  OsdSettings s;
  s.setStoredSelector("Menu");
  s.setStoredSelector("N/A");
  EXPECT_EQ(s.selectorMode, SelectorMode::SingleButton);
  EXPECT_EQ(s.selectorTrigger(), "");
}

// ---- Text wrapping: one unit per byte.
int byteWidth(std::string_view s) { return static_cast<int>(s.size()); }

TEST(TextWrap, BreaksAtLineEndsAndBetweenWords) {
  using V = std::vector<std::string>;
  EXPECT_EQ(wrapText("one two three", 7, byteWidth), (V{"one two", "three"}));
  EXPECT_EQ(wrapText("a\r\nb\rc\nd", 10, byteWidth), (V{"a", "b", "c", "d"}));
  EXPECT_EQ(wrapText("a\n\nb", 10, byteWidth), (V{"a", "", "b"}));
  EXPECT_EQ(wrapText("trailing   \n\n\n", 20, byteWidth), (V{"trailing"}));
  EXPECT_EQ(wrapText("", 10, byteWidth), V{});
  EXPECT_EQ(wrapText("abcdefghij", 4, byteWidth), (V{"abcd", "efgh", "ij"}));
  // A character never splits, even when it alone is wider than the line.
  EXPECT_EQ(wrapText("\xC3\xA9\xC3\xA9", 3, byteWidth), (V{"\xC3\xA9", "\xC3\xA9"}));
  EXPECT_EQ(wrapText("ab", 0, byteWidth), (V{"a", "b"}));
}

// ---- The bar display's callback protocol.
struct Heard {
  uint32_t code;
  int32_t value;
};

TEST(BarDisplayState, ReplacedShutdownHearsItsOwnOutcome) {
  CBarDisplayState state;
  std::vector<Heard> heard;
  const auto record = [&](uint32_t c, int32_t v) { heard.push_back({c, v}); };
  state.show(Mode::kShutdown, 15, record);
  state.show(Mode::kShutdown, 900, record);  // same mode: no call
  EXPECT_TRUE(heard.empty());
  EXPECT_TRUE(state.isShowing(Mode::kShutdown));
  // A volume of 0 must not cancel the countdown: the callback hears the shutdown's own value.
  state.show(Mode::kVolume, 0, nullptr);
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].code, Mode::kShutdown);
  EXPECT_EQ(heard[0].value, 900);
  EXPECT_TRUE(state.isShowing(100));
  state.close();
  EXPECT_EQ(heard.size(), 1u);
  EXPECT_FALSE(state.isShowing(100));
}

TEST(BarDisplayState, CloseCallsOnceAndACallbackMayShowAgain) {
  CBarDisplayState state;
  int calls = 0;
  state.show(Mode::kShutdown, 0, [&](uint32_t, int32_t value) {
    ++calls;
    EXPECT_EQ(value, 0);  // "off": cancel
    state.show(Mode::kVolume, 5, nullptr);
  });
  state.close();
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(state.isShowing(Mode::kVolume));
  state.close();  // the volume bar has no callback; the shutdown's was heard once
  EXPECT_EQ(calls, 1);
  EXPECT_FALSE(state.active());
}

// ---- The layout selector against a small command table.
class FakeCommands : public ISelectorCommands {
 public:
  std::map<const void*, SelectorCommand> commands;
  std::optional<SelectorCommand> find(const void* identity) const override {
    const auto it = commands.find(identity);
    if (it == commands.end()) return std::nullopt;
    return it->second;
  }
};

class LayoutSelectorTest : public ::testing::Test {
 protected:
  LayoutSelectorTest() : selector(commands) {
    commands.commands[&play] = {"Play", {{"Music", {"Execute application", "Send keystroke"}}, {"Video", {"A", "B", "C", "D"}}}, 0};
    commands.commands[&stop] = {"Stop", {{"Only", {}}}, 0};
    commands.commands[&zoom] = {"Zoom", {{"In", {}}, {"Out", {}}, {"Fit", {}}}, 2};
    CLayoutSelector::Options o;
    o.typematicDelayMs = 500;
    o.timeoutMs = 2000;
    selector.setOptions(o);
  }
  void extraMode() {
    auto o = selector.options();
    o.mode = SelectorMode::ExtraButton;
    o.trigger = "Select";
    selector.setOptions(o);
  }
  SelectorStep press(const void* identity, const std::string& name, uint32_t repeat = 0) {
    return selector.press({name, identity, repeat});
  }
  int play = 0, stop = 0, zoom = 0;
  FakeCommands commands;
  CLayoutSelector selector;
};

TEST_F(LayoutSelectorTest, SingleLayoutCommandsRunAtOnce) {
  EXPECT_FALSE(press(&stop, "Stop").consumed);
  EXPECT_FALSE(press(&stop, "Stop", 3).consumed);
  EXPECT_FALSE(press(nullptr, "Unknown").consumed);
  EXPECT_FALSE(selector.active());
}

TEST_F(LayoutSelectorTest, ShortPressRunsTheCurrentLayoutAfterTheHold) {
  const auto step = press(&play, "Play");
  EXPECT_TRUE(step.consumed);
  EXPECT_EQ(step.timerMs, 750u);
  EXPECT_TRUE(selector.active());
  EXPECT_FALSE(selector.shown());
  const auto choice = selector.timerFired();
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->layout, 0u);
  EXPECT_FALSE(selector.active());
}

TEST_F(LayoutSelectorTest, HoldingShowsThenAPressSelectsTheNextLayout) {
  press(&play, "Play");
  // The repeat arrives before resolution (the run asks by name first).
  auto step = press(nullptr, "Play", 1);
  EXPECT_TRUE(step.consumed);
  EXPECT_EQ(step.timerMs, 2000u);
  EXPECT_TRUE(selector.shown());
  EXPECT_EQ(selector.view().mainText, "Play:  Music");
  EXPECT_EQ(selector.view().lines, (std::vector<std::string>{"Execute application", "Send keystroke"}));
  EXPECT_TRUE(press(nullptr, "Play", 2).consumed);  // repeats only restart the timer
  EXPECT_EQ(selector.view().layoutName, "Music");
  EXPECT_TRUE(press(nullptr, "Play", 0).consumed);
  EXPECT_EQ(selector.view().layoutName, "Video");
  EXPECT_EQ(selector.view().lines.size(), 3u);  // the first three actions
  EXPECT_TRUE(press(&play, "Play", 0).consumed);
  EXPECT_EQ(selector.view().layoutName, "Music");  // after the last, the first again
  press(&play, "Play", 0);
  const auto choice = selector.timerFired();
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->identity, &play);
  EXPECT_EQ(choice->layout, 1u);
}

TEST_F(LayoutSelectorTest, RepeatsOfAMultiLayoutCommandNeverRun) {
  EXPECT_TRUE(press(&zoom, "Zoom", 4).consumed);
  EXPECT_FALSE(selector.active());
}

TEST_F(LayoutSelectorTest, AnotherCommandHeldBackRunsTheFirstChoice) {
  press(&play, "Play");
  const auto step = press(&zoom, "Zoom");
  EXPECT_TRUE(step.consumed);
  ASSERT_TRUE(step.runNow);
  EXPECT_EQ(step.runNow->identity, &play);
  EXPECT_EQ(selector.timerFired()->layout, 2u);  // Zoom's current layout
}

TEST_F(LayoutSelectorTest, ADeletedOrRenamedCommandNeverRuns) {
  press(&play, "Play");
  press(nullptr, "Play", 1);
  commands.commands.erase(&play);
  EXPECT_FALSE(selector.timerFired());

  press(&zoom, "Zoom");
  commands.commands[&zoom].name = "Other";  // a new command where the old one was
  EXPECT_FALSE(selector.timerFired());

  press(&zoom, "Other");
  commands.commands[&zoom].layouts.resize(1);  // the chosen layout went
  commands.commands[&zoom].active = 0;
  EXPECT_FALSE(selector.timerFired());

  press(&play, "Play");
  selector.drop();  // a reload
  EXPECT_FALSE(selector.timerFired());
}

TEST_F(LayoutSelectorTest, ExtraButtonModeOpensOnTheTrigger) {
  extraMode();
  EXPECT_FALSE(press(&play, "Play").consumed);  // closed: commands run at once
  EXPECT_FALSE(press(&play, "Play", 1).consumed);  // and may repeat
  EXPECT_TRUE(press(nullptr, "select").consumed);
  EXPECT_TRUE(selector.shown());
  EXPECT_EQ(selector.view().mainText, CLayoutSelector::kTriggerText);
  EXPECT_EQ(selector.view().layoutName, "");
  EXPECT_FALSE(press(&stop, "Stop").consumed);  // one layout: runs
  EXPECT_TRUE(press(&zoom, "Zoom").consumed);
  EXPECT_EQ(selector.view().layoutName, "Fit");  // first press: current layout
  EXPECT_TRUE(press(&zoom, "Zoom").consumed);
  EXPECT_EQ(selector.view().layoutName, "In");
  const auto choice = selector.timerFired();
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->layout, 0u);
  EXPECT_FALSE(press(&zoom, "Zoom").consumed);
}

TEST_F(LayoutSelectorTest, ExtraTriggerAloneRunsNothing) {
  extraMode();
  press(&play, "Select");
  EXPECT_FALSE(selector.timerFired());
}

}  // namespace
}  // namespace vexa::osd
