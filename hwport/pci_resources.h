#pragma once
// What a capture chip's driver needs from its PCI configuration space.

#include <cstdint>
#include <span>

namespace vexa::hwport {

struct HardwareResources {
  uint32_t base = 0;
  uint32_t size = 0;
  uint32_t irq = 0;
};

inline constexpr uint32_t kRegisterWindowBytes = 4096;

// The first base address register without its flag bits, the chip's register
// window size, and the interrupt line.
HardwareResources resourcesFromConfig(std::span<const uint8_t, 256> config);

}  // namespace vexa::hwport
