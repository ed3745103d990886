#pragma once
// Status texts that cross message 0x7FFF (codes above 99): allocated with new[] by
// the sender; the main window frees them and returns nonzero. The counters let tests
// check that the host frees a text exactly when the receiver did not take it.
#include <atomic>
#include <cstdint>
#include <string_view>

namespace vexa::device {

char* newStatusText(std::string_view text);
void deleteStatusText(char* text);

struct StatusTextCounters {
  static std::atomic<uint64_t> allocated;
  static std::atomic<uint64_t> freedByHost;
};

}  // namespace vexa::device
