// The portable halves of the action types: parsers of their fields and the
// rules they decide by.
#include <gtest/gtest.h>

#include <map>

#include "support/one_line_mixer.h"
#include "vexa/exec/actions/action_kind.h"
#include "vexa/exec/actions/display_mode_text.h"
#include "vexa/exec/actions/keystroke_text.h"
#include "vexa/exec/actions/mixer_rules.h"
#include "vexa/exec/actions/mouse_rules.h"
#include "vexa/exec/actions/post_message_text.h"
#include "vexa/exec/actions/shutdown_rules.h"
#include "vexa/exec/actions/status_text.h"
#include "vexa/exec/actions/window_pattern.h"
#include "vexa/model/catalogue.h"

using namespace vexa;

namespace {

// A US layout for letters, digits and braces.
std::optional<KeyPress> usLayout(char32_t c) {
  if (c >= 'a' && c <= 'z') return KeyPress{static_cast<uint8_t>(c - 'a' + 'A')};
  if (c >= 'A' && c <= 'Z') return KeyPress{static_cast<uint8_t>(c), true};
  if (c >= '0' && c <= '9') return KeyPress{static_cast<uint8_t>(c)};
  if (c == '{') return KeyPress{0xDB, true};
  if (c == '}') return KeyPress{0xDD, true};
  if (c == ' ') return KeyPress{0x20};
  return std::nullopt;
}

KeystrokeText keys(std::string_view text) { return parseKeystrokeText(text, usLayout); }

}  // namespace

TEST(ActionKind, EveryCatalogueTypeHasAKindAndOnlyFourAreFirstPressOnly) {
  int firstPressOnly = 0;
  for (const auto& group : actionCatalogue())
    for (const auto& entry : group.entries) {
      const ActionKind kind = actionKindOf(entry.name);
      EXPECT_EQ(static_cast<int>(kind), entry.type) << entry.name;
      if (actionTraits(kind).firstPressOnly) ++firstPressOnly;
    }
  EXPECT_EQ(firstPressOnly, 4);
  EXPECT_EQ(actionKindOf("no such action"), ActionKind::None);
  EXPECT_EQ(actionKindFromNumber(42), ActionKind::None);
  EXPECT_EQ(actionKindFromNumber(-3), ActionKind::None);
}

TEST(StatusText, BoundedWhateverTheInsertedText) {
  EXPECT_EQ(statusText("Keystroke sent to %s", "Editor"), "Keystroke sent to Editor");
  EXPECT_EQ(statusText("Connect failed for %s [%s]", {"Office", "busy"}), "Connect failed for Office [busy]");
  const std::string huge(100000, 'w');
  EXPECT_EQ(statusText("'Send keystroke' failed - %s", huge).size(), kMaxActionStatus);
  // Cut on a whole character: 499 bytes of 'a' and a two-byte character.
  EXPECT_EQ(statusText("%s", std::string(499, 'a') + "\xC3\xA9").size(), 499u);
  // More places than texts: the rest stays as written.
  EXPECT_EQ(statusText("%s and %s", {"one"}), "one and %s");
}

TEST(KeystrokeText, BracesModifiersAndCodes) {
  auto k = keys("{{a}}");
  ASSERT_TRUE(k.complete);
  ASSERT_EQ(k.keys.size(), 3u);
  EXPECT_EQ(k.keys[0], (KeyPress{0xDB, true}));
  EXPECT_EQ(k.keys[2], (KeyPress{0xDD, true}));

  k = keys("{CS0x41}{A0x73}{c67}{a9xyz}");
  ASSERT_TRUE(k.complete);
  ASSERT_EQ(k.keys.size(), 4u);
  EXPECT_EQ(k.keys[0], (KeyPress{0x41, true, true, false}));
  EXPECT_EQ(k.keys[1], (KeyPress{0x73, false, false, true}));
  EXPECT_EQ(k.keys[2], (KeyPress{67, false, true, false}));
  EXPECT_EQ(k.keys[3], (KeyPress{9, false, false, true}));  // what follows the number is ignored

  // Hex takes at most two digits, decimal three.
  EXPECT_EQ(keys("{0x4142}").keys.at(0).virtualKey, 0x41);
  EXPECT_EQ(keys("{0X1b}").keys.at(0).virtualKey, 0x1B);
  EXPECT_EQ(keys("{2550}").keys.at(0).virtualKey, 255);
}

