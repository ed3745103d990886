#include "vexa/winlib/system_code_page.h"

#include "vexa/winlib/unicode.h"

namespace vexa::win {

std::string CSystemCodePage::toUtf8(std::string_view ansi) const { return win::toUtf8(ansiToWide(ansi)); }

std::string CSystemCodePage::fromUtf8(std::string_view utf8) const { return wideToAnsi(toWide(utf8)); }

}  // namespace vexa::win
