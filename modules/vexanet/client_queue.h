#pragma once
// What one client has yet to receive. Bounded: a client that stops reading
// must never hold up the program, so a line that does not fit condemns the
// client instead of waiting for it.
#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace vexanet {

class CClientQueue {
 public:
  static constexpr size_t kDefaultLimitBytes = 64 * 1024;

  explicit CClientQueue(size_t limitBytes = kDefaultLimitBytes) : m_limit(limitBytes) {}

  // False when the line does not fit: nothing is queued and the client is to be dropped.
  bool Push(std::string_view line);
  bool Empty() const { return m_bytes == 0; }
  size_t Bytes() const { return m_bytes; }
  // The bytes to send next (part of the oldest line).
  std::string_view Front() const;
  // `sent` bytes of Front() went out.
  void Consume(size_t sent);

 private:
  size_t m_limit;
  size_t m_bytes = 0;
  size_t m_frontOffset = 0;
  std::deque<std::string> m_lines;
};

}  // namespace vexanet
