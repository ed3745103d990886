#pragma once
// The simulated remote's keys as an ordinary pulse-distance remote, for the
// carrier-line receiver (whose scripted test build replays edge scripts from
// its COM port): the codes the program learns for them, through its own import
// of an lircd.conf description, and the edge script of a press.
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "tools/vremote/remote_keys.h"
#include "vexa/device/lircd_import.h"

namespace vexa::vremote {

// The description, in lircd.conf syntax: scripts/lircd-sample.conf's remote.
std::string timingRemoteConf();

// The host's sections for every key, learned by timing on a remote of that name.
std::string timingVdpSections(std::string_view remoteName);

class CTimingPresses {
 public:
  // Each interval is off by up to `jitterPercent` of the remote's unit, as a
  // receiver's edges are.
  CTimingPresses(uint32_t seed, int jitterPercent);

  // One short press after a rest, as edge-script lines.
  std::string script(const RemoteKey& key);

 private:
  device::ImportedRemote m_remote;
  std::mt19937 m_random;
  int m_jitterPercent;
};

}  // namespace vexa::vremote
