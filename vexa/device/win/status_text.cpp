#include "vexa/device/win/status_text.h"

#include <cstring>

namespace vexa::device {

std::atomic<uint64_t> StatusTextCounters::allocated{0};
std::atomic<uint64_t> StatusTextCounters::freedByHost{0};

char* newStatusText(std::string_view text) {
  char* copy = new char[text.size() + 1];
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  ++StatusTextCounters::allocated;
  return copy;
}

void deleteStatusText(char* text) {
  if (!text) return;
  ++StatusTextCounters::freedByHost;
  delete[] text;
}

}  // namespace vexa::device
