#pragma once
// The Irbox receiver's side of the line, without the port: what it answers to
// the wake-up, and how a burst of bytes becomes one code.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "vexa/device/plugin_abi.h"

namespace vexa::irbox {

inline constexpr size_t kFrameLength = 6;
inline constexpr size_t kReplyCapacity = 5;  // the most the wake-up reply is read for
inline constexpr std::string_view kReady = "OK";

using Frame = std::array<uint8_t, kFrameLength>;

// The models DeviceInfo offers, both driven alike.
std::string modelList();

// One code from a burst as read: its first six bytes, zeros after a short
// burst; bytes beyond the sixth belong to no code.
Frame assembleFrame(const uint8_t* bytes, size_t count);

// The reply to "I","R" judged by its length, never by a terminator: no byte
// is no response, exactly "OK" is ready, anything else (also "OK" followed by
// more) is a bad response.
abi::InitResult judgeReply(std::string_view reply);

}  // namespace vexa::irbox
