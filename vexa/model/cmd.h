#pragma once
// One action of a layout.
#include <cstdint>
#include <string>

#include "vexa/base/shared_text.h"

namespace vexa {

struct CMD {
  static constexpr uint32_t kDelayEnabled = 0x1;
  static constexpr int kMaxDelayMs = 10000;

  uint8_t kind = 3;
  int32_t index = -1;        // position in its layout; -1 = not placed
  std::string name;
  CSharedText typeName;      // catalogue display name, compared case-insensitively; shared by loaded actions
  CSharedText fileName;      // first parameter ("Filename")
  std::string param;         // second parameter ("Param")
  uint32_t flags = 0;
  int32_t delay = 0;         // milliseconds
  CSharedText extraParam;    // "xParam1", carried unchanged

  bool delayEnabled() const { return (flags & kDelayEnabled) != 0; }
  bool operator==(const CMD&) const = default;
};

}  // namespace vexa
