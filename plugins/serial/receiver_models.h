#pragma once
// The receiver models the plug-in offers and the fixed settings of the
// models that have them.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "plugins/serial/serial_settings.h"

namespace vexa::serial {

inline constexpr const char* kGenericModel = "Generic Serial IR Receiver";

struct ReceiverPreset {
  const char* name;
  const char* baud;
  const char* dataBits;
  const char* parity;
  const char* stopBits;
  const char* dtr;
  const char* rts;
  const char* init;      // empty: not used
  const char* response;  // empty: not used
  uint32_t codeLength;
  int32_t tolerance;
  int32_t learnSamples;
};

std::span<const char* const> modelNames();
// The model list as DeviceInfo hands it over: NUL after each name, one more at the end.
std::string deviceNameList();

// Exact, case-sensitive match; null for models without fixed settings.
const ReceiverPreset* findPreset(std::string_view deviceName);

// The settings a model runs with: a preset's line and device values over the
// user's settings, whose timings and re-initialise period always apply.
SerialSettings applyPreset(const SerialSettings& user, const ReceiverPreset& preset);
SerialSettings settingsForModel(const SerialSettings& user, std::string_view deviceName);

// Setup applies to the generic model only; the host's name may differ in case.
bool isGenericModel(std::string_view deviceName);

}  // namespace vexa::serial
