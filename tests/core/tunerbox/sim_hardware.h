#pragma once
// The hardware-access library's six calls answered by the stand-in driver's
// simulated card, on a clock that moves only when the plug-in waits.
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "hwport/pci_resources.h"
#include "modules/hwport_sys/capture_card.h"
#include "plugins/tunerbox/hardware_library.h"

namespace vexa::tunerbox::testing {

class CSimHardware final : public IHardwareLibrary {
 public:
  hwsim::CaptureCard card;
  uint64_t nowUs = 0;
  int maps = 0, unmaps = 0;
  bool mapped = false;
  // When each bit-level write to the I2C register happened.
  std::vector<uint64_t> lineWritesUs;

  void setup(hwsim::CardVariant variant, uint32_t idle, std::initializer_list<hwsim::ScriptStep> steps = {},
             uint32_t subsystemId = 0, uint32_t irAddress = 0x35) {
    hwsim::SimSetup s{};
    s.variant = static_cast<uint32_t>(variant);
    s.subsystemId = subsystemId;
    s.irReadAddress = irAddress;
    s.idleValue = idle;
    for (const auto& step : steps) s.steps[s.stepCount++] = step;
    card.configure(s, ms());
  }
  void wait(uint32_t us) { nowUs += us; }
  uint32_t ms() const { return static_cast<uint32_t>(nowUs / 1000); }

  uint32_t pciGetHardwareResources(uint32_t vendorId, uint32_t deviceId, uint32_t* base, uint32_t* size,
                                   uint32_t* irq) override {
    *base = *size = *irq = 0;
    if (!card.matches(vendorId, deviceId)) return 2;
    uint8_t config[256];
    card.pciConfig(config);
    const auto resources = hwport::resourcesFromConfig(std::span<const uint8_t, 256>(config));
    *base = resources.base;
    *size = resources.size;
    *irq = resources.irq;
    return 0;
  }
  uint32_t pciGetCommonConfig(uint32_t vendorId, uint32_t deviceId, uint8_t* out) override {
    if (!card.matches(vendorId, deviceId)) return 2;
    uint8_t config[256];
    card.pciConfig(config);
    std::memcpy(out, config, sizeof config);
    return 0;
  }
  uint32_t memMap(uint32_t base, uint32_t size) override {
    ++maps;
    if (base != hwsim::kSimWindowBase || size == 0 || size > hwsim::kWindowBytes) return 0;
    mapped = true;
    return base;
  }
  void memUnmap(uint32_t, uint32_t) override {
    ++unmaps;
    mapped = false;
  }
  uint32_t memRead(uint32_t offset) override { return mapped ? card.readRegister(offset, ms()) : 0; }
  uint32_t memWrite(uint32_t offset, uint32_t value) override {
    if (!mapped) return 6;
    if (offset == hwsim::reg::i2c && !(value & hwsim::kI2cControllerMode)) lineWritesUs.push_back(nowUs);
    card.writeRegister(offset, value, ms());
    return 0;
  }
};

}  // namespace vexa::tunerbox::testing
