#include "vexa/shell/server_rules.h"

#include <array>
#include <utility>

#include "vexa/base/strings.h"
#include "vexa/model/names.h"

namespace vexa::shell {

namespace {

constexpr std::array<std::pair<int, const char*>, 27> kSocketErrors{{
    {10013, "Permission denied"},
    {10014, "Bad address"},
    {10022, "Invalid argument"},
    {10024, "No more file descriptors are available"},
    {10036, "Blocking operation is in progress"},
    {10037, "Operation already in progress"},
    {10038, "Descriptor is not a socket"},
    {10039, "Destination address required"},
    {10041, "The specified port is the wrong type for this socket"},
    {10043, "The specified port is not supported"},
    {10044, "The specified socket type is not supported in this address family"},
    {10045, "Operation not supported"},
    {10047, "The specified address family is not supported"},
    {10048, "Address in use"},
    {10049, "Cannot assign requested address"},
    {10050, "Network subsystem failed"},
    {10053, "Software caused connection abort"},
    {10054, "Connection reset by peer"},
    {10055, "No buffer space is available"},
    {10056, "Socket already connected"},
    {10060, "Connection timed out"},
    {10061, "Connection refused"},
    {10064, "Host is down"},
    {10065, "No route to host"},
    {10067, "Task limit of Windows Sockets implementation has been reached"},
    {10091, "Network subsystem not ready for communication"},
    {10092, "Windows Sockets version not supported"},
}};

}  // namespace

std::optional<std::string> serverBindAddress(const ProgramOptions& options) {
  if (options.has(ProgramOptions::kServerForOtherMachines)) return std::nullopt;
  return std::string(kLocalServerAddress);
}

uint32_t serverOptionBits(const ProgramOptions& options) {
  return 1u | (options.has(ProgramOptions::kEnableLog) ? 2u : 0u);
}

bool forwardsToServer(std::string_view remote) { return !iequals(remote, kStartupMacro); }

std::string socketErrorText(int code) {
  for (const auto& [known, text] : kSocketErrors)
    if (known == code) return text;
  return std::to_string(code);
}

std::string serverErrorStatus(int code) { return "Server error: " + socketErrorText(code); }

}  // namespace vexa::shell
