#pragma once
// The receiver's settings and the preset format of its commands.
#include <string>

#include "plugins/store/learn_state.h"
#include "plugins/store/preset_form.h"

namespace vexa::padrem {

inline constexpr const char* kPortValue = "COM Port";
inline constexpr const char* kMousepadValue = "Mousepad";
inline constexpr const char* kDefaultPort = "COM1";
inline constexpr size_t kMaxPortName = 4;

struct Settings {
  std::string port = kDefaultPort;
  bool mousepad = false;
};

inline store::PresetFormat presetFormat() {
  return {store::PresetFormat::Radix::kDecimal, {"PlugIn Preset", store::kPresetConfigSection}};
}

// The pad sends each button only a few times: one stray code is forgiven.
inline constexpr store::LearnRules kLearnRules{1, true};

}  // namespace vexa::padrem
