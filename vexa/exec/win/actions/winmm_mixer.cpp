#include "vexa/exec/win/actions/winmm_mixer.h"

#include <windows.h>
#include <mmsystem.h>

#include <optional>

#include "vexa/base/strings.h"
#include "vexa/winlib/unicode.h"

namespace vexa::exec {

namespace {

class CMixerHandle {
 public:
  CMixerHandle() {
    if (mixerOpen(&m_mixer, 0, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) m_mixer = nullptr;
  }
  ~CMixerHandle() {
    if (m_mixer) mixerClose(m_mixer);
  }
  CMixerHandle(const CMixerHandle&) = delete;
  CMixerHandle& operator=(const CMixerHandle&) = delete;
  HMIXEROBJ object() const { return reinterpret_cast<HMIXEROBJ>(m_mixer); }
  explicit operator bool() const { return m_mixer != nullptr; }

 private:
  HMIXER m_mixer = nullptr;
};

DWORD controlType(MixerKind kind) {
  switch (kind) {
    case MixerKind::Fader: return MIXERCONTROL_CONTROLTYPE_FADER;
    case MixerKind::Treble: return MIXERCONTROL_CONTROLTYPE_TREBLE;
    case MixerKind::Bass: return MIXERCONTROL_CONTROLTYPE_BASS;
    case MixerKind::Mute: return MIXERCONTROL_CONTROLTYPE_MUTE;
    default: return MIXERCONTROL_CONTROLTYPE_VOLUME;
  }
}

bool isDestination(const MIXERLINEW& line, MixerDestination destination) {
  if (destination == MixerDestination::Recording) return line.dwComponentType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
  return line.dwComponentType == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS ||
         line.dwComponentType == MIXERLINE_COMPONENTTYPE_DST_HEADPHONES;
}

std::optional<MIXERLINEW> findDestination(const CMixerHandle& mixer, MixerDestination destination) {
  MIXERCAPSW caps{};
  if (mixerGetDevCapsW(0, &caps, sizeof caps) != MMSYSERR_NOERROR) return std::nullopt;
  for (DWORD d = 0; d < caps.cDestinations; ++d) {
    MIXERLINEW line{};
    line.cbStruct = sizeof line;
    line.dwDestination = d;
    if (mixerGetLineInfoW(mixer.object(), &line, MIXER_GETLINEINFOF_DESTINATION) != MMSYSERR_NOERROR) continue;
    if (isDestination(line, destination)) return line;
  }
  return std::nullopt;
}

// Source line `index` of the destination `target`; none when the mixer will not say.
std::optional<MIXERLINEW> sourceLine(const CMixerHandle& mixer, const MIXERLINEW& target, DWORD index) {
  MIXERLINEW line{};
  line.cbStruct = sizeof line;
  line.dwDestination = target.dwDestination;
  line.dwSource = index;
  if (mixerGetLineInfoW(mixer.object(), &line, MIXER_GETLINEINFOF_SOURCE) != MMSYSERR_NOERROR) return std::nullopt;
  return line;
}

// The destination itself when its name matches, else its source line of
// that name; none when no line bears it (rather than the last one looked at).
std::optional<MIXERLINEW> findLine(const CMixerHandle& mixer, std::string_view name, MixerDestination destination) {
  const auto target = findDestination(mixer, destination);
  if (!target) return std::nullopt;
  if (iequals(win::toUtf8(target->szName), name)) return target;
  for (DWORD s = 0; s < target->cConnections; ++s) {
    const auto line = sourceLine(mixer, *target, s);
    if (line && iequals(win::toUtf8(line->szName), name)) return line;
  }
  return std::nullopt;
}

std::optional<MIXERCONTROLW> findControl(const CMixerHandle& mixer, const MIXERLINEW& line, MixerKind kind) {
  MIXERCONTROLW control{};
  MIXERLINECONTROLSW request{};
  request.cbStruct = sizeof request;
  request.dwLineID = line.dwLineID;
  request.dwControlType = controlType(kind);
  request.cControls = 1;
  request.cbmxctrl = sizeof control;
  request.pamxctrl = &control;
  if (mixerGetLineControlsW(mixer.object(), &request, MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR)
    return std::nullopt;
  return control;
}

}  // namespace

bool CWinmmMixer::adjust(MixerKind kind, int delta, std::string_view name, MixerDestination destination,
                         int64_t& value) {
  if (name.empty()) return false;
  CMixerHandle mixer;
  if (!mixer) return false;
  const auto line = findLine(mixer, name, destination);
  if (!line) return false;
  const auto control = findControl(mixer, *line, kind);
  if (!control) return false;
  const DWORD channels = (control->fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) ? 1 : std::max<DWORD>(line->cChannels, 1);
  std::vector<MIXERCONTROLDETAILS_UNSIGNED> raw(channels);
  MIXERCONTROLDETAILS details{};
  details.cbStruct = sizeof details;
  details.dwControlID = control->dwControlID;
  details.cChannels = channels;
  details.cbDetails = sizeof(MIXERCONTROLDETAILS_UNSIGNED);
  details.paDetails = raw.data();
  if (mixerGetControlDetailsW(mixer.object(), &details, MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR)
    return false;
  std::vector<int64_t> values;
  for (const auto& v : raw) values.push_back(v.dwValue);
  ControlRange range;
  range.minimum = control->Bounds.dwMinimum;
  range.maximum = control->Bounds.dwMaximum;
  range.steps = control->Metrics.cSteps ? control->Metrics.cSteps : 1;
  if (kind == MixerKind::Mute) range = {0, 1, 1};
  const auto adjusted = adjustChannels(kind, values, delta, range);
  if (!adjusted) return false;
  if (delta != 0) {
    for (size_t i = 0; i < raw.size(); ++i) raw[i].dwValue = static_cast<DWORD>((*adjusted)[i]);
    if (mixerSetControlDetails(mixer.object(), &details, MIXER_SETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR)
      return false;
  }
  value = adjusted->size() >= 2 ? (*adjusted)[0] * 65536 + (*adjusted)[1] : (*adjusted)[0];
  return true;
}

std::string CWinmmMixer::masterLine() {
  CMixerHandle mixer;
  if (!mixer) return {};
  const auto line = findDestination(mixer, MixerDestination::Playback);
  return line ? win::toUtf8(line->szName) : std::string();
}

std::vector<std::string> CWinmmMixer::lines(MixerDestination destination, bool mute) {
  std::vector<std::string> names;
  CMixerHandle mixer;
  if (!mixer) return names;
  const auto target = findDestination(mixer, destination);
  if (!target) return names;
  const MixerKind kind = mute ? MixerKind::Mute : MixerKind::Volume;
  if (findControl(mixer, *target, kind)) names.push_back(win::toUtf8(target->szName));
  for (DWORD s = 0; s < target->cConnections; ++s) {
    const auto line = sourceLine(mixer, *target, s);
    if (line && findControl(mixer, *line, kind)) names.push_back(win::toUtf8(line->szName));
  }
  return names;
}

}  // namespace vexa::exec
