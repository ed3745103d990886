#include "plugins/irbox/irbox_protocol.h"

#include <algorithm>

#include "plugins/kit/device_info.h"

namespace vexa::irbox {

std::string modelList() { return kit::nameList({"IRBOX", "IRMan"}); }

Frame assembleFrame(const uint8_t* bytes, size_t count) {
  Frame frame{};
  if (bytes) std::copy_n(bytes, std::min(count, kFrameLength), frame.begin());
  return frame;
}

abi::InitResult judgeReply(std::string_view reply) {
  if (reply.empty()) return abi::kInitNoResponse;
  return reply == kReady ? abi::kInitReady : abi::kInitBadResponse;
}

}  // namespace vexa::irbox