TEST(KeystrokeText, ATokenWithoutKeyEndsTheTextAndNothingIsReadPastTheEnd) {
  for (std::string_view bad : {"ab{256}cd", "ab{CS", "ab{0x", "ab{}cd", "ab{S}cd", "ab{0x}cd", "ab~cd", "ab{"}) {
    const auto k = keys(bad);
    EXPECT_FALSE(k.complete) << bad;
    EXPECT_EQ(k.keys.size(), 2u) << bad;
  }
  // A text cut inside the buffer: the view ends before the closing brace.
  const std::string storage = "x{0x41}";
  EXPECT_FALSE(keys(std::string_view(storage).substr(0, 6)).complete);
  EXPECT_TRUE(keys("").complete);
}

TEST(KeystrokeText, HotKeyTokens) {
  EXPECT_EQ(hotKeyToken(0x41, true, false, true), "{CS0x41}");
  EXPECT_EQ(hotKeyToken(0x73, false, true, false), "{A0x73}");
  EXPECT_EQ(hotKeyToken(0x11, true, false, false), "");
  // The token reads back as the same key.
  EXPECT_EQ(keys(hotKeyToken(0x73, true, true, true)).keys.at(0), (KeyPress{0x73, true, true, true}));
}

TEST(WindowPattern, TitleClassWildcardsAndChildren) {
  std::vector<WindowEntry> list = {
      {1, "Untitled - Editor", "EditorFrame", {{11, "", "Edit", {}}, {12, "Status", "StatusBar", {}}}},
      {2, "Media Player", "PlayerMain", {{21, "Controls", "Panel", {{211, "Play", "Button", {}}}}}},
      {3, "", "HiddenHelper", {}},
  };
  auto find = [&](std::string_view name) {
    const WindowEntry* e = findWindowEntry(list, name);
    return e ? e->handle : 0;
  };
  EXPECT_EQ(find("Untitled - Editor (EditorFrame)"), 1u);
  EXPECT_EQ(find("untitled - editor (editorframe)"), 1u);
  EXPECT_EQ(find("Untitled - Editor"), 1u);  // names written before the list: the title alone
  EXPECT_EQ(find("* - Editor (*)"), 1u);
  EXPECT_EQ(find("Media Pl?yer (PlayerMain)"), 2u);
  EXPECT_EQ(find(" (PlayerMain)"), 2u);
  EXPECT_EQ(find(" (HiddenHelper)"), 3u);
  EXPECT_EQ(find(" (Edit)"), 0u);  // children only through their parent
  EXPECT_EQ(find("*Editor*\\\\\\ (Edit)"), 11u);
  EXPECT_EQ(find("Media Player (PlayerMain)\\\\\\Play (Button)"), 211u);  // a grandchild
  EXPECT_EQ(find("Media Player (PlayerMain)\\\\\\Controls (Panel)\\\\\\Play (Button)"), 211u);
  EXPECT_EQ(find("Media Player (PlayerMain)\\\\\\Missing"), 0u);
  EXPECT_EQ(find("Media"), 0u);
  EXPECT_EQ(find(""), 0u);
  EXPECT_EQ(find("*"), 1u);
}

TEST(WindowPattern, ThePickersNameAddressesThePickedWindow) {
  std::vector<WindowEntry> list = {
      {1, "Editor", "Frame", {{11, "", "Edit", {}}}},
      {2, "Player", "Frame", {{21, "Controls", "Panel", {{211, "", "Edit", {}}, {212, "Play", "Button", {}}}}}},
  };
  const auto name = [](std::vector<const WindowEntry*> path, bool classOnly) {
    std::vector<std::string> labels;
    for (const WindowEntry* e : path) labels.push_back(windowPickerLabel(*e, classOnly));
    return windowPathName(labels);
  };
  const WindowEntry& player = list[1];
  const WindowEntry& panel = player.children[0];
  EXPECT_EQ(name({&player, &panel, &panel.children[1]}, false),
            "Player (Frame)\\\\\\Controls (Panel)\\\\\\Play (Button)");
  EXPECT_EQ(findWindowEntry(list, name({&player, &panel, &panel.children[0]}, false))->handle, 211u);
  EXPECT_EQ(findWindowEntry(list, name({&list[0], &list[0].children[0]}, false))->handle, 11u);
  // Class names only: the first window of the class that has such a child.
  EXPECT_EQ(name({&player, &panel}, true), " (Frame)\\\\\\ (Panel)");
  EXPECT_EQ(findWindowEntry(list, name({&player, &panel}, true))->handle, 21u);
  EXPECT_EQ(findWindowEntry(list, name({&player, &panel, &panel.children[1]}, true))->handle, 212u);
  EXPECT_EQ(findWindowEntry(list, name({&list[0]}, true))->handle, 1u);
}

