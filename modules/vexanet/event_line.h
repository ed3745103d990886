#pragma once
// One executed command as the server sends it to its clients (README.md):
// "command TAB remote TAB repeat LF", each name cut to kMaxNameBytes and with
// TAB, CR and LF inside a name made blanks, so every event is exactly one line.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexanet {

inline constexpr size_t kMaxNameBytes = 255;

std::string eventLine(std::string_view command, std::string_view remote, uint32_t repeat);

}  // namespace vexanet
