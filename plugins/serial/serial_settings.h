#pragma once
// The receiver settings of the plug-in: the user's own set for the generic
// model, and the set in use, which a preset model overrides.
#include <cstdint>
#include <string>
#include <string_view>

#include "plugins/kit/settings_store.h"

namespace vexa::serial {

struct PortSettings {
  std::string baud = "9600";
  std::string parity = "None";
  std::string stopBits = "1";
  std::string dataBits = "8";
  std::string rts = "Enable";
  std::string dtr = "Enable";
  bool operator==(const PortSettings&) const = default;
};

struct DeviceSettings {
  std::string init = "IR";
  bool initEnabled = true;
  std::string response = "OK";
  bool responseEnabled = true;
  uint32_t codeLength = 6;
  int32_t learnSamples = 2;
  int32_t tolerance = 0;
  bool operator==(const DeviceSettings&) const = default;
};

struct AdvancedSettings {
  int32_t resetMs = 200;
  int32_t powerUpMs = 200;
  int32_t txdDelayMs = 50;
  int32_t rxdDelayMs = 50;
  int32_t reInitSeconds = 0;  // 0: off
  bool operator==(const AdvancedSettings&) const = default;
};

struct SerialSettings {
  PortSettings port;
  DeviceSettings device;
  AdvancedSettings advanced;
  bool operator==(const SerialSettings&) const = default;
};

inline constexpr uint32_t kMaxCodeLength = 2048;

using kit::ISettingsStore;

// Missing keys take the file defaults (which differ from the first-start
// defaults for the init and response texts).
SerialSettings readSettings(const ISettingsStore& store);
// True only when every key was written.
bool writeSettings(const SerialSettings& settings, ISettingsStore& store);

// Integer text as GetPrivateProfileInt reads it: optional sign, leading
// digits; text without digits is 0.
int64_t parseProfileInt(std::string_view text);
// The stored code length: values above 2048 taken as unsigned (so negative
// ones too) are 2048; 0, which would never deliver a byte, is 2048 as well.
uint32_t codeLengthFromFile(std::string_view text);

}  // namespace vexa::serial
