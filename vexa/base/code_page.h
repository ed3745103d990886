#pragma once
// The seam between the program's text (UTF-8) and the code page in which
// stored files and plug-ins keep theirs (the system's ANSI code page).
// Conversions happen only where text enters or leaves the program.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vexa {

class ICodePage {
 public:
  virtual ~ICodePage() = default;
  // Bytes in this code page to UTF-8.
  virtual std::string toUtf8(std::string_view bytes) const = 0;
  // UTF-8 to bytes in this code page; a character it cannot hold becomes '?'.
  virtual std::string fromUtf8(std::string_view utf8) const = 0;
};

// Every ANSI code page holds ASCII as ASCII, so text of ASCII only is the
// same bytes in the file and in the program: one scan, no copy.
inline bool isAscii(std::string_view s) {
  constexpr uint64_t kHighBits = 0x8080808080808080ull;
  const auto word = [](const char* at, size_t bytes) {
    uint64_t w = 0;
    std::memcpy(&w, at, bytes);
    return w;
  };
  const char* p = s.data();
  const size_t n = s.size();
  // Short texts, most of a configuration, in two overlapping loads rather
  // than byte by byte.
  if (n < 8) {
    if (n >= 4) return ((word(p, 4) | word(p + n - 4, 4)) & kHighBits) == 0;
    if (n >= 2) return ((word(p, 2) | word(p + n - 2, 2)) & kHighBits) == 0;
    return n == 0 || (static_cast<unsigned char>(*p) & 0x80) == 0;
  }
  uint64_t seen = word(p + n - 8, 8);
  for (size_t at = 0; at + 8 <= n; at += 8) seen |= word(p + at, 8);
  return (seen & kHighBits) == 0;
}

// Code page 65001: the bytes are UTF-8 already and pass unchanged.
class CUtf8CodePage : public ICodePage {
 public:
  std::string toUtf8(std::string_view bytes) const override { return std::string(bytes); }
  std::string fromUtf8(std::string_view utf8) const override { return std::string(utf8); }
};

}  // namespace vexa
