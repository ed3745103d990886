#pragma once
// Names of serial line settings as the settings sheet shows them, with the DCB
// value each stands for and the COMMPROP bit that says a port supports it.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vexa::serial {

struct LineEntry {
  const char* name;
  uint32_t value;       // the DCB field's value
  uint32_t capability;  // bit in the COMMPROP mask; 0 when the setting has no such bit
};

// COMMPROP capability bits (same values as the Win32 headers, which the
// portable code does not include).
namespace caps {
inline constexpr uint32_t kBaud110 = 0x00000001, kBaud300 = 0x00000002, kBaud600 = 0x00000004,
                          kBaud1200 = 0x00000008, kBaud2400 = 0x00000010, kBaud4800 = 0x00000020,
                          kBaud9600 = 0x00000040, kBaud14400 = 0x00000100, kBaud19200 = 0x00000200,
                          kBaud38400 = 0x00000800, kBaud56k = 0x00001000, kBaud57600 = 0x00040000,
                          kBaud115200 = 0x00020000, kBaud128k = 0x00010000, kBaudUser = 0x10000000;
inline constexpr uint32_t kData5 = 0x0001, kData6 = 0x0002, kData7 = 0x0004, kData8 = 0x0008,
                          kData16 = 0x0010;
inline constexpr uint32_t kStop10 = 0x0001, kStop15 = 0x0002, kStop20 = 0x0004;
inline constexpr uint32_t kParityNone = 0x0100, kParityOdd = 0x0200, kParityEven = 0x0400,
                          kParityMark = 0x0800, kParitySpace = 0x1000;
}  // namespace caps

std::span<const LineEntry> baudRates();
std::span<const LineEntry> dataBits();
std::span<const LineEntry> stopBits();
std::span<const LineEntry> parities();
std::span<const LineEntry> rtsControls();
std::span<const LineEntry> dtrControls();

// Exact, case-sensitive match: the names come from the lists themselves.
// The entries a port offers by its capability mask. A mask of zero (ports
// that report nothing, such as Wine's on a pseudo-terminal) offers all, as
// does allBit when the mask has it (user-defined baud rates).
std::vector<const LineEntry*> supportedEntries(std::span<const LineEntry> table, uint32_t mask,
                                               uint32_t allBit = 0);

const LineEntry* findEntry(std::span<const LineEntry> table, std::string_view name);
std::optional<uint32_t> lineValue(std::span<const LineEntry> table, std::string_view name);

inline constexpr uint32_t kParityNoneValue = 0;
inline constexpr uint32_t kControlEnable = 1;
inline constexpr uint32_t kControlDisable = 0;

}  // namespace vexa::serial
