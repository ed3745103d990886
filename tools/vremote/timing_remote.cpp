#include "tools/vremote/timing_remote.h"

#include <cstdio>
#include <vector>

#include "plugins/carrio/edge_script.h"
#include "vexa/codec/ini_file.h"
#include "vexa/device/lircd_config.h"

namespace vexa::vremote {

namespace {
constexpr uint32_t kUnitUs = 560;
constexpr uint32_t kPulseBit = 0x80000000u;
// Longer than any interval a sample carries, so that the rest gives none.
constexpr uint64_t kRestUs = 520000;

device::ImportedRemote importTimingRemote();
}  // namespace

std::string timingRemoteConf() {
  std::string conf =
      "begin remote\n"
      "  name  vexa\n"
      "  bits           16\n"
      "  flags SPACE_ENC|CONST_LENGTH\n"
      "  eps            30\n"
      "  aeps          100\n"
      "  header       9000  4500\n"
      "  one           560  1690\n"
      "  zero          560   560\n"
      "  ptrail        560\n"
      "  repeat       9000  2250\n"
      "  pre_data_bits   16\n"
      "  pre_data       0x00FF\n"
      "  gap          108000\n"
      "  begin codes\n";
  // The command byte, then its complement.
  char line[48];
  for (size_t i = 0; i < remoteKeys().size(); ++i) {
    std::snprintf(line, sizeof line, "    %-6s 0x%02X%02X\n", remoteKeys()[i].name, static_cast<unsigned>(i),
                  static_cast<unsigned>(0xFF - i));
    conf += line;
  }
  return conf + "  end codes\nend remote\n";
}

namespace {
device::ImportedRemote importTimingRemote() {
  return device::importLircdRemote(device::parseLircdConfig(timingRemoteConf()).front());
}
}  // namespace

std::string timingVdpSections(std::string_view remoteName) {
  device::ImportedRemote remote = importTimingRemote();
  remote.name = std::string(remoteName);
  CIniFile file;
  device::addImportedRemote(file, remote);
  return file.text();
}

CTimingPresses::CTimingPresses(uint32_t seed, int jitterPercent)
    : m_remote(importTimingRemote()), m_random(seed), m_jitterPercent(jitterPercent) {}

std::string CTimingPresses::script(const RemoteKey& key) {
  const auto code = m_remote.remote.commands.find(key.name);
  if (code == m_remote.remote.commands.end()) return {};
  const int spread = static_cast<int>(kUnitUs) * m_jitterPercent / 100;
  std::uniform_int_distribution<int> jitter(-spread, spread);
  std::vector<uint32_t> samples;
  for (uint32_t s : code->second.raw) {
    const int us = static_cast<int>(s & ~kPulseBit) + jitter(m_random);
    samples.push_back((s & kPulseBit) | static_cast<uint32_t>(us < 1 ? 1 : us));
  }
  return carrio::edgeScript(samples, kRestUs);
}

}  // namespace vexa::vremote
