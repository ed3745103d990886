#pragma once
// The system's ANSI code page (CP_ACP): the one in which stored files and
// plug-ins keep their text.
#include "vexa/base/code_page.h"

namespace vexa::win {

class CSystemCodePage : public ICodePage {
 public:
  std::string toUtf8(std::string_view ansi) const override;
  std::string fromUtf8(std::string_view utf8) const override;
};

}  // namespace vexa::win
