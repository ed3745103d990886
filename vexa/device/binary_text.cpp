#include "vexa/device/binary_text.h"

#include <algorithm>

namespace vexa::device {

namespace {

int nibble(char c) {
  if (c >= 'A' && c <= 'P') return c - 'A';
  if (c >= 'a' && c <= 'p') return c - 'a';
  return -1;
}

}  // namespace

std::string encodeBinaryText(const uint8_t* bytes, size_t count) {
  std::string text;
  text.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    text += static_cast<char>('A' + (bytes[i] & 0x0F));
    text += static_cast<char>('A' + (bytes[i] >> 4));
  }
  return text;
}

std::vector<uint8_t> decodeBinaryText(std::string_view text) {
  std::vector<uint8_t> bytes;
  bytes.reserve(text.size() / 2);
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    const int low = nibble(text[i]);
    const int high = nibble(text[i + 1]);
    if (low < 0 || high < 0) break;
    bytes.push_back(static_cast<uint8_t>(low | (high << 4)));
  }
  return bytes;
}

std::string encodeSamples(const std::vector<uint32_t>& samples) {
  std::vector<uint8_t> bytes;
  bytes.reserve(samples.size() * 4);
  for (uint32_t s : samples)
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(s >> shift));
  return encodeBinaryText(bytes);
}

std::vector<uint32_t> decodeSamples(std::string_view text, long long declaredBytes) {
  if (declaredBytes <= 0 || declaredBytes % 4 != 0) return {};
  const std::vector<uint8_t> bytes = decodeBinaryText(text);
  const size_t count = static_cast<size_t>(std::min<long long>(declaredBytes, static_cast<long long>(bytes.size())));
  if (count % 4 != 0) return {};
  std::vector<uint32_t> samples(count / 4);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = uint32_t(bytes[4 * i]) | uint32_t(bytes[4 * i + 1]) << 8 | uint32_t(bytes[4 * i + 2]) << 16 |
                 uint32_t(bytes[4 * i + 3]) << 24;
  return samples;
}

}  // namespace vexa::device
