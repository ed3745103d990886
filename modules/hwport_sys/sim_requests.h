#pragma once
// The stand-in driver's own requests, outside the library's function range:
// a test says which card to simulate and what its receiver sees, and asks
// how many map and unmap requests arrived.

#include <cstdint>

namespace vexa::hwsim {

// Device type 0x8001, functions 0x900 and 0x901, buffered, any access.
inline constexpr uint32_t kSetupCode = 0x8001u << 16 | 0x900u << 2;
inline constexpr uint32_t kStatsCode = 0x8001u << 16 | 0x901u << 2;

enum class CardVariant : uint32_t {
  gpioReceiver = 0,             // the receiver drives GPIO input pins
  microcontrollerReceiver = 1,  // an infrared microcontroller on the I2C bus
  noCard = 2,
};

// One button state: the GPIO input pins (or, for the microcontroller, its
// three answer bytes: bits 8..15 first, bits 0..7 second, bits 16..23 third)
// held for a number of milliseconds.
struct ScriptStep {
  uint32_t value;
  uint32_t durationMs;
};

inline constexpr uint32_t kMaxScriptSteps = 64;

struct SimSetup {
  uint32_t variant;             // CardVariant
  uint32_t subsystemId;         // EEPROM bytes 252..255, big-endian
  uint32_t irReadAddress;       // 0x31, 0x33 or 0x35
  uint32_t idleValue;           // before the script starts and after it ends
  uint32_t stepCount;           // steps that follow, at most kMaxScriptSteps
  ScriptStep steps[kMaxScriptSteps];
};
// The request carries only the steps it uses.
inline constexpr uint32_t kSimSetupHeaderBytes = 5 * sizeof(uint32_t);

struct SimStats {
  uint32_t mapRequests;
  uint32_t unmapRequests;
  uint32_t mapped;              // 1 while a register window is mapped
  uint32_t mappedBase;
};

// Where the simulated chip's registers sit in physical memory.
inline constexpr uint32_t kSimVendorId = 0x109E;
inline constexpr uint32_t kSimDeviceId = 0x036E;
inline constexpr uint32_t kSimWindowBase = 0xE1004000;
inline constexpr uint32_t kSimInterruptLine = 11;

}  // namespace vexa::hwsim
