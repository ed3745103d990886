#pragma once
// What the port is set to for a set of settings, in DCB terms.
#include <cstdint>
#include <optional>

#include "plugins/serial/serial_settings.h"

namespace vexa::serial {

// A field without a value is a name that matches no table row: the port
// keeps what it had for it.
struct LineConfig {
  std::optional<uint32_t> baud;
  std::optional<uint32_t> dataBits;
  std::optional<uint32_t> parity;
  std::optional<uint32_t> stopBits;
  std::optional<uint32_t> dtrControl;
  std::optional<uint32_t> rtsControl;
  bool parityCheck() const { return parity.has_value() && *parity != 0; }
};

LineConfig lineConfigFor(const PortSettings& port);

// The reset pulse drives each line to the opposite of its configured state.
struct ResetPulse {
  uint32_t dtrControl;
  uint32_t rtsControl;
};
ResetPulse resetPulseFor(const PortSettings& port);

}  // namespace vexa::serial
