#include "vexa/device/signal_analysis.h"

#include "vexa/device/plugin_abi.h"

namespace vexa {

std::optional<size_t> findGap(std::span<const uint32_t> capture) {
  uint64_t average = 0;
  uint64_t counted = 0;
  for (size_t i = 0; i < capture.size(); ++i) {
    if (abi::isPulse(capture[i])) continue;
    const uint64_t space = abi::durationOf(capture[i]);
    // The first space has nothing to be compared with: it only starts the average.
    if (counted > 0) {
      const uint64_t factor = counted > 10 ? 5 : 10;
      if (space > factor * average) return i;
    }
    if (counted >= 100) return std::nullopt;
    average = (counted * average + space) / (counted + 1);
    ++counted;
  }
  return std::nullopt;
}

SplitResult splitCapture(std::span<const uint32_t> capture, int tolerancePercent) {
  const auto gapAt = findGap(capture);
  if (!gapAt) return {std::nullopt, kMsgNoGap};
  const size_t frame = *gapAt + 1;  // the first frame with its gap
  if (frame >= capture.size()) return {std::nullopt, kMsgDifferentLengths};
  SplitCapture out;
  out.signal.assign(capture.begin(), capture.begin() + static_cast<std::ptrdiff_t>(*gapAt));
  out.gap = capture[*gapAt];
  out.repeatGap = out.gap;
  const auto rest = capture.subspan(frame);
  if (const auto next = findGap(rest)) {
    Signal repeat(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(*next));
    out.repeatGap = rest[*next];
    // Remotes that send the whole frame again while held have no repeat code of their own.
    if (!signalsAgree(repeat, out.signal, tolerancePercent)) out.repeat = std::move(repeat);
  }
  return {std::move(out), {}};
}

}  // namespace vexa
