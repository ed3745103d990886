#include "plugins/tunerbox/receiver_decoder.h"

#include "plugins/tunerbox/card_table.h"

namespace vexa::tunerbox {

void CReceiverDecoder::configure(const GpioConfig& config, uint32_t gpioNow) {
  config_ = config;
  // Masked, so that an idle card whose other pins are set does not look pressed.
  lastMasked_ = gpioNow & config.mask;
  lastCode_.reset();
  holdingBack_ = false;
}

std::optional<uint32_t> CReceiverDecoder::noCode(uint32_t masked) {
  lastMasked_ = masked;
  lastCode_.reset();
  return std::nullopt;
}

std::optional<uint32_t> CReceiverDecoder::reported(uint32_t code) {
  lastCode_ = code;
  return code;
}

std::optional<uint32_t> CReceiverDecoder::gpio(uint32_t gpioData) {
  const uint32_t value = gpioData & config_.mask;
  if (value == 0 || value == lastMasked_) return noCode(value);
  if (!(config_.flags & gpio_flags::kMasked)) {
    lastMasked_ = value;
    return reported(value);
  }
  if (config_.flags & gpio_flags::kUpMask) {
    if (value & config_.btnupMask) return noCode(value);
  } else if (!(value & config_.btndwnMask)) {
    return noCode(value);
  }
  // Not remembered as the last value: reported on every poll while held.
  return reported(value);
}

std::optional<uint32_t> CReceiverDecoder::microcontroller(std::optional<MicrocontrollerFrame> frame, int model) {
  const bool heldBack = holdingBack_;
  holdingBack_ = false;
  if (!frame || frame->b == 0xFF || frame->c == 0xFF) return std::nullopt;
  if (isHauppauge(model)) {
    if (frame->b == 0 && frame->c == 0) return std::nullopt;
    return reported(uint32_t(frame->b & 0x17) << 8 | frame->c);
  }
  const uint32_t code = uint32_t{frame->b} << 8 | frame->c;
  if (!heldBack && code != lastCode_) {
    holdingBack_ = true;
    lastCode_.reset();
    return std::nullopt;
  }
  return reported(code);
}

}  // namespace vexa::tunerbox
