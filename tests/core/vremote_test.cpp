#include <gtest/gtest.h>

#include <map>
#include <set>
#include <thread>

#include "plugins/padrem/packet_decoder.h"
#include "support/temp_folder.h"
#include "tools/vremote/pty_line.h"
#include "tools/vremote/remote_keys.h"
#include "tools/vremote/terminal_keys.h"
#include "tools/vremote/timing_remote.h"
#include "support/edge_replay.h"
#include "vexa/device/code_matcher.h"
#include "vexa/device/device_settings.h"
#include "vexa/codec/ini_file.h"

#include <fcntl.h>
#include <unistd.h>

using namespace vexa;
using namespace vexa::vremote;

TEST(VRemoteKeys, EveryKeyHasItsOwnSixByteCode) {
  std::set<Code> codes;
  for (const RemoteKey& key : remoteKeys()) codes.insert(key.code);
  EXPECT_EQ(codes.size(), remoteKeys().size());
  for (const char* name : {"0", "9", "Up", "Down", "Left", "Right", "Space", "Enter"})
    EXPECT_NE(findKey(name), nullptr) << name;
  EXPECT_EQ(findKey("enter"), findKey("Enter"));
  EXPECT_EQ(findKey("F1"), nullptr);
}

// What `make run` sets up for the mouse-pad remote: each button code learned
// under its key's name, the pad enabled; every key's packet then decodes as
// that button, or as a stroke in the arrow's direction.
TEST(VRemotePad, ButtonsDecodeAsTheirNamesAndArrowsMoveThePointerTheirWay) {
  store::CCommandStore learned;
  for (const RemoteKey& key : remoteKeys())
    if (auto code = padButtonCode(key)) learned.appendCommand("Sim", key.name, *code);
  padrem::CPacketDecoder decoder([&](uint32_t code) { return learned.firstWithCode(code); });
  const std::map<std::string, std::pair<int, int>> way{{"Up", {0, -1}}, {"Down", {0, 1}}, {"Left", {-1, 0}},
                                                        {"Right", {1, 0}}};
  for (const RemoteKey& key : remoteKeys()) {
    std::vector<padrem::PadEvent> events;
    for (char byte : padPacket(key))
      for (auto& event : decoder.feed(static_cast<uint8_t>(byte), {false, true})) events.push_back(event);
    EXPECT_FALSE(decoder.inPacket()) << key.name;
    if (padButtonCode(key)) {
      ASSERT_EQ(events.size(), 1u) << key.name;
      EXPECT_EQ(std::get<padrem::SendCommand>(events[0]).command.command, key.name);
      continue;
    }
    int dx = 0, dy = 0;
    for (const auto& event : events) {
      dx += std::get<padrem::MovePointer>(event).dx;
      dy += std::get<padrem::MovePointer>(event).dy;
    }
    const auto [wx, wy] = way.at(key.name);
    EXPECT_EQ(dx == 0, wx == 0) << key.name;
    EXPECT_EQ(dy == 0, wy == 0) << key.name;
    EXPECT_GT(dx * wx + dy * wy, 50) << key.name;  // far enough to see
  }
}

TEST(VRemoteKeys, BinaryTextPutsTheLowNibbleFirst) {
  const uint8_t bytes[] = {0x00, 0x1F, 0xA5};
  EXPECT_EQ(binaryText(bytes, 3), "AAPBFK");
}

TEST(VRemoteKeys, VdpSectionsDescribeEveryKeyOfTheRemote) {
  const CIniFile ini = CIniFile::parse(vdpSections("Sim"));
  EXPECT_EQ(ini.getString("Sim", "dwTolerance"), "0");
  EXPECT_EQ(ini.getString("Sim", "dwMode"), "0");
  for (const RemoteKey& key : remoteKeys()) {
    const std::string section = std::string(key.name) + "@Sim";
    EXPECT_EQ(ini.getString(section, "Flags"), "32");
    EXPECT_EQ(ini.getString(section, "Signature"), binaryText(key.code.data(), key.code.size()));
  }
  EXPECT_EQ(ini.sectionNames().size(), remoteKeys().size() + 1);
}

// make run's carrier line: every key's frame, with jitter, through the line's
// timing and the program's matching against the codes run.sh installs, is that
// key and no other, press after press.
TEST(VRemoteCarrierLine, EveryKeysFrameIsRecognisedAsThatKey) {
  device::CCodeStore store;
  device::readCodeStore(timingVdpSections("Vexa Remote"), store);
  device::CCodeMatcher matcher(store);
  carrio::CEdgeTimer timer(true, 1000000, {true, 0, 0});
  bool level = true;
  int64_t now = 0;
  CTimingPresses presses(3, 10);
  for (int round = 0; round < 3; ++round) {
    for (const RemoteKey& key : remoteKeys()) {
      std::vector<std::string> recognised;
      for (const auto& s : test::replayEdgeScript(presses.script(key), timer, level, now)) {
        const auto m = matcher.matchTiming(s.sample, static_cast<uint64_t>(s.atUs) * 10, true);
        if (m.outcome == CTimingMatcher::Outcome::Send) recognised.push_back(m.names.remote + "/" + m.names.command);
      }
      EXPECT_EQ(recognised, std::vector<std::string>{"Vexa Remote/" + std::string(key.name)}) << round;
    }
  }
}

TEST(VRemoteIrman, AnswersOkOncePerInitStringEvenWhenSplit) {
  CIrmanResponder irman;
  EXPECT_FALSE(irman.Feed("xxI"));
  EXPECT_EQ(irman.Feed("R"), std::optional<std::string>("OK"));
  EXPECT_FALSE(irman.Feed("R"));  // the "R" of the first one does not count again
  EXPECT_EQ(irman.Feed("IRIR"), std::optional<std::string>("OK"));
  EXPECT_EQ(irman.InitsAnswered(), 2);
}

TEST(VRemoteTerminal, DecodesDigitsArrowsSpaceAndEnter) {
  CKeyDecoder decoder;
  std::vector<std::string> keys;
  for (char c : std::string("7\x1b[A\x1b[D \r q")) {
    if (auto key = decoder.Feed(c)) keys.push_back(*key);
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"7", "Up", "Left", "Space", "Enter", "Space", "q"}));
}

TEST(VRemoteLine, LinksTheTerminalAsAComPortAndCarriesBytesBothWays) {
  vexa::test::CTempFolder prefix;
  std::filesystem::create_directories(prefix / "dosdevices");
  CPtyLine line;
  ASSERT_EQ(line.Open(prefix.path(), 3), "");
  const auto link = prefix / "dosdevices/com3";
  ASSERT_EQ(std::filesystem::read_symlink(link), line.TerminalPath());

  const int port = ::open(link.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(port, 0);
  ASSERT_EQ(::write(port, "IR", 2), 2);
  EXPECT_EQ(line.Read(std::chrono::milliseconds(1000)), "IR");
  ASSERT_TRUE(line.Write("\x52\x11\x01"));
  char buffer[8] = {};
  EXPECT_EQ(::read(port, buffer, sizeof(buffer)), 3);
  EXPECT_EQ(std::string(buffer, 3), "\x52\x11\x01");
  ::close(port);
  EXPECT_EQ(line.Read(std::chrono::milliseconds(10)), "");

  line.Close();
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(VRemoteLine, AMissingPrefixIsReported) {
  vexa::test::CTempFolder nowhere;
  CPtyLine line;
  EXPECT_NE(line.Open(nowhere / "none", 1).find("no Wine prefix"), std::string::npos);
}
