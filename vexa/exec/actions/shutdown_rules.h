#pragma once
// "Shutdown Windows": its type from the "How" text, its seconds, the
// stepping of the countdown by repeated presses, and its status texts.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

namespace ShutdownType {
inline constexpr uint32_t kLogOff = 0;
inline constexpr uint32_t kReboot = 2;
inline constexpr uint32_t kForce = 4;
inline constexpr uint32_t kShutdown = 9;  // shut down and power off
}  // namespace ShutdownType

inline constexpr uint32_t kShutdownNoOsd = 0x80000000u;  // request flag: the command has "Disable OSD"
inline constexpr uint32_t kShutdownTypeMask = 0x00FFFFFFu;
inline constexpr unsigned kDefaultShutdownSeconds = 15;
inline constexpr unsigned kMaxShutdownSeconds = 99;
inline constexpr unsigned kShutdownStepSeconds = 900;
inline constexpr unsigned kLongestShutdownSeconds = 5400;

uint32_t shutdownTypeOf(std::string_view how);
unsigned shutdownSecondsOf(std::string_view timeOut);
// The countdown after one more press while the display is up; 0 = cancelled.
unsigned stepShutdownCountdown(unsigned countdown, unsigned requested);

std::string_view shutdownStatusName(uint32_t type);
std::string_view shutdownWindowText(uint32_t type);
// "Reboot in 15 sec", "Shutdown in 2 min" (minutes rounded up), "Shutdown OFF".
std::string shutdownRequestStatus(uint32_t type, unsigned countdown);
// The tick's text: whole minutes rounded down.
std::string shutdownTickStatus(uint32_t type, unsigned countdown);
// Whether the tick rewrites the status line at this countdown.
bool shutdownTickShowsStatus(unsigned countdown);

}  // namespace vexa
