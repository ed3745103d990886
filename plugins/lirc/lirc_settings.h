#pragma once
// The network remote client's settings: what is stored under the host's
// registry key, how missing and odd values read, and the fields of its
// setup dialog compared with what was saved (which decides Apply).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa::lirc {

inline constexpr std::string_view kDefaultAddress = "127.0.0.1";
inline constexpr int kDefaultPort = 8765;
inline constexpr int kReconnectBeforeRead = 15;  // seconds, until settings were read
inline constexpr int kReconnectMissing = 120;
inline constexpr int kReconnectMinimum = 10;     // below this reconnecting is off
inline constexpr size_t kMaxAddressLength = 254;
inline constexpr size_t kMaxPathLength = 259;

// Values as found under the key; none where a value is missing.
struct StoredValues {
  std::optional<std::string> ip;
  std::optional<uint32_t> port;
  std::optional<uint32_t> autoStart;
  std::optional<std::string> path;
  std::optional<uint32_t> reconnect;
};

// The dialog's six values.
struct LircFields {
  std::string address{kDefaultAddress};
  int port = kDefaultPort;
  bool autoStart = false;
  std::string path;
  bool reconnect = true;
  int seconds = kReconnectBeforeRead;
};

LircFields fieldsFromStored(const StoredValues& stored);
// What WriteConfig stores: AutoStart only with a path, Reconnect only when ticked and non-zero.
StoredValues storedFromFields(const LircFields& fields);
// The reconnect period in seconds the fields give, 0 for off.
int reconnectPeriod(const LircFields& fields);
// Address exactly, path ignoring case, the rest as numbers and ticks.
bool sameAsSaved(const LircFields& fields, const LircFields& saved);

}  // namespace vexa::lirc
