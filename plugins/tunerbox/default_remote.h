#pragma once
// The remote that comes with the cards whose infrared microcontroller the
// plug-in reads directly: it works without learning.
#include <cstdint>
#include <span>
#include <string_view>

#include "plugins/store/command_store.h"

namespace vexa::tunerbox {

inline constexpr std::string_view kHauppaugeRemote = "Hauppauge WinTV";

struct DefaultButton {
  std::string_view name;
  uint32_t code;
};
std::span<const DefaultButton> hauppaugeButtons();

// Creates the remote when the store has none of that name; true when it did.
bool ensureHauppaugeRemote(store::CCommandStore& store);

}  // namespace vexa::tunerbox
