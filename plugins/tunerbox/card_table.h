#pragma once
// The capture cards the plug-in knows by model number, and the PCI subsystem
// ids (as a card's EEPROM stores them) that name a model.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vexa::tunerbox {

struct CardModel {
  int model;
  std::string_view name;
};

struct SubsystemCard {
  uint32_t subsystemId;
  std::string_view name;
  int model;
};

inline constexpr int kUnknownCard = 0;
inline constexpr int kStbCard = 3;
inline constexpr int kHauppaugeBt848 = 2;
inline constexpr int kHauppaugeBt878 = 10;
inline constexpr int kAimslabVhx = 14;

std::span<const CardModel> cardModels();
std::span<const SubsystemCard> subsystemCards();

// The model's name; "Unknown card" for a number outside the table.
std::string_view cardName(int model);
std::optional<SubsystemCard> findSubsystem(uint32_t subsystemId);
bool isHauppauge(int model);

}  // namespace vexa::tunerbox
