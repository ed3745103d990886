#pragma once
// What the program asks of the server module and how it words the module's
// answers: bind address, option bits, which executed commands go out, and the
// socket error texts of the status line.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vexa/base/program_options.h"

namespace vexa::shell {

inline constexpr const char* kServerLibrary = "vexanet.dll";
inline constexpr const char* kServerReadyEvent = "vexa_server_ready";
inline constexpr const char* kLocalServerAddress = "127.0.0.1";

// The address StartServer binds to; nothing means every interface.
std::optional<std::string> serverBindAddress(const ProgramOptions& options);
// SetOptions' word: bit 0 always, bit 1 with "Enable log".
uint32_t serverOptionBits(const ProgramOptions& options);
// Commands of the start-up macro never reach network clients.
bool forwardsToServer(std::string_view remote);
// A Windows Sockets error code in words; unknown codes as their number.
std::string socketErrorText(int code);
// The temporary status after SendCommand failed with `code`.
std::string serverErrorStatus(int code);

}  // namespace vexa::shell
