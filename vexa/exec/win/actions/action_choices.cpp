#include "vexa/exec/win/actions/action_choices.h"

namespace vexa::exec {

std::vector<std::string> displayModeChoices(ISystemActions& system) {
  std::vector<std::string> choices;
  for (const DisplayMode& mode : system.displayModes()) appendUnique(choices, displayModeText(mode));
  return choices;
}

std::vector<std::string> mixerControlChoices(IMixer& mixer, ActionKind kind) {
  switch (kind) {
    case ActionKind::RecordVolume: return mixer.lines(MixerDestination::Recording, false);
    case ActionKind::Mute: return mixer.lines(MixerDestination::Playback, true);
    case ActionKind::AudioMode:
    case ActionKind::AdjustUp:
    case ActionKind::AdjustDown: return mixer.lines(MixerDestination::Playback, false);
    default: return {};
  }
}

std::vector<std::string> dialUpChoices(ISystemActions& system) {
  bool available = false;
  std::vector<std::string> entries = system.dialEntries(available);
  if (!available) return {std::string(vexa::kDialUpNotAvailable)};
  return entries;
}

}  // namespace vexa::exec
