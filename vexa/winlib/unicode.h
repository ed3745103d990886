#pragma once
// UTF-8 (model strings) <-> UTF-16 (wide Win32 API) conversion at the Win32 boundary.
#include <string>
#include <string_view>

namespace vexa::win {

// Invalid sequences become U+FFFD rather than failing: labels come from user files.
std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

// The system code page ("ANSI"), in which plug-ins and stored files keep their
// texts. What the code page cannot hold becomes '?'.
std::wstring ansiToWide(std::string_view ansi);
std::string wideToAnsi(std::wstring_view wide);

}  // namespace vexa::win
