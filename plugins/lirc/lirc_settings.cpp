#include "plugins/lirc/lirc_settings.h"

#include "vexa/base/strings.h"

namespace vexa::lirc {

LircFields fieldsFromStored(const StoredValues& stored) {
  LircFields f;
  if (stored.ip) f.address = stored.ip->substr(0, kMaxAddressLength);
  if (stored.port) f.port = static_cast<int>(*stored.port);
  if (stored.path) f.path = stored.path->substr(0, kMaxPathLength);
  f.autoStart = stored.autoStart.value_or(0) == 1;
  const uint32_t period = stored.reconnect.value_or(kReconnectMissing);
  f.seconds = period < kReconnectMinimum ? 0 : static_cast<int>(period);
  f.reconnect = f.seconds != 0;
  return f;
}

int reconnectPeriod(const LircFields& fields) { return fields.reconnect && fields.seconds > 0 ? fields.seconds : 0; }

StoredValues storedFromFields(const LircFields& fields) {
  StoredValues s;
  s.ip = fields.address;
  s.port = static_cast<uint32_t>(fields.port);
  s.autoStart = fields.autoStart && !fields.path.empty() ? 1u : 0u;
  s.path = fields.path;
  s.reconnect = static_cast<uint32_t>(reconnectPeriod(fields));
  return s;
}

bool sameAsSaved(const LircFields& fields, const LircFields& saved) {
  return fields.address == saved.address && fields.port == saved.port && fields.autoStart == saved.autoStart &&
         iequals(fields.path, saved.path) && fields.reconnect == saved.reconnect && fields.seconds == saved.seconds;
}

}  // namespace vexa::lirc
