#pragma once
// What one poll of the receiver means: a code or nothing. GPIO cards show a
// button in the masked GPIO value, in one of three ways chosen by `flags`;
// microcontroller cards answer three bytes per transfer.
#include <cstdint>
#include <optional>

namespace vexa::tunerbox {

struct GpioConfig {
  uint32_t outEn = 0;
  uint32_t mask = 0;  // 0: not configured
  uint32_t btnupMask = 0;
  uint32_t btndwnMask = 0;
  uint32_t flags = 0;
  bool operator==(const GpioConfig&) const = default;
};

namespace gpio_flags {
// Clear: a held button is reported once. Set: the button masks decide.
inline constexpr uint32_t kMasked = 1;
// With kMasked: a value with a `btnupMask` bit is a release; without, a value
// needs a `btndwnMask` bit to be a press.
inline constexpr uint32_t kUpMask = 2;
}  // namespace gpio_flags

struct MicrocontrollerFrame {
  uint8_t b, c, d;
};

class CReceiverDecoder {
 public:
  // `gpioNow` is what the GPIO data register holds as the configuration takes effect.
  void configure(const GpioConfig& config, uint32_t gpioNow);
  const GpioConfig& config() const { return config_; }

  std::optional<uint32_t> gpio(uint32_t gpioData);
  // Nothing when the transfer failed.
  std::optional<uint32_t> microcontroller(std::optional<MicrocontrollerFrame> frame, int model);

  std::optional<uint32_t> lastCode() const { return lastCode_; }

 private:
  std::optional<uint32_t> noCode(uint32_t masked);
  std::optional<uint32_t> reported(uint32_t code);

  GpioConfig config_;
  uint32_t lastMasked_ = 0;
  std::optional<uint32_t> lastCode_;
  // A new code from a microcontroller other than Hauppauge's waits one poll.
  bool holdingBack_ = false;
};

}  // namespace vexa::tunerbox
