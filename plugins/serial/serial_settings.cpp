#include "plugins/serial/serial_settings.h"

#include <cctype>
#include <string>

namespace vexa::serial {
namespace {

constexpr std::string_view kPort = "PortSettings";
constexpr std::string_view kDevice = "DeviceSettings";
// The section's name is misspelt in every file written so far; keep it.
constexpr std::string_view kAdvanced = "AdancedSettings";

int32_t readInt(const ISettingsStore& store, std::string_view section, std::string_view key,
                int32_t fallback) {
  const std::string text = store.read(section, key, std::to_string(fallback));
  return static_cast<int32_t>(parseProfileInt(text));
}

// Numbers go out as "%u": negative values wrap the way the C format does.
std::string unsignedText(int64_t value) { return std::to_string(static_cast<uint32_t>(value)); }

}  // namespace

int64_t parseProfileInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  uint32_t value = 0;  // wraps like the 32-bit original
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
    value = value * 10u + static_cast<uint32_t>(text[i] - '0');
  const int32_t signedValue = static_cast<int32_t>(negative ? 0u - value : value);
  return signedValue;
}

uint32_t codeLengthFromFile(std::string_view text) {
  const auto value = static_cast<uint32_t>(parseProfileInt(text));
  if (value > kMaxCodeLength || value == 0) return kMaxCodeLength;
  return value;
}

SerialSettings readSettings(const ISettingsStore& store) {
  SerialSettings s;
  s.port.baud = store.read(kPort, "Baud", "9600");
  s.port.parity = store.read(kPort, "Parity", "None");
  s.port.stopBits = store.read(kPort, "StopBits", "1");
  s.port.dataBits = store.read(kPort, "DataBits", "8");
  s.port.rts = store.read(kPort, "RTS", "Enable");
  s.port.dtr = store.read(kPort, "DTR", "Enable");

  s.device.init = store.read(kDevice, "Init", "");
  s.device.initEnabled = !s.device.init.empty();
  s.device.response = store.read(kDevice, "Response", "");
  s.device.responseEnabled = !s.device.response.empty();
  s.device.codeLength = codeLengthFromFile(store.read(kDevice, "IRCodeLength", "6"));
  s.device.learnSamples = readInt(store, kDevice, "LearnSamples", 2);
  s.device.tolerance = readInt(store, kDevice, "Tolerance", 0);

  s.advanced.resetMs = readInt(store, kAdvanced, "Reset", 200);
  s.advanced.powerUpMs = readInt(store, kAdvanced, "PowerUp", 200);
  s.advanced.txdDelayMs = readInt(store, kAdvanced, "TxDDelay", 50);
  s.advanced.rxdDelayMs = readInt(store, kAdvanced, "RxDDelay", 50);
  s.advanced.reInitSeconds = readInt(store, kAdvanced, "ReInit", 0);
  return s;
}

bool writeSettings(const SerialSettings& s, ISettingsStore& store) {
  bool ok = true;
  auto put = [&](std::string_view section, std::string_view key, std::string_view value) {
    ok = store.write(section, key, value) && ok;
  };
  put(kPort, "Baud", s.port.baud);
  put(kPort, "Parity", s.port.parity);
  put(kPort, "StopBits", s.port.stopBits);
  put(kPort, "DataBits", s.port.dataBits);
  put(kPort, "RTS", s.port.rts);
  put(kPort, "DTR", s.port.dtr);
  put(kDevice, "Init", s.device.initEnabled ? s.device.init : std::string());
  put(kDevice, "Response", s.device.responseEnabled ? s.device.response : std::string());
  put(kDevice, "IRCodeLength", unsignedText(s.device.codeLength));
  put(kDevice, "LearnSamples", unsignedText(s.device.learnSamples));
  put(kDevice, "Tolerance", unsignedText(s.device.tolerance));
  put(kAdvanced, "Reset", unsignedText(s.advanced.resetMs));
  put(kAdvanced, "PowerUp", unsignedText(s.advanced.powerUpMs));
  put(kAdvanced, "TxDDelay", unsignedText(s.advanced.txdDelayMs));
  put(kAdvanced, "RxDDelay", unsignedText(s.advanced.rxdDelayMs));
  put(kAdvanced, "ReInit", unsignedText(s.advanced.reInitSeconds));
  return ok;
}

}  // namespace vexa::serial
