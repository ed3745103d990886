#include "vexa/exec/actions/mixer_rules.h"

#include <algorithm>
#include <cstdlib>

namespace vexa {

const std::vector<AudioMode>& audioModes() {
  static const std::vector<AudioMode> modes = {
      {103, "Fader", MixerKind::Fader},   {101, "Volume", MixerKind::Volume}, {104, "Treble", MixerKind::Treble},
      {105, "Bass", MixerKind::Bass},     {102, "Panning", MixerKind::Panning},
  };
  return modes;
}

const AudioMode& volumeMode() { return audioModes()[1]; }

std::optional<std::vector<int64_t>> adjustChannels(MixerKind kind, std::vector<int64_t> values, int delta,
                                                   const ControlRange& range) {
  if (values.empty()) return std::nullopt;
  const int64_t step = static_cast<int64_t>(delta) * range.steps;
  if (delta != 0) {
    switch (kind) {
      case MixerKind::Mute:
        for (auto& v : values) v = v ? 0 : 1;
        break;
      case MixerKind::Panning: {
        if (values.size() < 2) return std::nullopt;
        int64_t& left = values[0];
        int64_t& right = values[1];
        const int64_t amount = std::llabs(step);
        if (delta > 0) {
          if (left > right) right = std::min(right + amount, left);
          else left -= amount;
        } else {
          if (left < right) left = std::min(left + amount, right);
          else right -= amount;
        }
        break;
      }
      default:
        for (auto& v : values) v += step;
    }
  }
  for (auto& v : values) v = std::clamp(v, range.minimum, range.maximum);
  return values;
}

std::optional<MuteOutcome> toggleMute(IMixer& mixer, std::string_view line) {
  int64_t state = 0;
  if (!mixer.adjust(MixerKind::Mute, 1, line, MixerDestination::Playback, state)) return std::nullopt;
  MuteOutcome outcome;
  outcome.muted = state != 0;
  if (!mixer.adjust(MixerKind::Volume, 0, line, MixerDestination::Playback, outcome.volume)) outcome.volume = 0;
  return outcome;
}

std::optional<std::string> selectNextAudioMode(IMixer& mixer, AudioModeState& state, std::string_view line,
                                               uint64_t nowSeconds) {
  const auto& modes = audioModes();
  const int count = static_cast<int>(modes.size());
  const int start = state.index < 0 ? count - 1 : state.index;
  for (int n = 1; n <= count; ++n) {
    const int i = (start + n) % count;
    int64_t value = 0;
    std::string used(line);
    bool ok = mixer.adjust(modes[i].kind, 0, used, MixerDestination::Playback, value);
    if (!ok && modes[i].kind != MixerKind::Volume) {
      used = mixer.masterLine();
      ok = !used.empty() && mixer.adjust(modes[i].kind, 0, used, MixerDestination::Playback, value);
    }
    if (ok) {
      state.index = i;
      state.line = used;
      state.lastSeconds = nowSeconds;
      return used;
    }
  }
  state = AudioModeState{};
  return std::nullopt;
}

}  // namespace vexa
