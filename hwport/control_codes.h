#pragma once
// The driver's control requests: one row per export, in the order of their
// function numbers, and the fixed-size input records that carry their words.

#include <array>
#include <cstdint>
#include <string_view>

namespace vexa::hwport {

enum class TransferMethod : uint32_t { buffered = 0, inDirect = 1, outDirect = 2, neither = 3 };

inline constexpr uint32_t kDeviceType = 0x8001;
inline constexpr uint32_t kFirstFunction = 0x801;

// Device type, any access, function, transfer method: the classic layout.
constexpr uint32_t controlCode(uint32_t function, TransferMethod method) {
  return kDeviceType << 16 | function << 2 | static_cast<uint32_t>(method);
}
constexpr uint32_t deviceTypeOf(uint32_t code) { return code >> 16; }
constexpr uint32_t accessOf(uint32_t code) { return code >> 14 & 3; }
constexpr uint32_t functionOf(uint32_t code) { return code >> 2 & 0xFFF; }
constexpr TransferMethod methodOf(uint32_t code) { return static_cast<TransferMethod>(code & 3); }

namespace code {
using enum TransferMethod;
inline constexpr uint32_t readPort = controlCode(0x801, outDirect);
inline constexpr uint32_t readPortW = controlCode(0x802, outDirect);
inline constexpr uint32_t readPortL = controlCode(0x803, outDirect);
inline constexpr uint32_t writePort = controlCode(0x804, inDirect);
inline constexpr uint32_t writePortW = controlCode(0x805, inDirect);
inline constexpr uint32_t writePortL = controlCode(0x806, inDirect);
inline constexpr uint32_t memMap = controlCode(0x807, buffered);
inline constexpr uint32_t memRead = controlCode(0x808, outDirect);
inline constexpr uint32_t memWrite = controlCode(0x809, inDirect);
inline constexpr uint32_t pciConfig = controlCode(0x80A, outDirect);
inline constexpr uint32_t memUnmap = controlCode(0x80B, buffered);
inline constexpr uint32_t memAlloc = controlCode(0x80C, outDirect);
inline constexpr uint32_t memFree = controlCode(0x80D, inDirect);
inline constexpr uint32_t memMapEx = controlCode(0x80E, buffered);
}  // namespace code

// Every request's input is one of two shapes: a single word, or three words of
// which the third carries nothing.
struct InputRecord {
  uint32_t first = 0;
  uint32_t second = 0;
  uint32_t third = 0;
};
static_assert(sizeof(InputRecord) == 12);

struct Request {
  std::string_view exportName;
  uint32_t code;
  uint32_t inputBytes;
  uint32_t outputBytes;
};

inline constexpr uint32_t kPciConfigBytes = 256;

// Ordered by function number; the library sends each export's row.
inline constexpr std::array<Request, 14> kRequests{{
    {"ReadPort", code::readPort, 4, 4},
    {"ReadPortW", code::readPortW, 4, 4},
    {"ReadPortL", code::readPortL, 4, 4},
    {"WritePort", code::writePort, 12, 0},
    {"WritePortW", code::writePortW, 12, 0},
    {"WritePortL", code::writePortL, 12, 0},
    {"MemMap", code::memMap, 12, 4},
    {"MemRead", code::memRead, 4, 4},
    {"MemWrite", code::memWrite, 12, 0},
    {"pciGetCommonConfig", code::pciConfig, 12, kPciConfigBytes},
    {"MemUnmap", code::memUnmap, 12, 0},
    {"MemAlloc", code::memAlloc, 4, 12},
    {"MemFree", code::memFree, 4, 0},
    {"MemMapEx", code::memMapEx, 12, 4},
}};

enum class PortWidth { byte, word, dword };

// The record packers mask each word to what the driver reads of it.
constexpr InputRecord portWriteRecord(uint32_t port, uint32_t value, PortWidth width) {
  const uint32_t mask = width == PortWidth::byte ? 0xFFu : width == PortWidth::word ? 0xFFFFu : 0xFFFFFFFFu;
  return {port & 0xFFFFu, value & mask, 0};
}
constexpr InputRecord pciRecord(uint32_t vendorId, uint32_t deviceId) {
  return {vendorId & 0xFFFFu, deviceId & 0xFFFFu, 0};
}
constexpr InputRecord twoWordRecord(uint32_t first, uint32_t second) { return {first, second, 0}; }

// The bytes as the driver sees them (little-endian words).
constexpr std::array<uint8_t, 12> recordBytes(const InputRecord& record) {
  std::array<uint8_t, 12> bytes{};
  const uint32_t words[3] = {record.first, record.second, record.third};
  for (int w = 0; w < 3; ++w)
    for (int b = 0; b < 4; ++b) bytes[w * 4 + b] = static_cast<uint8_t>(words[w] >> (8 * b));
  return bytes;
}

}  // namespace vexa::hwport