TEST(WindowPattern, WildcardBacktracking) {
  EXPECT_TRUE(wildcardMatch("a*b*c", "axxbyybzc"));
  EXPECT_FALSE(wildcardMatch("a*b*c", "axxbyybz"));
  EXPECT_TRUE(wildcardMatch("**", ""));
  EXPECT_FALSE(wildcardMatch("?", ""));
  EXPECT_TRUE(wildcardMatch("*?", "x"));
  EXPECT_TRUE(wildcardMatch(std::string(50, '*') + "z", std::string(5000, 'a') + "z"));
}

TEST(ShutdownRules, TypesSecondsAndNames) {
  EXPECT_EQ(shutdownTypeOf("Shutdown"), 9u);
  EXPECT_EQ(shutdownTypeOf("Shutdown with FORCE"), 13u);
  EXPECT_EQ(shutdownTypeOf("Reboot with FORCE"), 6u);
  EXPECT_EQ(shutdownTypeOf("Log Off"), 0u);
  EXPECT_EQ(shutdownTypeOf("log off reboot force"), 4u);  // "log off" wins over "reboot"
  EXPECT_EQ(shutdownSecondsOf(""), 15u);
  EXPECT_EQ(shutdownSecondsOf("0"), 15u);
  EXPECT_EQ(shutdownSecondsOf("-5"), 15u);
  EXPECT_EQ(shutdownSecondsOf("250"), 99u);
  EXPECT_EQ(shutdownSecondsOf("99"), 99u);
  EXPECT_EQ(shutdownRequestStatus(2, 15), "Reboot in 15 sec");
  EXPECT_EQ(shutdownRequestStatus(9, 61), "Shutdown in 2 min");
  EXPECT_EQ(shutdownRequestStatus(4, 0), "Forced LogOff OFF");
  EXPECT_EQ(shutdownTickStatus(9, 899), "Shutdown in 14 min");
  EXPECT_EQ(shutdownTickStatus(13, 59), "Forced Shutdown in 59 sec");
}

TEST(ShutdownRules, RepeatedPressesStepTheCountdownUntilOff) {
  std::vector<unsigned> seen;
  unsigned countdown = 0;
  for (int press = 0; press < 8; ++press) seen.push_back(countdown = stepShutdownCountdown(countdown, 15));
  EXPECT_EQ(seen, (std::vector<unsigned>{15, 900, 1800, 2700, 3600, 4500, 5400, 0}));
  // A countdown already running between steps goes to the next multiple.
  EXPECT_EQ(stepShutdownCountdown(1000, 15), 1800u);
  EXPECT_EQ(stepShutdownCountdown(10, 15), 15u);
  EXPECT_EQ(stepShutdownCountdown(5399, 15), 5400u);
  EXPECT_TRUE(shutdownTickShowsStatus(59));
  EXPECT_TRUE(shutdownTickShowsStatus(121));
  EXPECT_FALSE(shutdownTickShowsStatus(122));
}

TEST(DisplayModeText, WriteAndReadBack) {
  const DisplayMode m{1024, 768, 16, 75};
  EXPECT_EQ(displayModeText(m), "1024x768 16-Bit @75 Hz");
  EXPECT_EQ(displayModeText({640, 480, 32, 0}), "640x480 32-Bit");
  EXPECT_EQ(parseDisplayModeText("1024x768 16-Bit @75 Hz"), m);
  const auto any = parseDisplayModeText("1024x768 16-Bit");
  ASSERT_TRUE(any);
  EXPECT_TRUE(displayModeFits(*any, {1024, 768, 16, 60}));
  EXPECT_FALSE(displayModeFits(m, {1024, 768, 16, 60}));
  EXPECT_FALSE(displayModeFits(*any, {1024, 768, 32, 60}));
  EXPECT_FALSE(parseDisplayModeText("x768"));
  EXPECT_FALSE(parseDisplayModeText("garbage"));
  EXPECT_EQ(tvOutSetting("vga+tv"), 2u);
  EXPECT_EQ(tvOutSetting("TV"), 1u);
  EXPECT_EQ(tvOutSetting("VGA"), 0u);
}

