#include "plugins/tunerbox/card_identification.h"

#include "plugins/tunerbox/card_table.h"

namespace vexa::tunerbox {
namespace {

constexpr uint8_t kStbProbeAddress = 0xAE;
constexpr uint8_t kVhxProbeAddress = 0xC0;
constexpr uint16_t kLastBt848Id = 0x351;
constexpr uint16_t kLastBt878Id = 0x36F;

bool answers(II2cController& bus, uint8_t address) { return bus.controllerRead(address, true) >= 0; }

}  // namespace

uint32_t subsystemIdOf(const EepromImage& eeprom) {
  return uint32_t{eeprom[252]} << 24 | uint32_t{eeprom[253]} << 16 | uint32_t{eeprom[254]} << 8 | eeprom[255];
}

int modelFromEeprom(const EepromImage& eeprom, uint16_t deviceId) {
  const uint32_t id = subsystemIdOf(eeprom);
  if (id != 0 && id != 0xFFFFFFFF) {
    if (auto card = findSubsystem(id)) return card->model;
  }
  if (deviceId <= kLastBt848Id) return kHauppaugeBt848;
  if (deviceId <= kLastBt878Id) return kHauppaugeBt878;
  return kUnknownCard;
}

CardIdentity identifyCard(II2cController& bus, uint16_t deviceId) {
  CardIdentity identity;
  if (!answers(bus, kEepromAddress)) {
    if (answers(bus, kStbProbeAddress)) identity.model = kStbCard;
    else if (answers(bus, kVhxProbeAddress)) identity.model = kAimslabVhx;
    return identity;
  }
  identity.eeprom = readEeprom(bus);
  // An EEPROM that stops answering half way says no more than the device id.
  identity.model = modelFromEeprom(identity.eeprom.value_or(EepromImage{}), deviceId);
  return identity;
}

uint8_t findMicrocontroller(II2cController& bus) {
  for (uint8_t address : kMicrocontrollerAddresses) {
    if (answers(bus, address)) return address;
  }
  return 0;
}

}  // namespace vexa::tunerbox
