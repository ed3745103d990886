#include "vexa/base/windows_1252.h"

#include <array>

#include "vexa/base/utf8.h"

namespace vexa {

namespace {

// 0x80..0x9F; the rest of the code page is Latin-1, byte value = code point.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t decode(unsigned char byte) { return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte; }

int encode(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
  return -1;
}

}  // namespace

std::string CWindows1252::toUtf8(std::string_view bytes) const {
  if (isAscii(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) appendUtf8(out, decode(static_cast<unsigned char>(c)));
  return out;
}

std::string CWindows1252::fromUtf8(std::string_view utf8) const {
  if (isAscii(utf8)) return std::string(utf8);
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    const int byte = encode(nextCodePoint(utf8, pos));
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

}  // namespace vexa
