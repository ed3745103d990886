#include "vexa/winlib/unicode.h"

#include <windows.h>

namespace vexa::win {

std::wstring toWide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), n);
  return out;
}

std::string toUtf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring ansiToWide(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int size = static_cast<int>(ansi.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, out.data(), n);
  return out;
}

namespace {

std::string toAnsi(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const DWORD flags = WC_NO_BEST_FIT_CHARS;
  const int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

bool isHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

std::string wideToAnsi(std::wstring_view wide) {
  // No best-fit look-alikes: a path or name must not silently turn into another
  // one. Not every implementation honours the flag, so the round trip decides,
  // character by character where the whole text does not come back.
  std::string out = toAnsi(wide);
  if (ansiToWide(out) == wide) return out;
  out.clear();
  for (size_t i = 0; i < wide.size();) {
    const size_t length = isHighSurrogate(wide[i]) && i + 1 < wide.size() ? 2 : 1;
    const std::wstring_view character = wide.substr(i, length);
    const std::string bytes = toAnsi(character);
    out += ansiToWide(bytes) == character ? bytes : std::string("?");
    i += length;
  }
  return out;
}

}  // namespace vexa::win
