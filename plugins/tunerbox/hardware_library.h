#pragma once
// The six entry points of the hardware-access library that the plug-in uses,
// behind an interface so the card logic runs against a simulated chip too.
#include <cstdint>

namespace vexa::tunerbox {

class IHardwareLibrary {
 public:
  virtual ~IHardwareLibrary() = default;
  // 0 on success; on failure the three outputs are 0.
  virtual uint32_t pciGetHardwareResources(uint32_t vendorId, uint32_t deviceId, uint32_t* base, uint32_t* size,
                                           uint32_t* irq) = 0;
  virtual uint32_t pciGetCommonConfig(uint32_t vendorId, uint32_t deviceId, uint8_t* config256) = 0;
  // Non-zero on success.
  virtual uint32_t memMap(uint32_t base, uint32_t size) = 0;
  virtual void memUnmap(uint32_t base, uint32_t size) = 0;
  virtual uint32_t memRead(uint32_t offset) = 0;
  // 0 on success.
  virtual uint32_t memWrite(uint32_t offset, uint32_t value) = 0;
};

}  // namespace vexa::tunerbox
