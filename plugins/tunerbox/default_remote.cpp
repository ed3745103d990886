#include "plugins/tunerbox/default_remote.h"

#include <array>

namespace vexa::tunerbox {
namespace {

constexpr std::array<DefaultButton, 21> kButtons{{
    {"0", 0x0},      {"1", 0x4},         {"2", 0x8},      {"3", 0xC},       {"4", 0x10},
    {"5", 0x14},     {"6", 0x18},        {"7", 0x1C},     {"8", 0x20},      {"9", 0x24},
    {"TV", 0x3C},    {"CH+", 0x80},      {"CH-", 0x84},   {"Radio", 0x30},  {"Vol -", 0x44},
    {"Vol +", 0x40}, {"Mute", 0x34},     {"Source", 0x88}, {"Full Screen", 0xB8}, {"Reserved", 0x78},
    {"Minimize", 0x98},
}};

}  // namespace

std::span<const DefaultButton> hauppaugeButtons() { return kButtons; }

bool ensureHauppaugeRemote(store::CCommandStore& store) {
  if (store.hasRemote(kHauppaugeRemote)) return false;
  store::CommandList list;
  for (const auto& button : kButtons) list.push_back({std::string(button.name), button.code});
  store.setRemote(kHauppaugeRemote, std::move(list));
  return true;
}

}  // namespace vexa::tunerbox
