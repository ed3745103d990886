// Remotes imported from lircd.conf syntax are recognised by the program's
// timing matcher in the frames lircd itself transmits for them: every press,
// both toggle forms and held repeats, as its own button and never another.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "support/lircd_daemon.h"
#include "support/temp_folder.h"
#include "vexa/device/code_matcher.h"
#include "vexa/device/device_settings.h"
#include "vexa/device/lircd_import.h"

using namespace vexa;
using namespace vexa::device;

namespace {

std::string remotesConf() {
  std::ifstream in(std::string(VEXA_SOURCE_DIR) + "/tests/data/lircd/remotes.conf");
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class LircdFrames : public ::testing::Test {
 protected:
  void SetUp() override {
    // Through the device file, as the program reads it.
    CIniFile file;
    for (const auto& remote : parseLircdConfig(remotesConf())) addImportedRemote(file, importLircdRemote(remote));
    readCodeStore(file.text(), m_store);
  }

  // The buttons the matcher reports while the frames of one press arrive,
  // after a pause that ends whatever came before.
  std::vector<std::string> recognised(const std::vector<uint32_t>& samples) {
    std::vector<std::string> names;
    m_now += 10000000;  // 1 s
    for (uint32_t s : samples) {
      m_now += uint64_t{s & 0x7FFFFFFFu} * 10;
      const TimingMatch m = m_matcher.matchTiming(s, m_now, true);
      if (m.outcome == CTimingMatcher::Outcome::Send || m.outcome == CTimingMatcher::Outcome::SendAndRepeat)
        names.push_back(m.names.remote + "/" + m.names.command);
    }
    return names;
  }

  CCodeStore m_store;
  CCodeMatcher m_matcher{m_store};
  uint64_t m_now = 0;
  test::CTempFolder m_dir;
  test::CLircdDaemon m_lircd{m_dir.path(), remotesConf()};
};

TEST_F(LircdFrames, EveryButtonIsItselfInBothToggleForms) {
  size_t buttons = 0;
  for (const auto& [remote, r] : m_store.remotes()) {
    for (const auto& [button, code] : r.commands) {
      const std::string name = remote + "/" + button;
      // "min_repeat 2" makes lircd send each of amp's presses three times.
      const std::vector<std::string> expected(remote == "amp" ? 3 : 1, name);
      // Two presses in a row: toggling remotes send the other form the second time.
      const auto first = m_lircd.sendOnce(remote, button);
      const auto second = m_lircd.sendOnce(remote, button);
      EXPECT_EQ(recognised(first), expected);
      EXPECT_EQ(recognised(second), expected);
      ++buttons;
    }
  }
  EXPECT_EQ(buttons, 14u);
}

TEST_F(LircdFrames, AHeldButtonRepeatsAsItself) {
  // The pulse-distance remote's repeats are its special repeat code; the
  // others send the whole frame again.
  const std::map<std::string, std::string> held{{"tv", "vol+"}, {"amp", "mute"}, {"vcr", "rew"}, {"box", "up"}};
  for (const auto& [remote, button] : held) {
    const auto names = recognised(m_lircd.sendOnce(remote, button, 4));
    EXPECT_EQ(names, std::vector<std::string>(5, remote + "/" + button)) << remote;
  }
}

TEST_F(LircdFrames, TheImportKeepsWhatLircdTransmits) {
  const DeviceCode* play = m_store.findCode("tv", "play");
  ASSERT_NE(play, nullptr);
  const auto sent = m_lircd.sendOnce("tv", "play");
  // The frame up to its last pulse, then the space that fills it to 108 ms.
  ASSERT_EQ(sent.size(), play->raw.size() + 1);
  EXPECT_TRUE(std::equal(play->raw.begin(), play->raw.end(), sent.begin()));
  EXPECT_EQ(play->gap, sent.back());
  EXPECT_EQ(play->decoded, 0x8877u);
}

// The carrier-line end-to-end test plays a capture of lircd's frames: it is still
// what this lircd transmits, press by press, from its start. A held press is
// checked by its first frame (its repeats take long to send and say nothing new).
TEST_F(LircdFrames, TheCarrierLineCaptureIsWhatLircdTransmits) {
  std::ifstream in(std::string(VEXA_SOURCE_DIR) + "/tests/data/carrio/lircd-vcr-presses.txt");
  std::string line, button, pressText;
  int repeats = 0, presses = 0;
  auto check = [&] {
    if (button.empty()) return;
    const auto sent = m_lircd.sendOnce("vcr", button);
    auto captured = test::CLircdDaemon::samplesOf(pressText);
    if (repeats > 0 && captured.size() > sent.size()) captured.resize(sent.size());
    EXPECT_EQ(sent, captured) << "press " << presses;
    ++presses;
  };
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string first;
    words >> first;
    if (first != "press") {
      if (first != "#") pressText += line + "\n";
      continue;
    }
    check();
    words >> button >> repeats;
    pressText.clear();
  }
  check();
  EXPECT_EQ(presses, 22);
}

}  // namespace
