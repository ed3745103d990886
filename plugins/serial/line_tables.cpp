#include "plugins/serial/line_tables.h"

#include <array>

namespace vexa::serial {
namespace {

constexpr std::array kBaud{
    LineEntry{"110", 110, caps::kBaud110},          LineEntry{"300", 300, caps::kBaud300},
    LineEntry{"600", 600, caps::kBaud600},          LineEntry{"1200", 1200, caps::kBaud1200},
    LineEntry{"2400", 2400, caps::kBaud2400},       LineEntry{"4800", 4800, caps::kBaud4800},
    LineEntry{"9600", 9600, caps::kBaud9600},       LineEntry{"14400", 14400, caps::kBaud14400},
    LineEntry{"19200", 19200, caps::kBaud19200},    LineEntry{"38400", 38400, caps::kBaud38400},
    LineEntry{"56000", 56000, caps::kBaud56k},      LineEntry{"57600", 57600, caps::kBaud57600},
    LineEntry{"115200", 115200, caps::kBaud115200}, LineEntry{"128000", 128000, caps::kBaud128k},
};
constexpr std::array kData{
    LineEntry{"5", 5, caps::kData5}, LineEntry{"6", 6, caps::kData6}, LineEntry{"7", 7, caps::kData7},
    LineEntry{"8", 8, caps::kData8}, LineEntry{"16", 16, caps::kData16},
};
constexpr std::array kStop{
    LineEntry{"1", 0, caps::kStop10}, LineEntry{"1.5", 1, caps::kStop15}, LineEntry{"2", 2, caps::kStop20},
};
constexpr std::array kParity{
    LineEntry{"None", 0, caps::kParityNone}, LineEntry{"Odd", 1, caps::kParityOdd},
    LineEntry{"Even", 2, caps::kParityEven}, LineEntry{"Mark", 3, caps::kParityMark},
    LineEntry{"Space", 4, caps::kParitySpace},
};
constexpr std::array kRts{
    LineEntry{"Enable", 1, 0}, LineEntry{"Disable", 0, 0}, LineEntry{"Handshake", 2, 0},
    LineEntry{"Toggle", 3, 0},
};
constexpr std::array kDtr{
    LineEntry{"Enable", 1, 0}, LineEntry{"Disable", 0, 0}, LineEntry{"Handshake", 2, 0},
};

}  // namespace

std::span<const LineEntry> baudRates() { return kBaud; }
std::span<const LineEntry> dataBits() { return kData; }
std::span<const LineEntry> stopBits() { return kStop; }
std::span<const LineEntry> parities() { return kParity; }
std::span<const LineEntry> rtsControls() { return kRts; }
std::span<const LineEntry> dtrControls() { return kDtr; }

std::vector<const LineEntry*> supportedEntries(std::span<const LineEntry> table, uint32_t mask,
                                               uint32_t allBit) {
  const bool all = mask == 0 || (allBit != 0 && (mask & allBit) != 0);
  std::vector<const LineEntry*> entries;
  for (const LineEntry& entry : table)
    if (all || (mask & entry.capability) != 0) entries.push_back(&entry);
  return entries;
}

const LineEntry* findEntry(std::span<const LineEntry> table, std::string_view name) {
  for (const LineEntry& entry : table)
    if (name == entry.name) return &entry;
  return nullptr;
}

std::optional<uint32_t> lineValue(std::span<const LineEntry> table, std::string_view name) {
  const LineEntry* entry = findEntry(table, name);
  if (entry == nullptr) return std::nullopt;
  return entry->value;
}

}  // namespace vexa::serial
