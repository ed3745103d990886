#pragma once
// Codes that other programs hand the configuration dialog as a data-copy
// message: 1 to 4 bytes, most significant first. Anything else is refused.
#include <cstddef>
#include <cstdint>
#include <optional>

namespace vexa::tunerbox {

inline std::optional<uint32_t> codeFromCopiedBytes(const void* data, size_t size) {
  if (!data || size < 1 || size > 4) return std::nullopt;
  const auto* bytes = static_cast<const uint8_t*>(data);
  uint32_t code = 0;
  for (size_t i = 0; i < size; ++i) code = code << 8 | bytes[i];
  return code;
}

}  // namespace vexa::tunerbox