TEST(MouseRules, AccelerationSpeedsUpAfterTheThresholdAndStaysBounded) {
  EXPECT_EQ(mouseAcceleration(""), 6);
  EXPECT_EQ(mouseAcceleration("0"), 6);
  EXPECT_EQ(mouseAcceleration("25"), 10);
  auto m = mouseMotion("Northeast", 6, 0);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->stepX, 1);
  EXPECT_EQ(m->stepY, -1);
  EXPECT_EQ(m->tickMs, 25u);
  EXPECT_EQ(mouseMotion("south", 6, 3)->tickMs, 25u);  // threshold 5 - 6/3 = 3: not yet faster
  EXPECT_EQ(mouseMotion("south", 6, 4)->tickMs, 25u);  // (4 - 3) * 0.6 + 1 is still 1
  EXPECT_EQ(mouseMotion("south", 6, 5)->tickMs, 15u);
  EXPECT_EQ(mouseMotion("EastWest", 6, 0)->stepX, 1);  // east wins
  for (uint32_t r : {10u, 100u, 100000u, 0xFFFFFFFFu}) {
    const auto fast = mouseMotion("Southwest", 10, r);
    EXPECT_LE(std::abs(fast->stepX), 8);
    EXPECT_GE(fast->tickMs, 5u);
  }
  EXPECT_FALSE(mouseMotion("up", 6, 0));
}

TEST(MouseRules, RememberedRepeatBridgesQuickPresses) {
  CMouseRepeat r;
  EXPECT_EQ(r.next(0, 1000, 300), 0u);
  EXPECT_EQ(r.next(7, 1200, 300), 7u);
  EXPECT_EQ(r.next(0, 1400, 300), 7u);   // within 550 ms: the held count carries on
  EXPECT_EQ(r.next(0, 2000, 300), 0u);   // 600 ms later: a new movement
}

TEST(MouseRules, WheelButtonsAndPositions) {
  EXPECT_EQ(wheelAmount("Down", "2"), -120);
  EXPECT_EQ(wheelAmount("Up", ""), 120);
  EXPECT_EQ(wheelAmount("Up", "99999999999"), 0x7FFF);
  EXPECT_FALSE(wheelAmount("", "2"));
  EXPECT_EQ(mouseButtonOf("Left Button"), MouseButton::Left);
  EXPECT_EQ(mouseButtonOf("right-left"), MouseButton::Left);  // checked in order
  EXPECT_EQ(mouseButtonOf("MIDDLE"), MouseButton::Middle);
  EXPECT_EQ(mouseButtonOf("Button"), MouseButton::None);
  EXPECT_EQ(pixelsToMouseUnits(0, 1024), 0);
  EXPECT_EQ(pixelsToMouseUnits(1024, 1024), 65535);
  EXPECT_EQ(pixelsToMouseUnits(5000, 1024), 65535);
  EXPECT_EQ(pixelsToMouseUnits(-5, 1024), 0);
  EXPECT_EQ(pixelsToMouseUnits(10, 0), 0);
  EXPECT_EQ(mouseUnitsToPixels(pixelsToMouseUnits(512, 1024), 1024), 511);  // rounding down, never beyond
  const auto t = mouseTargetOf("120x45", 1024, 768);
  EXPECT_EQ(t.x, 120);
  EXPECT_EQ(t.y, 45);
  EXPECT_EQ(mouseTargetOf("", 1024, 768).y, 768);
  EXPECT_EQ(mouseTargetOf("30", 1024, 768).y, 768);
}

TEST(MixerRules, AdjustmentsClampAndPanningMovesTowardsTheSide) {
  const ControlRange range{0, 65535, 100};
  EXPECT_EQ(*adjustChannels(MixerKind::Volume, {100, 65500}, 20, range), (std::vector<int64_t>{2100, 65535}));
  EXPECT_EQ(*adjustChannels(MixerKind::Volume, {100}, -20, range), (std::vector<int64_t>{0}));
  EXPECT_EQ(*adjustChannels(MixerKind::Mute, {1, 0}, 1, range), (std::vector<int64_t>{0, 1}));
  EXPECT_EQ(*adjustChannels(MixerKind::Mute, {1}, 0, range), (std::vector<int64_t>{1}));  // delta 0 only reads
  // Left and right equal, to the left: the right channel goes down.
  EXPECT_EQ(*adjustChannels(MixerKind::Panning, {5000, 5000}, -10, range), (std::vector<int64_t>{5000, 4000}));
  EXPECT_EQ(*adjustChannels(MixerKind::Panning, {5000, 5000}, 10, range), (std::vector<int64_t>{4000, 5000}));
  // Raising the lower side stops where it meets the other.
  EXPECT_EQ(*adjustChannels(MixerKind::Panning, {5000, 4500}, 10, range), (std::vector<int64_t>{5000, 5000}));
  EXPECT_EQ(*adjustChannels(MixerKind::Panning, {4500, 5000}, -10, range), (std::vector<int64_t>{5000, 5000}));
  EXPECT_FALSE(adjustChannels(MixerKind::Panning, {5000}, 10, range));
  EXPECT_FALSE(adjustChannels(MixerKind::Volume, {}, 10, range));
}

