#include "vexa/exec/actions/shutdown_rules.h"

#include "vexa/base/strings.h"

namespace vexa {

uint32_t shutdownTypeOf(std::string_view how) {
  const std::string text = toLower(how);
  uint32_t type = ShutdownType::kShutdown;
  if (text.find("reboot") != std::string::npos) type = ShutdownType::kReboot;
  if (text.find("log off") != std::string::npos) type = ShutdownType::kLogOff;
  if (text.find("force") != std::string::npos) type += ShutdownType::kForce;
  return type;
}

unsigned shutdownSecondsOf(std::string_view timeOut) {
  const long long n = parseInteger(timeOut);
  if (n <= 0) return kDefaultShutdownSeconds;
  return n > kMaxShutdownSeconds ? kMaxShutdownSeconds : static_cast<unsigned>(n);
}

unsigned stepShutdownCountdown(unsigned countdown, unsigned requested) {
  unsigned next;
  if (countdown < requested) next = requested;
  else if (countdown == requested) next = kShutdownStepSeconds;
  else next = (countdown / kShutdownStepSeconds + 1) * kShutdownStepSeconds;
  return next > kLongestShutdownSeconds ? 0 : next;
}

std::string_view shutdownStatusName(uint32_t type) {
  switch (type) {
    case 0: return "LogOff";
    case 2: return "Reboot";
    case 4: return "Forced LogOff";
    case 6: return "Forced Reboot";
    case 13: return "Forced Shutdown";
    default: return "Shutdown";
  }
}

std::string_view shutdownWindowText(uint32_t type) {
  switch (type) {
    case 0: return "Logging off...";
    case 2: return "Rebooting...";
    case 4: return "Logging off with FORCE...";
    case 6: return "Rebooting with FORCE...";
    case 13: return "Shutting down with FORCE...";
    default: return "Shutting down...";
  }
}

std::string shutdownRequestStatus(uint32_t type, unsigned countdown) {
  const std::string name(shutdownStatusName(type));
  if (countdown == 0) return name + " OFF";
  if (countdown >= 60) return name + " in " + std::to_string((countdown + 59) / 60) + " min";
  return name + " in " + std::to_string(countdown) + " sec";
}

std::string shutdownTickStatus(uint32_t type, unsigned countdown) {
  const std::string name(shutdownStatusName(type));
  if (countdown >= 60) return name + " in " + std::to_string(countdown / 60) + " min";
  return name + " in " + std::to_string(countdown) + " sec";
}

bool shutdownTickShowsStatus(unsigned countdown) { return countdown < 60 || countdown % 60 <= 1; }

}  // namespace vexa
