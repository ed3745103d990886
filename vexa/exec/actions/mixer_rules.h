#pragma once
// The audio actions' rules: the mode table, what an adjustment does to a
// control's channel values, and the mixer behind one interface.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

enum class MixerKind { Volume = 0, Fader = 1, Treble = 2, Bass = 3, Panning = 4, Mute = 5 };

struct AudioMode {
  uint32_t code;  // the OSD request code
  std::string_view name;
  MixerKind kind;
};
// In cycling order: "Fader", "Volume", "Treble", "Bass", "Panning".
const std::vector<AudioMode>& audioModes();
const AudioMode& volumeMode();

struct ControlRange {
  int64_t minimum = 0, maximum = 65535;
  uint32_t steps = 1;  // the control's step count (cSteps)
};

// The channel values after an adjustment by `delta` (0 only reads); none
// when the adjustment is impossible (panning needs two channels).
std::optional<std::vector<int64_t>> adjustChannels(MixerKind kind, std::vector<int64_t> values, int delta,
                                                   const ControlRange& range);

enum class MixerDestination { Playback, Recording };

// The mixer as the audio actions use it: adjust (delta 0 reads) and the
// master line's name. `value` is the first channel, or first × 65536 + second.
class IMixer {
 public:
  virtual ~IMixer() = default;
  virtual bool adjust(MixerKind kind, int delta, std::string_view line, MixerDestination destination,
                      int64_t& value) = 0;
  virtual std::string masterLine() = 0;
  // Line names with a control that fits: volume-like or mute.
  virtual std::vector<std::string> lines(MixerDestination destination, bool mute) = 0;
};

// "Mute": the line's mute switch toggled, then its state and its volume
// (what the bar shows); none when the line has no mute switch.
struct MuteOutcome {
  bool muted = false;
  int64_t volume = 0;  // 0 when the line has no volume control
};
std::optional<MuteOutcome> toggleMute(IMixer& mixer, std::string_view line);

// The audio-mode state the main window keeps, as the actions read and change it.
struct AudioModeState {
  int index = -1;  // into audioModes(); -1: none
  std::string line;
  uint64_t lastSeconds = 0;
};

// "Audio Mode": the next mode after the current one that the line (or,
// for all but volume, the master line) has. Returns the line used, or none.
std::optional<std::string> selectNextAudioMode(IMixer& mixer, AudioModeState& state, std::string_view line,
                                               uint64_t nowSeconds);

}  // namespace vexa
