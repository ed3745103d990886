#pragma once
// The drop-down choices of field 1 that come from the system, for the
// Action Definition dialog.
#include <string>
#include <vector>

#include "vexa/exec/actions/action_kind.h"
#include "vexa/exec/actions/mixer_rules.h"
#include "vexa/exec/win/actions/system_actions.h"
#include "vexa/model/action_fields.h"

namespace vexa::exec {

// One "%dx%d %d-Bit[ @%d Hz]" line per mode the display driver enumerates
// (drivers list a mode once per flag set: each line comes once).
std::vector<std::string> displayModeChoices(ISystemActions& system);
// The mixer lines that fit the type: "Record Volume" the recording
// destination's volume lines, "Mute" the playback lines with a mute switch,
// the other audio types the playback lines with a volume.
std::vector<std::string> mixerControlChoices(IMixer& mixer, ActionKind kind);
// The phone-book entries, or only "Not available" without dial-up support.
std::vector<std::string> dialUpChoices(ISystemActions& system);

}  // namespace vexa::exec
