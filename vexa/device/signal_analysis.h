#pragma once
// Finding the structure of a captured button signal: where the first frame
// ends (the gap), what repeats after it, and how long the repeat gap is.
#include <optional>
#include <span>
#include <string_view>

#include "vexa/device/signal_compare.h"

namespace vexa {

// Index of the first space that is longer than 10 times the running average
// of the spaces before it (5 times once more than 10 were averaged); none
// after more than 100 spaces or at the end of the capture.
std::optional<size_t> findGap(std::span<const uint32_t> capture);

struct SplitCapture {
  Signal signal;       // the first frame, without its gap
  Signal repeat;       // what follows the gap up to the next one, unless it is the frame again
  uint32_t gap = 0;
  uint32_t repeatGap = 0;
};

inline constexpr std::string_view kMsgNoGap = "No gap found. Please retry.";
inline constexpr std::string_view kMsgDifferentLengths = "Different signal lengths. Please retry.";

struct SplitResult {
  std::optional<SplitCapture> split;
  std::string_view failure;  // one of the two messages when split is empty
};

SplitResult splitCapture(std::span<const uint32_t> capture, int tolerancePercent);

}  // namespace vexa
