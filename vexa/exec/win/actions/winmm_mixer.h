#pragma once
// The multimedia mixer (device 0) behind IMixer.
#include "vexa/exec/actions/mixer_rules.h"

namespace vexa::exec {

class CWinmmMixer final : public IMixer {
 public:
  bool adjust(MixerKind kind, int delta, std::string_view line, MixerDestination destination,
              int64_t& value) override;
  std::string masterLine() override;
  std::vector<std::string> lines(MixerDestination destination, bool mute) override;
};

}  // namespace vexa::exec
