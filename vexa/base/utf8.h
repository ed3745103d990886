#pragma once
// UTF-8, the program's text inside, code point by code point.
#include <cstddef>
#include <string>
#include <string_view>

namespace vexa {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The code point starting at `pos`, advancing `pos` past it. A malformed
// sequence (stray continuation, overlong form, surrogate, beyond U+10FFFF,
// cut short) yields U+FFFD and skips one byte, so decoding always moves on.
char32_t nextCodePoint(std::string_view utf8, size_t& pos);

void appendUtf8(std::string& out, char32_t codePoint);

// The longest prefix of at most maxBytes bytes that does not end inside a
// character: a text cut to a size limit still ends with a whole character.
std::string_view utf8Prefix(std::string_view utf8, size_t maxBytes);

}  // namespace vexa
