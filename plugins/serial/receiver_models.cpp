#include "plugins/serial/receiver_models.h"

#include <array>
#include <cctype>

namespace vexa::serial {
namespace {

constexpr std::array kPresets{
    ReceiverPreset{"IRBOX", "9600", "8", "None", "1", "Enable", "Enable", "IR", "OK", 6, 0, 2},
    ReceiverPreset{"Irman", "9600", "8", "None", "1", "Enable", "Enable", "IR", "OK", 6, 0, 2},
    ReceiverPreset{"URCR 1.2", "57600", "8", "None", "1", "Enable", "Enable", "IR", "OK", 50, 4, 3},
    ReceiverPreset{"Silitek SM-1000", "1200", "8", "None", "1", "Enable", "Enable", "", "", 3, 0, 2},
    ReceiverPreset{"RealMagic Hollywood+", "2400", "8", "None", "1", "Enable", "Enable", "", "", 6, 0, 2},
    ReceiverPreset{"Redlink 105 TV", "9600", "8", "None", "1", "Enable", "Enable", "IR", "", 20, 0, 2},
    ReceiverPreset{"miroMEDIA remote", "1200", "8", "None", "1", "Enable", "Enable", "", "", 20, 0, 2},
};

constexpr std::array<const char*, 6> kModels{
    "URCR 1.2", "Silitek SM-1000", "RealMagic Hollywood+", kGenericModel, "Redlink 105 TV",
    "miroMEDIA remote",
};

}  // namespace

std::span<const char* const> modelNames() { return kModels; }

std::string deviceNameList() {
  std::string list;
  for (const char* name : kModels) {
    list += name;
    list += '\0';
  }
  list += '\0';
  return list;
}

const ReceiverPreset* findPreset(std::string_view deviceName) {
  for (const ReceiverPreset& preset : kPresets)
    if (deviceName == preset.name) return &preset;
  return nullptr;
}

SerialSettings applyPreset(const SerialSettings& user, const ReceiverPreset& preset) {
  SerialSettings s = user;
  s.port = {preset.baud, preset.parity, preset.stopBits, preset.dataBits, preset.rts, preset.dtr};
  s.device.init = preset.init;
  s.device.initEnabled = !s.device.init.empty();
  s.device.response = preset.response;
  s.device.responseEnabled = !s.device.response.empty();
  s.device.codeLength = preset.codeLength;
  s.device.tolerance = preset.tolerance;
  s.device.learnSamples = preset.learnSamples;
  return s;
}

SerialSettings settingsForModel(const SerialSettings& user, std::string_view deviceName) {
  const ReceiverPreset* preset = findPreset(deviceName);
  return preset ? applyPreset(user, *preset) : user;
}

bool isGenericModel(std::string_view deviceName) {
  const std::string_view generic = kGenericModel;
  if (deviceName.size() != generic.size()) return false;
  for (size_t i = 0; i < generic.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(deviceName[i])) !=
        std::tolower(static_cast<unsigned char>(generic[i])))
      return false;
  return true;
}

}  // namespace vexa::serial
