#pragma once
// The five GPIO values in the plug-in's registry key: all five or none.
#include <optional>

#include "plugins/store/registry_form.h"
#include "plugins/tunerbox/receiver_decoder.h"

namespace vexa::tunerbox {

inline constexpr const char* kOutEnValue = "out_en";
inline constexpr const char* kMaskValue = "mask";
inline constexpr const char* kBtnupMaskValue = "btnup_mask";
inline constexpr const char* kBtndwnMaskValue = "btndwn_mask";
inline constexpr const char* kFlagsValue = "flags";

// All zero when any of the five is missing or not a DWORD.
GpioConfig readGpioConfig(const store::IRegistryKey& key);
bool writeGpioConfig(store::IRegistryKey& key, const GpioConfig& config);

}  // namespace vexa::tunerbox
