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
  const char* p = s.data();
  size_t n = s.size();
  uint64_t seen = 0;
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    seen |= word;
  }
  for (; n > 0; ++p, --n) seen |= static_cast<unsigned char>(*p);
  return (seen & kHighBits) == 0;
}

// Code page 65001: the bytes are UTF-8 already and pass unchanged.
class CUtf8CodePage : public ICodePage {
 public:
  std::string toUtf8(std::string_view bytes) const override { return std::string(bytes); }
  std::string fromUtf8(std::string_view utf8) const override { return std::string(utf8); }
};

}  // namespace vexa
