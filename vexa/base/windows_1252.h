#pragma once
// Windows-1252 as Windows itself converts it, without Windows: the code page
// of native tools and tests, and of the program's files on most systems.
#include "vexa/base/code_page.h"

namespace vexa {

class CWindows1252 : public ICodePage {
 public:
  // Every byte has a character: 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which the
  // code page leaves undefined, stand for U+0081 and so on.
  std::string toUtf8(std::string_view bytes) const override;
  // Only exact round trips: no best-fit look-alikes, anything else is '?'.
  std::string fromUtf8(std::string_view utf8) const override;
};

}  // namespace vexa
