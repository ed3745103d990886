#include "plugins/serial/response_check.h"

#include <algorithm>

namespace vexa::serial {

namespace {
constexpr uint32_t kBaseLimitMs = 2000;
constexpr uint32_t kPerByteSlackMs = 100;  // the 50 ms read time-outs, twice
}  // namespace

uint32_t responseTimeLimitMs(std::string_view expected, int32_t rxdDelayMs) {
  const uint32_t pace = static_cast<uint32_t>(std::max(rxdDelayMs, 0)) + kPerByteSlackMs;
  const uint64_t limit = kBaseLimitMs + (expected.size() + 1) * static_cast<uint64_t>(pace);
  return static_cast<uint32_t>(std::min<uint64_t>(limit, 60000));
}

void CReplyCollector::add(uint8_t byte) {
  ++m_bytesSeen;
  if (byte == 0 || full()) return;
  m_reply.push_back(static_cast<char>(byte));
}

ReplyVerdict judgeReply(const CReplyCollector& reply, std::string_view expected) {
  if (!reply.anyByte()) return ReplyVerdict::kNoAnswer;
  return reply.reply().find(expected) != std::string::npos ? ReplyVerdict::kMatched
                                                           : ReplyVerdict::kWrongAnswer;
}

}  // namespace vexa::serial
