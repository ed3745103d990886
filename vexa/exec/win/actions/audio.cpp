// The mixer actions: audio mode, adjustments, mute, record volume.
#include <windows.h>

#include "vexa/base/strings.h"
#include "vexa/exec/actions/status_text.h"
#include "vexa/exec/win/actions/action_table.h"

namespace vexa::exec {

namespace {

constexpr int kDefaultDelta = 20;

uint64_t nowSeconds() { return GetTickCount64() / 1000; }

void showBar(ActionContext& c, uint32_t code, const std::string& line, int64_t value) {
  if (!c.osdEnabled()) return;
  DisplayRequest request;
  request.code = code;
  request.text = line;
  request.value = static_cast<int32_t>(value);
  request.repeat = c.call.repeat;
  c.host.display(request);
}

bool audioMode(ActionContext& c, std::string& message) {
  std::unique_lock lock(c.services.audioLock);
  const auto line = selectNextAudioMode(*c.services.mixer, c.services.audio, c.action().fileName, nowSeconds());
  if (!line) {
    message = statusText("'Audio Mode' failed for %s", c.action().fileName);
    return false;
  }
  const AudioMode mode = audioModes()[static_cast<size_t>(c.services.audio.index)];
  lock.unlock();
  showBar(c, mode.code, *line, 0);
  message = statusText("Audio Mode: %s %s", {*line, mode.name});
  return true;
}

bool adjust(ActionContext& c, std::string& message, int sign) {
  IMixer& mixer = *c.services.mixer;
  AudioMode mode = volumeMode();
  std::string line;
  {
    std::lock_guard lock(c.services.audioLock);
    AudioModeState& state = c.services.audio;
    const uint64_t now = nowSeconds();
    if (state.index < 0 || now - state.lastSeconds > c.services.osdTimeoutSeconds) {
      line = c.action().fileName.empty() ? mixer.masterLine() : c.action().fileName.str();
    } else {
      mode = audioModes()[static_cast<size_t>(state.index)];
      line = state.line;
      state.lastSeconds = now;
    }
  }
  long long delta = parseInteger(c.action().param);
  if (delta == 0) delta = kDefaultDelta;
  delta = std::clamp<long long>(delta, -0xFFFF, 0xFFFF) * sign;
  int64_t value = 0;
  if (!mixer.adjust(mode.kind, static_cast<int>(delta), line, MixerDestination::Playback, value)) {
    message = "'Audio Up/Down' failed";
    return false;
  }
  int64_t muted = 0;
  if (mixer.adjust(MixerKind::Mute, 0, line, MixerDestination::Playback, muted) && muted)
    mixer.adjust(MixerKind::Mute, 1, line, MixerDestination::Playback, muted);
  showBar(c, mode.code, line, value);
  message = statusText("Adjusting %s %s", {line, mode.name});
  return true;
}

bool adjustUp(ActionContext& c, std::string& message) { return adjust(c, message, 1); }
bool adjustDown(ActionContext& c, std::string& message) { return adjust(c, message, -1); }

bool mute(ActionContext& c, std::string& message) {
  const std::string& line = c.action().fileName;
  const auto outcome = toggleMute(*c.services.mixer, line);
  if (!outcome) {
    message = statusText("'Mute' failed for %s", line);
    return false;
  }
  // The bar shows the line's level; the display reads the mute state itself.
  showBar(c, DisplayRequest::kMuteBar, line, outcome->volume);
  message = statusText(outcome->muted ? "Muted %s" : "Unmuted %s", line);
  return true;
}

bool recordVolume(ActionContext& c, std::string& message) {
  const std::string& line = c.action().fileName;
  long long delta = parseInteger(c.action().param);
  if (delta == 0) delta = kDefaultDelta;
  delta = std::clamp<long long>(delta, -0xFFFF, 0xFFFF);
  int64_t value = 0;
  if (!c.services.mixer->adjust(MixerKind::Volume, static_cast<int>(delta), line, MixerDestination::Recording, value)) {
    message = statusText("'Adjust Volume' failed for %s", line);
    return false;
  }
  showBar(c, DisplayRequest::kVolumeBar, line, value);
  message = statusText("Record volume adjusted for %s", line);
  return true;
}

}  // namespace

void registerAudioActions(CActionTable& table) {
  table.add(ActionKind::AudioMode, audioMode);
  table.add(ActionKind::AdjustUp, adjustUp);
  table.add(ActionKind::AdjustDown, adjustDown);
  table.add(ActionKind::Mute, mute);
  table.add(ActionKind::RecordVolume, recordVolume);
}

}  // namespace vexa::exec
