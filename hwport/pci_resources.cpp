#include "hwport/pci_resources.h"

namespace vexa::hwport {

HardwareResources resourcesFromConfig(std::span<const uint8_t, 256> config) {
  const uint32_t bar0 = uint32_t{config[0x10]} | uint32_t{config[0x11]} << 8 | uint32_t{config[0x12]} << 16 |
                        uint32_t{config[0x13]} << 24;
  return {bar0 & ~0xFu, kRegisterWindowBytes, config[0x3C]};
}

}  // namespace vexa::hwport
