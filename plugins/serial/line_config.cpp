#include "plugins/serial/line_config.h"

#include "plugins/serial/line_tables.h"

namespace vexa::serial {

LineConfig lineConfigFor(const PortSettings& port) {
  LineConfig c;
  c.baud = lineValue(baudRates(), port.baud);
  c.dataBits = lineValue(dataBits(), port.dataBits);
  c.parity = lineValue(parities(), port.parity);
  c.stopBits = lineValue(stopBits(), port.stopBits);
  c.dtrControl = lineValue(dtrControls(), port.dtr);
  c.rtsControl = lineValue(rtsControls(), port.rts);
  return c;
}

ResetPulse resetPulseFor(const PortSettings& port) {
  return {port.dtr == "Enable" ? kControlDisable : kControlEnable,
          port.rts == "Enable" ? kControlDisable : kControlEnable};
}

}  // namespace vexa::serial
