// Any byte stream, cut anywhere, frames into the same lines, keeps bounded
// memory, and every line it yields either reads within the record's limits
// or is refused.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "plugins/lirc/event_line.h"

using vexa::lirc::CLineFramer;

namespace {

std::vector<std::string> frame(std::string_view input, size_t cut) {
  CLineFramer f;
  std::vector<std::string> lines;
  for (size_t at = 0; at < input.size(); at += cut) {
    auto r = f.feed(input.substr(at, cut));
    if (f.pendingBytes() > CLineFramer::kMaxLineBytes) std::abort();
    for (auto& l : r.lines) lines.push_back(std::move(l));
    for (size_t i = 0; i < r.overlong; ++i) lines.emplace_back("<overlong>");
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t cut = 1 + data[0] % 64;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const auto whole = frame(input, input.size() + 1);
  if (frame(input, cut) != whole) std::abort();
  for (const auto& line : whole) {
    if (line.size() > CLineFramer::kMaxLineBytes) std::abort();
    const auto e = vexa::lirc::parseEventLine(line);
    if (!e) continue;
    if (e->button.empty() || e->remote.empty() || e->repeat < 0) std::abort();
    if (e->button.size() > vexa::lirc::kMaxNameLength || e->remote.size() > vexa::lirc::kMaxNameLength) std::abort();
    if (e->button.find(' ') != std::string::npos) std::abort();
  }
  return 0;
}
