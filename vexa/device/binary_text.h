#pragma once
// Binary text: how the code store keeps byte arrays in INI files. Each byte
// becomes two letters, 'A' plus its low four bits, then 'A' plus its high four
// bits (0x3C is "MD").
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::device {

std::string encodeBinaryText(const uint8_t* bytes, size_t count);
inline std::string encodeBinaryText(const std::vector<uint8_t>& bytes) {
  return encodeBinaryText(bytes.data(), bytes.size());
}

// Decodes pairs of letters 'A'..'P' (either case); decoding stops at the first pair
// that is not two such letters, and an odd last letter is ignored, so a damaged
// value gives the bytes before the damage.
std::vector<uint8_t> decodeBinaryText(std::string_view text);

// 32-bit samples as little-endian bytes, and back.
std::string encodeSamples(const std::vector<uint32_t>& samples);
// Reads `declaredBytes` bytes (the companion "...Len" key) of samples. The count is
// trusted no further than the decoded text reaches, and it must be a multiple of 4:
// anything else gives an empty array.
std::vector<uint32_t> decodeSamples(std::string_view text, long long declaredBytes);

}  // namespace vexa::device