namespace {

class FakeMixer : public IMixer {
 public:
  bool adjust(MixerKind kind, int, std::string_view line, MixerDestination, int64_t& value) override {
    auto it = controls.find(std::string(line));
    if (it == controls.end() || !(it->second & (1u << static_cast<int>(kind)))) return false;
    value = 0;
    return true;
  }
  std::string masterLine() override { return "Master"; }
  std::vector<std::string> lines(MixerDestination, bool) override { return {}; }
  std::map<std::string, unsigned> controls;  // line -> bit per kind
};

}  // namespace

TEST(MixerRules, AudioModeCyclesThroughWhatTheLineOrTheMasterHas) {
  FakeMixer mixer;
  const unsigned volume = 1u << 0, treble = 1u << 2, panning = 1u << 4;
  mixer.controls = {{"Wave", volume}, {"Master", volume | treble | panning}};
  AudioModeState state;
  std::vector<std::string> seen;
  for (int i = 0; i < 4; ++i) {
    auto line = selectNextAudioMode(mixer, state, "Wave", 10 + i);
    ASSERT_TRUE(line);
    seen.push_back(*line + ":" + std::string(audioModes()[state.index].name));
  }
  // Fader missing everywhere; treble and panning from the master line.
  EXPECT_EQ(seen, (std::vector<std::string>{"Wave:Volume", "Master:Treble", "Master:Panning", "Wave:Volume"}));
  EXPECT_EQ(state.lastSeconds, 13u);
  mixer.controls.clear();
  EXPECT_FALSE(selectNextAudioMode(mixer, state, "Wave", 20));
  EXPECT_EQ(state.index, -1);
  EXPECT_TRUE(state.line.empty());
}

TEST(MixerRules, MuteTogglesAndGivesTheStateWithTheLinesVolume) {
  test::COneLineMixer mixer("Wave");
  const int64_t bothChannels = (40000LL << 16) | 40000;
  auto outcome = toggleMute(mixer, "Wave");
  ASSERT_TRUE(outcome);
  EXPECT_TRUE(outcome->muted);
  EXPECT_EQ(outcome->volume, bothChannels);
  outcome = toggleMute(mixer, "Wave");
  ASSERT_TRUE(outcome);
  EXPECT_FALSE(outcome->muted);
  EXPECT_EQ(outcome->volume, bothChannels);
  EXPECT_FALSE(toggleMute(mixer, "Line In"));
}

TEST(PostMessageText, NamesNumbersAndSeparators) {
  auto m = parsePostMessageText("WM_USER+0x10:0x1:0");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->message, 0x410u);
  EXPECT_EQ(m->wParam, 1u);
  m = parsePostMessageText("WM_COMMAND:40001:0xFFFFFFFF");
  EXPECT_EQ(m->message, 0x111u);
  EXPECT_EQ(m->wParam, 40001u);
  EXPECT_EQ(m->lParam, 0xFFFFFFFFu);
  EXPECT_EQ(parsePostMessageText("WM_LBUTTONUP:0:0")->message, 0x202u);
  EXPECT_EQ(parsePostMessageText("WM_PAINT:0:0")->message, 0u);
  EXPECT_EQ(parsePostMessageText("WM_USER+99999999:0:0")->message, 0u);  // beyond the message range
  EXPECT_EQ(parsePostMessageText("WM_USER+5:99999999999:0x123456789")->wParam, 0xFFFFFFFFu);
  EXPECT_EQ(parsePostMessageText("WM_USER+5:1:0x123456789")->lParam, 0x12345678u);  // eight digits
  EXPECT_FALSE(parsePostMessageText("WM_COMMAND:1"));
  EXPECT_FALSE(parsePostMessageText(""));
}
