#pragma once
// Collects the receiver's answer to the init string and judges it.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexa::serial {

inline constexpr size_t kReplyCapacity = 499;  // a 500-byte buffer with its terminator

// How long the whole answer may take: ample for the expected text at the
// configured pace, but bounded, so a receiver that never stops sending cannot
// hold up initialisation.
uint32_t responseTimeLimitMs(std::string_view expected, int32_t rxdDelayMs);

class CReplyCollector {
 public:
  // NUL bytes are skipped; bytes beyond the capacity are dropped.
  void add(uint8_t byte);
  bool full() const { return m_reply.size() >= kReplyCapacity; }
  bool anyByte() const { return m_bytesSeen > 0; }
  const std::string& reply() const { return m_reply; }

 private:
  std::string m_reply;
  size_t m_bytesSeen = 0;
};

enum class ReplyVerdict { kMatched, kNoAnswer, kWrongAnswer };

// Judged as the host's result codes expect: no byte at all is "no answer";
// otherwise the expected text must occur somewhere in the reply.
ReplyVerdict judgeReply(const CReplyCollector& reply, std::string_view expected);

}  // namespace vexa::serial
